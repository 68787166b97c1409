#include "gui/dialogs/task/cconnpage.h"

#include <QGridLayout>

#include "base/values/globaloptions.h"
#include "gui/widgets/numberfield.h"
#include "gui/widgets/pagewidgets.h"
#include "gui/widgets/speedlimitgroup.h"

namespace dromo {

CConnPage::CConnPage(TaskPageValues& values, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("Connection"), messages, parent), m_values(values), m_idle(new NumberField(this)),
      m_connections(new NumberField(this)), m_speed(new SpeedLimitGroup(values.speed, this))
{
    m_idle->SetSpinRange(10, 900);
    m_connections->SetSpinRange(kMinConnections, kMaxConnections);
    auto* page = new QGridLayout(this);
    QGridLayout* grid = AddGroup(this, page, 0, tr("Time Out"));
    AddFieldRow(grid, 0, tr("Max Idle Time:"), m_idle, tr("s"));
    QGridLayout* connections = AddGroup(this, page, 1, tr("Connections"));
    AddFieldRow(connections, 0, tr("Connections:"), m_connections);
    page->addWidget(m_speed, 2, 0);
    page->setRowStretch(3, 1);
}

void CConnPage::OnInitDialog()
{
    m_idle->SetValue(m_values.idleTime);
    m_connections->SetValue(m_values.connections);
    m_speed->Load();
}

bool CConnPage::OnKillActive()
{
    return TakeInt(m_idle, 10, 900, m_values.idleTime) &&
           TakeInt(m_connections, kMinConnections, kMaxConnections, m_values.connections) && m_speed->Take(Notices());
}

}  // namespace dromo
