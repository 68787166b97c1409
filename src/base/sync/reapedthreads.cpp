#include "base/sync/reapedthreads.h"

#include <utility>

namespace dromo {

ReapedThreads::~ReapedThreads()
{
    JoinAll();
}

ReapedThreads::ReapedThreads(ReapedThreads&& other) noexcept
{
    m_threads.swap(other.m_threads);
}

ReapedThreads& ReapedThreads::operator=(ReapedThreads&& other) noexcept
{
    if (this != &other) {
        JoinAll();
        m_threads.swap(other.m_threads);
    }
    return *this;
}

void ReapedThreads::Start(Job job)
{
    ReapFinished();
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([job = std::move(job), done] {
        job();
        done->store(true);
    });
    m_threads.push_back(Thread{std::move(done), std::move(thread)});
}

void ReapedThreads::ReapFinished()
{
    for (auto it = m_threads.begin(); it != m_threads.end();) {
        if (it->done->load()) {
            it->thread.join();  // its job has returned: this returns at once
            it = m_threads.erase(it);
        } else {
            ++it;
        }
    }
}

void ReapedThreads::JoinAll()
{
    for (Thread& t : m_threads) {
        if (t.thread.joinable()) {
            t.thread.join();
        }
    }
    m_threads.clear();
}

ReapedThreads ReapedThreads::TakeAll()
{
    ReapedThreads taken;
    taken.m_threads.swap(m_threads);
    return taken;
}

}  // namespace dromo
