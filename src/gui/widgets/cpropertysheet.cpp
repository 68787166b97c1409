#include "gui/widgets/cpropertysheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/widgets/cpropertypage.h"

namespace dromo {

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent) : QDialog(parent), m_tabs(new QTabWidget(this))
{
    setWindowTitle(caption);
    // Every tab in sight: the sheet grows to hold them rather than hiding
    // some behind scroll arrows.
    m_tabs->setUsesScrollButtons(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPropertySheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPropertySheet::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CPropertySheet::TabChanged);
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
        m_pages[static_cast<std::size_t>(m_current)]->Activate();
    }
    QDialog::showEvent(event);
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
        return;
    }
    m_current = index;
    m_pages[static_cast<std::size_t>(index)]->Activate();
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
