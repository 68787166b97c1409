#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace dromo {

// Runs the calls to Dromo (starting it, handing it captured URLs) one after
// another on a thread of its own, so the host keeps answering the browser
// while Dromo starts or asks the user about a URL. The destructor finishes
// what is queued.
class HandOverQueue {
public:
    using Job = std::function<void()>;

    HandOverQueue();
    ~HandOverQueue();
    HandOverQueue(const HandOverQueue&) = delete;
    HandOverQueue& operator=(const HandOverQueue&) = delete;

    void Add(Job job);

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_closing = false;
    std::thread m_thread;
};

}  // namespace dromo
