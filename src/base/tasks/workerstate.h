#pragma once

#include <atomic>
#include <cassert>
#include <cstdint>

#include "base/sync/autoresetevent.h"
#include "base/sync/broadcastevent.h"
#include "base/tasks/tasktable.h"

namespace dromo {

// How many workers there are and what they do; the task-table lock guards
// them.
struct WorkerCounts {
    std::int16_t workerCount = 0;  // worker threads alive
    std::int16_t activeCount = 0;  // tasks in the middle of an attempt
    // Workers started that have not yet looked for a task: about to be
    // busy, so StartWorkerIfAllBusy counts them as busy.
    std::int16_t startingCount = 0;
};

// What every worker and the user-interface thread share. The counts open
// only with the task-table lock held (the guard is the proof); the stop flag
// is read without it.
struct WorkerState {
    std::atomic<bool> stop{false};
    // Reset whenever a worker is started, set by the last worker as it ends.
    AutoResetEvent allWorkersEnded{true};
    // Rung when a task may have become ready to run (added, resumed, due)
    // and at the stop: idle workers look at once instead of at their next poll.
    BroadcastEvent workPosted;

    WorkerCounts& Counts([[maybe_unused]] const TaskTable::Guard& held)
    {
        assert(held.owns_lock());
        return m_counts;
    }
    const WorkerCounts& Counts([[maybe_unused]] const TaskTable::Guard& held) const
    {
        assert(held.owns_lock());
        return m_counts;
    }

private:
    WorkerCounts m_counts;
};

}  // namespace dromo
