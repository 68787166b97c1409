#include "base/download/schedulecheck.h"

#include <string>

#include "base/ports/clock.h"
#include "base/ports/completionactions.h"
#include "base/ports/transferengine.h"
#include "base/ports/workerstarter.h"
#include "base/tasks/tasktable.h"
#include "base/text/progresstexts.h"

namespace dromo {
namespace {

// "22:05" gives 22 and 5; leading digits only, 0 when there are none.
void SplitStartAt(const std::string& startAt, int& hour, int& minute)
{
    const std::size_t colon = startAt.find(':');
    hour = static_cast<int>(LeadingNumber(startAt.substr(0, colon)));
    minute = colon == std::string::npos ? 0 : static_cast<int>(LeadingNumber(startAt.substr(colon + 1)));
}

}  // namespace

ScheduleCheck::ScheduleCheck(TaskTable& table, Clock& clock, WorkerStarter& starter, CompletionActions& completion)
    : m_table(table), m_clock(clock), m_starter(starter), m_completion(completion)
{
}

void ScheduleCheck::Run()
{
    bool cutOff = false;
    {
        auto guard = m_table.Lock();
        const LocalTime now = m_clock.Local();
        for (const TaskId taskId : m_table.ScheduledTasks()) {
            const int row = m_table.RowOf(taskId);
            if (row < 0) {
                continue;
            }
            const TaskRecord r = *m_table.CopyOut(row);
            int hour = 0;
            int minute = 0;
            SplitStartAt(r.startAt, hour, minute);
            if (r.Is(TaskState::Scheduled) && now.hour == hour && now.minute == minute) {
                m_table.Update(r.taskId, [](TaskRecord& due) { due.SetState(TaskState::Queued); });
                m_starter.StartWorkerIfBelowLimit();
            } else if (r.Is(TaskState::Running) && !r.untilFinished) {
                // Past midnight this goes negative and the run is not cut off.
                const int elapsed = (now.hour - hour) * 60 + now.minute - minute;
                if (elapsed >= r.duration && r.engine) {
                    r.engine->Abort();
                    cutOff = true;
                }
            }
        }
    }
    if (cutOff) {
        m_completion.CompletionCheck();
    }
}

}  // namespace dromo
