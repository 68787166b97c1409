#include "gui/dialogs/task/cconnpage.h"

#include <QGridLayout>

#include "gui/dialogs/widgets/numberfield.h"
#include "gui/dialogs/widgets/pagewidgets.h"
#include "gui/dialogs/widgets/speedlimitgroup.h"

namespace dromo {

CConnPage::CConnPage(TaskPageValues& values, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("Connection"), messages, parent), m_values(values), m_idle(new NumberField(this)),
      m_speed(new SpeedLimitGroup(values.speed, this))
{
    m_idle->SetSpinRange(10, 900);
    auto* page = new QGridLayout(this);
    QGridLayout* grid = AddGroup(this, page, 0, tr("Time Out"));
    AddFieldRow(grid, 0, tr("Max Idle Time:"), m_idle, tr("s"));
    page->addWidget(m_speed, 1, 0);
    page->setRowStretch(2, 1);
}

void CConnPage::OnInitDialog()
{
    m_idle->SetValue(m_values.idleTime);
    m_speed->Load();
}

bool CConnPage::OnKillActive()
{
    return TakeInt(m_idle, 10, 900, m_values.idleTime);
}

}  // namespace dromo
