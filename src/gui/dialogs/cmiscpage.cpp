#include "dialogs/cmiscpage.h"

#include <QComboBox>
#include <QGridLayout>

#include "dialogs/cnumberfield.h"
#include "dialogs/pagewidgets.h"

namespace dromo {

CMiscPage::CMiscPage(TaskPageValues& values, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("Misc"), messages, parent), m_values(values), m_autoSave(new QComboBox(this)),
      m_refresh(new CNumberField(this))
{
    auto* page = new QGridLayout(this);
    QGridLayout* save = AddGroup(this, page, 0, tr("Auto Save"));
    AddLabel(save, 0, 0, tr("Auto Save per:"));
    save->addWidget(m_autoSave, 0, 1);
    AddLabel(save, 0, 2, tr("KB"));
    save->setColumnStretch(3, 1);
    QGridLayout* refresh = AddGroup(this, page, 1, tr("Refresh"));
    AddLabel(refresh, 0, 0, tr("Refresh every:"));
    refresh->addWidget(m_refresh, 0, 1);
    AddLabel(refresh, 0, 2, tr("00 msecs"));
    refresh->setColumnStretch(3, 1);
    page->setRowStretch(2, 1);
    connect(m_autoSave, &QComboBox::activated, this,
            [this](int i) { m_values.autoSave = S(m_autoSave->itemText(i)); });
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
