#include "gui/dialogs/options/ccfgsch.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QTimeEdit>

#include "base/forms/pagechoices.h"
#include "gui/widgets/numberfield.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {

CCFGSch::CCFGSch(ScheduleFields& fields, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("Schedule"), messages, parent), m_fields(fields),
      m_enable(new QCheckBox(tr("Enable Schedule"), this)), m_startAt(new QTimeEdit(this)),
      m_untilFinished(new QCheckBox(tr("until Finished"), this)), m_duration(new NumberField(this))
{
    m_startAt->setDisplayFormat("HH:mm");
    const QTime now = QTime::currentTime();
    m_startAt->setTime(QTime(now.hour(), now.minute()));
    m_duration->SetSpinRange(1, 1440);
    auto* page = new QGridLayout(this);
    QGridLayout* grid = AddGroup(this, page, 0, tr("Schedule Download"));
    grid->addWidget(m_enable, 0, 0, 1, 3);
    QLabel* startLabel = AddLabel(grid, 1, 0, tr("Start at:"));
    grid->addWidget(m_startAt, 1, 1);
    grid->addWidget(m_untilFinished, 2, 0, 1, 3);
    QLabel* durationLabel = AddFieldRow(grid, 3, tr("Duration:"), m_duration, tr("mins"));
    page->setRowStretch(1, 1);
    connect(m_enable, &QCheckBox::clicked, this, [this] { ApplyEnabling(); });
    connect(m_untilFinished, &QCheckBox::clicked, this, [this] { ApplyEnabling(); });

    AddHelp({m_enable}, tr("If you check it, all the tasks will be scheduled and only run when time is up. It has no "
                           "effect on running tasks."));
    AddHelp({startLabel, static_cast<QWidget*>(m_startAt)}, tr("Set the start time for Dromo to run the task."));
    AddHelp({m_untilFinished},
            tr("If checked, Dromo will run the task until the specified file has been downloaded completely."));
    AddHelp({durationLabel, static_cast<QWidget*>(m_duration)}, tr("Set how long Dromo will run the task every time."));
}

void CCFGSch::OnInitDialog()
{
    m_enable->setChecked(m_fields.scheduled != 0);
    m_untilFinished->setChecked(m_fields.untilFinished != 0);
    m_duration->SetValue(m_fields.duration);
    if (const auto time = StartTimeOnShow(m_fields.startAt)) {
        m_startAt->setTime(QTime(time->hour, time->minute));
    }
    ApplyEnabling();
}

void CCFGSch::ApplyEnabling()
{
    const bool on = m_enable->isChecked();
    m_startAt->setEnabled(on);
    m_untilFinished->setEnabled(on);
    m_duration->setEnabled(on && !m_untilFinished->isChecked());
}

bool CCFGSch::OnKillActive()
{
    if (!TakeInt(m_duration, 1, 1440, m_fields.duration)) {
        return false;
    }
    m_fields.scheduled = m_enable->isChecked() ? 1 : 0;
    m_fields.untilFinished = m_untilFinished->isChecked() ? 1 : 0;
    m_fields.startAt = StartTimeText({m_startAt->time().hour(), m_startAt->time().minute()});
    return true;
}

}  // namespace dromo
