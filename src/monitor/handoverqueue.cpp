#include "monitor/handoverqueue.h"

namespace dromo {

HandOverQueue::~HandOverQueue()
{
    for (Running& running : m_running) {
        running.thread.join();
    }
}

void HandOverQueue::Add(Job job)
{
    // Finished calls leave nothing behind but their thread to be joined.
    for (auto it = m_running.begin(); it != m_running.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = m_running.erase(it);
        } else {
            ++it;
        }
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([job = std::move(job), done] {
        job();
        done->store(true);
    });
    m_running.push_back(Running{std::move(done), std::move(thread)});
}

}  // namespace dromo
