#pragma once

#include <atomic>
#include <cstdint>

#include "base/sync/autoresetevent.h"

namespace dromo {

// What every worker and the user-interface thread share. The counts are
// changed only under the task-table lock; the stop flag is read without it.
struct WorkerState {
    std::atomic<bool> stop{false};
    std::int16_t workerCount = 0;  // worker threads alive
    std::int16_t activeCount = 0;  // tasks in the middle of an attempt
    // Workers started that have not yet looked for a task: about to be
    // busy, so StartWorkerIfAllBusy counts them as busy.
    std::int16_t startingCount = 0;
    // Reset whenever a worker is started, set by the last worker as it ends.
    AutoResetEvent allWorkersEnded{true};
};

}  // namespace dromo
