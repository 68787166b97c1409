#include "gui/dialogs/task/cmirrorspage.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/text/mirrorlist.h"
#include "base/text/textutil.h"

namespace dromo {

CMirrorsPage::CMirrorsPage(TaskPageValues& values, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("Mirrors"), messages, parent), m_values(values), m_list(new QTreeWidget(this))
{
    m_list->setHeaderLabels({tr("Priority"), tr("Location"), tr("URL")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setStretchLastSection(true);
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_list);
}

void CMirrorsPage::OnInitDialog()
{
    m_list->clear();
    const std::optional<MirrorList> mirrors = MirrorList::Parse(m_values.mirrors);
    if (!mirrors) {
        return;
    }
    for (const Mirror& m : mirrors->Mirrors()) {
        const QString priority = m.priority == kMirrorPriorityNone ? QStringLiteral("–") : QString::number(m.priority);
        // A login in a mirror's URL stays out of sight, as everywhere.
        auto* item = new QTreeWidgetItem(m_list, {priority, QString::fromStdString(m.location).toUpper(),
                                                  QString::fromStdString(UrlWithoutLogin(m.url))});
        item->setToolTip(2, item->text(2));
    }
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(1);
}

}  // namespace dromo
