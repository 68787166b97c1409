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
    std::list<Thread> threads;
    {
        // Under the lock, so no Start() can slip a new thread in after the swap.
        auto guard = m_table.Lock();
        m_state.stop = true;
        threads.swap(m_threads);
    }
    for (Thread& t : threads) {
        if (t.thread.joinable()) {
            t.thread.join();
        }
    }
}

bool WorkerPool::StartWorkerIfAllBusy()
{
    auto guard = m_table.Lock();
    if (m_state.workerCount < m_options.maxThreadNumber &&
        m_state.activeCount + m_state.startingCount >= m_state.workerCount) {
        return Start();
    }
    return false;
}

bool WorkerPool::StartWorkerIfBelowLimit()
{
    auto guard = m_table.Lock();
    if (m_state.workerCount < m_options.maxThreadNumber) {
        return Start();
    }
    return false;
}

bool WorkerPool::Start()
{
    if (m_state.stop) {
        return false;
    }
    ReapFinished();
    m_state.allWorkersEnded.Reset();
    ++m_state.workerCount;
    ++m_state.startingCount;
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_threads.push_back(Thread{std::thread([context = m_context, done] {
                                   Worker(context).Run();
                                   *done = true;
                               }),
                               done});
    return true;
}

void WorkerPool::ReapFinished()
{
    for (auto it = m_threads.begin(); it != m_threads.end();) {
        if (*it->done) {
            it->thread.join();
            it = m_threads.erase(it);
        } else {
            ++it;
        }
    }
}

bool WorkerPool::JoinIfAllEnded()
{
    std::list<Thread> threads;
    {
        auto guard = m_table.Lock();
        if (m_state.workerCount != 0) {
            return false;
        }
        threads.swap(m_threads);
    }
    for (Thread& t : threads) {
        t.thread.join();  // each has left its procedure; this returns at once
    }
    return true;
}

bool WorkerPool::StopAllWorkers(TaskCommands& commands, const std::function<void()>& save,
                                std::chrono::milliseconds bound)
{
    m_state.stop = true;
    commands.StopAll();
    if (save) {
        save();
    }
    {
        // With no worker alive there is nothing to wait for (and the event
        // may have been taken by an earlier wait).
        auto guard = m_table.Lock();
        if (m_state.workerCount == 0) {
            return true;
        }
    }
    return m_state.allWorkersEnded.WaitFor(bound);
}

}  // namespace dromo
