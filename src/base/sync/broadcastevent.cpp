#include "base/sync/broadcastevent.h"

namespace dromo {

std::uint64_t BroadcastEvent::Rings() const
{
    std::lock_guard lock(m_mutex);
    return m_rings;
}

void BroadcastEvent::Ring()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_rings;
    }
    m_cv.notify_all();
}

bool BroadcastEvent::WaitPast(std::uint64_t seen, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, timeout, [this, seen] { return m_rings != seen; });
}

}  // namespace dromo
