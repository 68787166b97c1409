#pragma once

namespace dromo {

// Starts worker threads on demand. Both rules take the task-table lock
// themselves; each starts at most one worker and says whether it did.
class WorkerStarter {
public:
    virtual ~WorkerStarter() = default;
    // After a task was queued: start one when fewer workers than "Max
    // Thread Number" are alive and every one of them is busy.
    virtual bool StartWorkerIfAllBusy() = 0;
    // At start-up and for scheduled tasks: start one when fewer workers
    // than "Max Thread Number" are alive.
    virtual bool StartWorkerIfBelowLimit() = 0;
};

}  // namespace dromo
