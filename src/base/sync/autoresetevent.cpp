#include "base/sync/autoresetevent.h"

namespace dromo {

void AutoResetEvent::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_cv.notify_one();
}

void AutoResetEvent::Reset()
{
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

bool AutoResetEvent::WaitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    if (!m_cv.wait_for(lock, timeout, [this] { return m_signalled; })) {
        return false;
    }
    m_signalled = false;
    return true;
}

bool AutoResetEvent::IsSet() const
{
    std::lock_guard lock(m_mutex);
    return m_signalled;
}

}  // namespace dromo
