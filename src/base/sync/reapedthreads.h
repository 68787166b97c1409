#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <thread>

namespace dromo {

// Threads that each run one job, kept until joined: Start reaps (joins)
// those whose job has returned before it adds one, so a long run of short
// jobs leaves no pile of ended threads; JoinAll waits for the rest. Not
// itself thread-safe: its owner starts, reaps and takes under its own rule
// (the worker pool under the task-table lock, the hand-over queue on one
// thread). Movable, so an owner can take the threads out under its lock and
// join them after releasing it. The destructor joins what is left.
class ReapedThreads {
public:
    using Job = std::function<void()>;

    ReapedThreads() = default;
    ~ReapedThreads();
    ReapedThreads(ReapedThreads&& other) noexcept;
    // Joins this one's threads first (as the destructor does, without
    // throwing), then takes the other's.
    ReapedThreads& operator=(ReapedThreads&& other) noexcept;
    ReapedThreads(const ReapedThreads&) = delete;
    ReapedThreads& operator=(const ReapedThreads&) = delete;

    void Start(Job job);
    // Joins every thread whose job has returned; waits for none.
    void ReapFinished();
    // Waits for every thread and joins it.
    void JoinAll();
    // Moves every thread out, to be joined elsewhere.
    ReapedThreads TakeAll();
    // Threads started and not yet joined.
    std::size_t Count() const { return m_threads.size(); }

private:
    struct Thread {
        std::shared_ptr<std::atomic<bool>> done;
        std::thread thread;
    };
    std::list<Thread> m_threads;
};

}  // namespace dromo
