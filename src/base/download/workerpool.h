#pragma once

namespace dromo {

// Starts worker threads on demand. Both rules are applied with the
// task-table lock held or taken by the pool; each starts at most one worker
// and says whether it did.
class WorkerPool {
public:
    virtual ~WorkerPool() = default;
    // Rule A, after a task was queued: start one when fewer workers than
    // "Max Thread Number" are alive and every one of them is busy.
    virtual bool ApplyRuleA() = 0;
    // Rule B, at start-up and for scheduled tasks: start one when fewer
    // workers than "Max Thread Number" are alive.
    virtual bool ApplyRuleB() = 0;
};

}  // namespace dromo
