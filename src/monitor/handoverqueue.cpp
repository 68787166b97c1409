#include "handoverqueue.h"

namespace dromo {

HandOverQueue::HandOverQueue() : m_thread([this] { Run(); }) {}

HandOverQueue::~HandOverQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void HandOverQueue::Add(Job job)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void HandOverQueue::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_closing || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            return;  // closing, and nothing left to do
        }
        const Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

}  // namespace dromo
