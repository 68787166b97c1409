#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace dromo {

// An event that wakes every thread waiting on it. A waiter notes the
// count of rings before it looks for what the ring announces, then waits
// past that count: a ring between its look and its wait is never missed.
class BroadcastEvent {
public:
    // The rings so far.
    std::uint64_t Rings() const;
    void Ring();
    // True when rung past `seen` within the time.
    bool WaitPast(std::uint64_t seen, std::chrono::milliseconds timeout);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::uint64_t m_rings = 0;
};

}  // namespace dromo
