#include "gui/widgets/cpropertysheet.h"

#include <algorithm>

#include <QAccessible>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/widgets/cpropertypage.h"

namespace dromo {

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent)
    : QDialog(parent), m_tabs(new QTabWidget(this)), m_stayNote(new QLabel(this))
{
    setWindowTitle(caption);
    m_tabs->setAccessibleName(caption);
    m_tabs->tabBar()->setAccessibleName(caption);
    // Every tab in sight: the sheet grows to hold them rather than hiding
    // some behind scroll arrows.
    m_tabs->setUsesScrollButtons(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    auto* bottom = new QHBoxLayout;
    m_stayNote->setWordWrap(true);
    m_stayNote->setVisible(false);
    bottom->addWidget(m_stayNote, 1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPropertySheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPropertySheet::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CPropertySheet::TabChanged);
    // The next and previous tab from wherever the keyboard is in the sheet,
    // not only from the tab bar; a page that may not be left stays.
    const std::pair<QKeySequence, int> steps[] = {{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                                  {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
                                                  {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                                  {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1}};
    for (const auto& [key, step] : steps) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            const int count = m_tabs->count();
            if (count > 0) {
                SelectPage((m_current + step + count) % count);
            }
        });
    }
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    m_pages.push_back(page);
    m_reverting = true;  // adding the first tab makes it current; not a switch
    m_tabs->addTab(page, page->Caption());
    m_reverting = false;
}

bool CPropertySheet::SelectPage(int index)
{
    m_tabs->setCurrentIndex(index);
    return m_current == index;
}

void CPropertySheet::showEvent(QShowEvent* event)
{
    if (!m_pages.empty()) {
        CPropertyPage* page = m_pages[static_cast<std::size_t>(m_current)];
        page->Activate();
        // What a person types at once lands in the page's first field (or the
        // one the page chose), not on the tab bar, where it would be lost.
        if (QWidget* focus = focusWidget(); focus == nullptr || !page->isAncestorOf(focus)) {
            if (QWidget* first = FirstField(page)) {
                first->setFocus(Qt::TabFocusReason);
            }
        }
    }
    QDialog::showEvent(event);
}

namespace {

bool TabReaches(const QWidget* w, const QWidget* within)
{
    return (w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled() && w->isVisibleTo(within) &&
           w->focusProxy() == nullptr;
}

}  // namespace

QWidget* CPropertySheet::FirstField(QWidget* page)
{
    for (QWidget* w = page->nextInFocusChain(); w != nullptr && w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && TabReaches(w, page)) {
            return w;
        }
    }
    return nullptr;
}

std::vector<QWidget*> CPropertySheet::TabRing() const
{
    // The pages join the focus chain after the buttons (they are made
    // later), and the hidden pages' fields sit in it too: the ring is read
    // from the chain each time rather than kept in it.
    std::vector<QWidget*> ring{m_tabs->tabBar()};
    std::vector<QWidget*> rest;
    const QWidget* page = m_tabs->currentWidget();
    for (QWidget* w = nextInFocusChain(); w != nullptr && w != this; w = w->nextInFocusChain()) {
        if (w == m_tabs->tabBar() || !TabReaches(w, this)) {
            continue;
        }
        if (page != nullptr && page->isAncestorOf(w)) {
            ring.push_back(w);
        } else if (!m_tabs->isAncestorOf(w)) {
            rest.push_back(w);
        }
    }
    ring.insert(ring.end(), rest.begin(), rest.end());
    return ring;
}

bool CPropertySheet::focusNextPrevChild(bool next)
{
    // Tab as a person reads the sheet: the tabs, the page in front, then
    // OK and Cancel, and round again.
    const std::vector<QWidget*> ring = TabRing();
    const auto at = std::find(ring.begin(), ring.end(), focusWidget());
    if (at == ring.end() || ring.size() < 2) {
        return QDialog::focusNextPrevChild(next);
    }
    const auto count = static_cast<std::ptrdiff_t>(ring.size());
    const std::ptrdiff_t step = next ? 1 : count - 1;
    QWidget* to = ring[static_cast<std::size_t>((std::distance(ring.begin(), at) + step) % count)];
    to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void CPropertySheet::TabChanged(int index)
{
    if (m_reverting || index == m_current || index < 0) {
        return;
    }
    if (!m_pages[static_cast<std::size_t>(m_current)]->OnKillActive()) {
        m_reverting = true;
        m_tabs->setCurrentIndex(m_current);
        m_reverting = false;
        ShowStayReason(m_pages[static_cast<std::size_t>(m_current)]);
        return;
    }
    m_stayNote->setVisible(false);
    m_current = index;
    CPropertyPage* page = m_pages[static_cast<std::size_t>(index)];
    page->Activate();
    // Switched from the keyboard inside the old page: the keys go on in the
    // new page's first field, not in a field now out of sight.
    if (QWidget* focus = focusWidget(); focus != nullptr && focus != m_tabs->tabBar() && !page->isAncestorOf(focus)) {
        if (QWidget* first = FirstField(page)) {
            first->setFocus(Qt::TabFocusReason);
        }
    }
}

void CPropertySheet::ShowStayReason(const CPropertyPage* page)
{
    const QString reason = page->StayReason();
    m_stayNote->setText(reason);
    m_stayNote->setVisible(!reason.isEmpty());
    if (!reason.isEmpty()) {
        // A screen reader hears it as a person sees it appear.
        QAccessibleEvent shown(m_stayNote, QAccessible::Alert);
        QAccessible::updateAccessibility(&shown);
    }
}

void CPropertySheet::accept()
{
    if (m_pages.empty()) {
        QDialog::accept();
        return;
    }
    CPropertyPage* shown = m_pages[static_cast<std::size_t>(m_current)];
    shown->Activate();
    if (!shown->OnKillActive()) {
        ShowStayReason(shown);
        return;
    }
    for (CPropertyPage* page : m_pages) {
        if (page->Opened()) {
            page->OnOK();
        }
    }
    QDialog::accept();
}

}  // namespace dromo
