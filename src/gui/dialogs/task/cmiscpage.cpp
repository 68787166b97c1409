#include "gui/dialogs/task/cmiscpage.h"

#include <QComboBox>
#include <QGridLayout>

#include "gui/widgets/numberfield.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {

CMiscPage::CMiscPage(TaskPageValues& values, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("Misc"), messages, parent), m_values(values), m_autoSave(new QComboBox(this)),
      m_refresh(new NumberField(this))
{
    auto* page = new QGridLayout(this);
    QGridLayout* save = AddGroup(this, page, 0, tr("Auto Save"));
    AddFieldRow(save, 0, tr("Auto Save per:"), m_autoSave, tr("KB"));
    QGridLayout* refresh = AddGroup(this, page, 1, tr("Refresh"));
    AddRefreshRow(refresh, 0, m_refresh);
    page->setRowStretch(2, 1);
    connect(m_autoSave, &QComboBox::activated, this,
            [this](int i) { m_values.autoSave = ToStdString(m_autoSave->itemText(i)); });
}

void CMiscPage::OnInitDialog()
{
    FillAutoSaveList(m_autoSave, m_values.autoSave);
    m_refresh->SetValue(m_values.refreshTenths);
}

bool CMiscPage::OnKillActive()
{
    return TakeInt(m_refresh, 1, 50, m_values.refreshTenths);
}

}  // namespace dromo
