#include "base/download/workerpool.h"

#include "base/commands/taskcommands.h"
#include "base/download/worker.h"
#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/values/globaloptions.h"

namespace dromo {

WorkerPool::WorkerPool(const WorkerContext& context)
    : m_table(context.table), m_state(context.state), m_options(context.options), m_context(context)
{
}

WorkerPool::~WorkerPool()
{
    StopAndJoin();
}

void WorkerPool::StopAndJoin()
{
    ReapedThreads threads;
    {
        // Under the lock, so no Start() can slip a new thread in after the take.
        auto guard = m_table.Lock();
        m_state.stop = true;
        threads = m_threads.TakeAll();
    }
    m_state.workPosted.Ring();
    threads.JoinAll();
}

bool WorkerPool::StartWorkerIfAllBusy()
{
    m_state.workPosted.Ring();  // an idle worker takes it now; else a new one starts
    auto guard = m_table.Lock();
    const WorkerCounts& counts = m_state.Counts(guard);
    if (counts.workerCount < m_options.Get(guard).maxThreadNumber &&
        counts.activeCount + counts.startingCount >= counts.workerCount) {
        return Start(guard);
    }
    return false;
}

bool WorkerPool::StartWorkerIfBelowLimit()
{
    m_state.workPosted.Ring();
    auto guard = m_table.Lock();
    if (m_state.Counts(guard).workerCount < m_options.Get(guard).maxThreadNumber) {
        return Start(guard);
    }
    return false;
}

bool WorkerPool::Start(const TaskTable::Guard& guard)
{
    if (m_state.stop) {
        return false;
    }
    m_state.allWorkersEnded.Reset();
    WorkerCounts& counts = m_state.Counts(guard);
    ++counts.workerCount;
    ++counts.startingCount;
    m_threads.Start([context = m_context] { Worker(context).Run(); });
    return true;
}

bool WorkerPool::JoinIfAllEnded()
{
    ReapedThreads threads;
    {
        auto guard = m_table.Lock();
        if (m_state.Counts(guard).workerCount != 0) {
            return false;
        }
        threads = m_threads.TakeAll();
    }
    threads.JoinAll();  // each has left its procedure; this returns at once
    return true;
}

bool WorkerPool::StopAllWorkers(TaskCommands& commands, const std::function<void()>& save,
                                std::chrono::milliseconds bound)
{
    m_state.stop = true;
    m_state.workPosted.Ring();
    commands.AbortRunning();
    if (save) {
        save();
    }
    {
        // With no worker alive there is nothing to wait for (and the event
        // may have been taken by an earlier wait).
        auto guard = m_table.Lock();
        if (m_state.Counts(guard).workerCount == 0) {
            return true;
        }
    }
    return m_state.allWorkersEnded.WaitFor(bound);
}

}  // namespace dromo
