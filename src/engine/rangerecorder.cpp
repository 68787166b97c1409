#include "engine/rangerecorder.h"

#include <chrono>

#include "engine/partialfile.h"

namespace dromo {

RangeRecorder::RangeRecorder(PartialFile& file) : m_file(file)
{
}

RangeRecorder::~RangeRecorder()
{
    Stop();
}

void RangeRecorder::Offer(std::string ranges)
{
    std::lock_guard lock(m_mutex);
    if (m_stop || !m_failure.empty()) {
        return;
    }
    m_pending = std::move(ranges);
    if (!m_thread.joinable()) {
        m_thread = std::thread([this] { Run(); });
    }
    m_wake.notify_one();
}

void RangeRecorder::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_pending.clear();
    }
    m_wake.notify_one();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool RangeRecorder::RecordNow(const std::string& ranges)
{
    Stop();
    return m_file.SyncData().empty() && m_file.StoreRanges(ranges);
}

std::string RangeRecorder::Failure() const
{
    std::lock_guard lock(m_mutex);
    return m_failure;
}

void RangeRecorder::Run()
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_pending.empty(); });
        if (m_stop) {
            return;
        }
        const std::string ranges = std::move(m_pending);
        m_pending.clear();
        lock.unlock();
        const auto before = Clock::now();
        // What was written before the offer reaches the disk before the
        // record that counts it: the record is never ahead of the data.
        const std::string error = m_file.SyncData();
        if (error.empty()) {
            m_file.StoreRanges(ranges);
        }
        const auto took = Clock::now() - before;
        lock.lock();
        if (!error.empty()) {
            m_failure = error;
            return;
        }
        m_wake.wait_for(lock, kRestFactor * took, [this] { return m_stop; });
    }
}

}  // namespace dromo
