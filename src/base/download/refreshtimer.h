#pragma once

#include <cstdint>

namespace dromo {

class Clock;
class ProgressHandler;
class ScheduleCheck;
class SpeedSamples;
class TaskListObserver;
class TaskTable;
struct WorkerState;

// The main view's one-second timer: the schedule check, the speed bar's
// sample, and the tray icon with its tip.
class RefreshTimer {
public:
    RefreshTimer(ScheduleCheck& schedule, ProgressHandler& progress, SpeedSamples& samples, TaskTable& table,
                 WorkerState& workers, Clock& clock, TaskListObserver& observer);

    // When the task list is first shown.
    void Start();
    void Tick();

private:
    ScheduleCheck& m_schedule;
    ProgressHandler& m_progress;
    SpeedSamples& m_samples;
    TaskTable& m_table;
    WorkerState& m_workers;
    Clock& m_clock;
    TaskListObserver& m_observer;
    std::uint32_t m_lastTickTime = 0;
};

}  // namespace dromo
