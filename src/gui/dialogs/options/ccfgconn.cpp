#include "gui/dialogs/options/ccfgconn.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

#include "gui/widgets/numberfield.h"
#include "gui/widgets/pagewidgets.h"
#include "gui/widgets/speedlimitgroup.h"

namespace dromo {

CCfgConn::CCfgConn(GlobalOptions& options, SpeedFields& speed, Messages& messages)
    : CPropertyPage(tr("Connection"), messages), m_options(options), m_threads(new NumberField(this)),
      m_connections(new NumberField(this)), m_errors(new NumberField(this)), m_interval(new NumberField(this)),
      m_idle(new NumberField(this)), m_speed(new SpeedLimitGroup(speed, this))
{
    m_threads->SetSpinRange(1, 12);
    m_connections->SetSpinRange(kMinConnections, kMaxConnections);
    m_errors->SetSpinRange(0, 9999);
    m_interval->SetSpinRange(1, 120);
    m_idle->SetSpinRange(10, 900);
    auto* page = new QGridLayout(this);
    QGridLayout* threads = AddGroup(this, page, 0, tr("Thread limits"));
    QLabel* threadsLabel = AddFieldRow(threads, 0, tr("Max downloading tasks:"), m_threads);
    QLabel* connectionsLabel = AddFieldRow(threads, 1, tr("Connections per task:"), m_connections);
    QGridLayout* errors = AddGroup(this, page, 1, tr("Error Control"));
    QLabel* errorsLabel = AddFieldRow(errors, 0, tr("Max Error Count:"), m_errors);
    QLabel* intervalLabel = AddFieldRow(errors, 1, tr("Interval between Retries:"), m_interval, tr("s"));
    QGridLayout* timeOut = AddGroup(this, page, 2, tr("Time Out"));
    QLabel* idleLabel = AddFieldRow(timeOut, 0, tr("Max Idle Time:"), m_idle, tr("s"));
    page->addWidget(m_speed, 3, 0);
    page->setRowStretch(4, 1);

    AddHelp({threadsLabel, static_cast<QWidget*>(m_threads)},
            tr("Specify the max amount of the tasks that can run at the same time, which can range from 1 to 12."));
    AddHelp({connectionsLabel, static_cast<QWidget*>(m_connections)},
            tr("Specify how many connections a task may open to download one large file, which can range from 1 to "
               "16. A server that refuses extra connections gets fewer."));
    AddHelp({errorsLabel, static_cast<QWidget*>(m_errors)},
            tr("Specify how many times Dromo will retry the tasks that encounter error"));
    AddHelp({intervalLabel, static_cast<QWidget*>(m_interval)}, tr("Specify how long Dromo will wait till next try."));
    AddHelp({idleLabel, static_cast<QWidget*>(m_idle)},
            tr("Specify the max idle time for each task. It means if a running task doesn't receive anything for the "
               "specified seconds, it will stop and make next try if possible."));
    AddHelp({m_speed->Unlimited()}, tr("Control the download speed. In most cases, leave it alone."));
}

void CCfgConn::OnInitDialog()
{
    m_threads->SetValue(m_options.maxThreadNumber);
    m_connections->SetValue(m_options.connectionsPerTask);
    m_errors->SetValue(m_options.maxErrorCount);
    m_interval->SetValue(m_options.retryInterval);
    m_idle->SetValue(m_options.maxIdleTime);
    m_speed->Load();
}

bool CCfgConn::OnKillActive()
{
    return TakeInt(m_threads, 1, 12, m_options.maxThreadNumber) &&
           TakeInt(m_connections, kMinConnections, kMaxConnections, m_options.connectionsPerTask) &&
           TakeInt(m_errors, 0, 9999, m_options.maxErrorCount) &&
           TakeInt(m_interval, 1, 120, m_options.retryInterval) && TakeInt(m_idle, 10, 900, m_options.maxIdleTime) &&
           m_speed->Take(Notices());
}

}  // namespace dromo
