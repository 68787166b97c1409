#include "base/download/refreshtimer.h"

#include <string>

#include "base/download/progresshandler.h"
#include "base/download/schedulecheck.h"
#include "base/ports/clock.h"
#include "base/ports/tasklistobserver.h"
#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/text/progresstexts.h"
#include "base/text/startup.h"
#include "base/view/speedsamples.h"

namespace dromo {

RefreshTimer::RefreshTimer(ScheduleCheck& schedule, ProgressHandler& progress, SpeedSamples& samples, TaskTable& table,
                           WorkerState& workers, Clock& clock, TaskListObserver& observer)
    : m_schedule(schedule), m_progress(progress), m_samples(samples), m_table(table), m_workers(workers),
      m_clock(clock), m_observer(observer)
{
}

void RefreshTimer::Start()
{
    m_lastTickTime = m_clock.Milliseconds();
}

void RefreshTimer::Tick()
{
    m_schedule.Run();
    const std::int64_t bytes = m_progress.TakeBytesThisTick();
    int active = 0;
    {
        auto guard = m_table.Lock();
        active = m_workers.Counts(guard).activeCount;
    }
    const std::uint32_t now = m_clock.Milliseconds();
    TrayState tray{128, kAppTitle};
    if (bytes > 0 || m_samples.Max() != 0 || active != 0) {
        std::uint32_t interval = now - m_lastTickTime;
        if (interval == 0) {
            interval = 1000;
        }
        m_samples.AddSample(bytes * 1000 / interval);
        if (bytes > 0) {
            tray.tip = "Speed: " + FormatOneDecimal(static_cast<double>(bytes) / 1024.0) + " KB/s";
        }
        static constexpr int kIcons[] = {207, 208, 209, 211, 212};
        const int level = m_samples.PercentOfMax() / 25;
        tray.icon = active == 0 ? 128 : kIcons[level < 0 ? 0 : (level > 4 ? 4 : level)];
    }
    m_observer.TrayStateChanged(tray);
    m_lastTickTime = now;
}

}  // namespace dromo
