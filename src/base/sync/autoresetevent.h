#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace dromo {

// An event that wakes one waiter and then resets itself.
class AutoResetEvent {
public:
    explicit AutoResetEvent(bool signalled) : m_signalled(signalled) {}

    void Set();
    void Reset();
    // True when the event was (or became) signalled within the time; the event
    // is then reset.
    bool WaitFor(std::chrono::milliseconds timeout);
    bool IsSet() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_signalled;
};

}  // namespace dromo
