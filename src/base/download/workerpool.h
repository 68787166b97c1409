#pragma once

#include <chrono>
#include <functional>

#include "base/download/workercontext.h"
#include "base/ports/workerstarter.h"
#include "base/sync/reapedthreads.h"
#include "base/tasks/guarded.h"

namespace dromo {

// Starts worker threads by StartWorkerIfAllBusy and StartWorkerIfBelowLimit and stops them all at exit.
//
// A worker is counted the moment it is started, not when its thread first
// runs: otherwise a burst of adds starts several threads before any counts
// itself, and each then finds the count above "Max Thread Number" and ends,
// leaving the tasks queued. For StartWorkerIfAllBusy a started worker that has not yet
// looked for a task counts as busy, as it will be.
class WorkerPool : public WorkerStarter {
public:
    // Every worker gets `context`. Its objects need not be built yet (the
    // commands start workers through this pool, and workers call the
    // commands): no worker starts before the first rule is applied.
    explicit WorkerPool(const WorkerContext& context);
    ~WorkerPool() override;
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The keyring the workers ask for a password it could not give when the
    // list was loaded; set before any worker starts (none: never asked).
    void UseKeyring(PasswordKeyring* keyring) { m_context.keyring = keyring; }

    bool StartWorkerIfAllBusy() override;
    bool StartWorkerIfBelowLimit() override;

    // The exit path: set the stop flag, abort every running transfer (and
    // change no other task: schedules and states outlive the exit), save,
    // then wait at most `bound` for the last worker to end.
    // True when all workers ended in time.
    bool StopAllWorkers(TaskCommands& commands, const std::function<void()>& save,
                        std::chrono::milliseconds bound = std::chrono::milliseconds(5000));

    // True when no worker thread is alive; their threads are then joined,
    // so the objects they used may go.
    bool JoinIfAllEnded();

    // Sets the stop flag and waits, however long it takes, for every worker
    // thread to end and joins it; no worker starts afterwards. Whoever owns
    // the objects a worker calls (the window, the adder, the handlers) calls
    // this before they go: stopping the transfers first (Stop All) keeps
    // the wait short. The destructor does it too, but members destroyed
    // before the pool would already be gone by then.
    void StopAndJoin();

private:
    bool Start(const TaskTable::Guard& guard);

    TaskTable& m_table;
    WorkerState& m_state;
    Guarded<const GlobalOptions> m_options;
    WorkerContext m_context;
    ReapedThreads m_threads;  // touched under the task-table lock
};

}  // namespace dromo
