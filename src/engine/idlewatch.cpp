#include "engine/idlewatch.h"

namespace dromo {

void IdleWatch::Start(std::chrono::seconds idle, Clock::time_point now)
{
    m_idle = idle;
    m_total = 0;
    Restart(now);
}

void IdleWatch::Restart(Clock::time_point now)
{
    m_start = now;
    m_stepStart = now;
    m_samples.assign(1, {now, m_total});
}

void IdleWatch::Note(std::int64_t bytes, Clock::time_point now)
{
    m_total += bytes;
    // A steady stream is one sample a step, each moving along with it to
    // the step's end: one sample for all of it would count every byte
    // since it began as the last window's.
    if (m_samples.size() > 1 && now - m_stepStart < kSampleStep) {
        m_samples.back() = {now, m_total};
    } else {
        m_samples.emplace_back(now, m_total);
        m_stepStart = now;
    }
    while (m_samples.size() > 1 && m_samples[1].first <= now - m_idle) {
        m_samples.pop_front();
    }
}

std::int64_t IdleWatch::Recent(Clock::time_point now) const
{
    if (m_idle.count() <= 0 || now - m_start < m_idle) {
        return -1;
    }
    // The bytes by the newest sample at or before the window's start. A
    // sample carries the bytes of a step up to its time, some of which may
    // have come before the window: that errs towards calling it alive, by
    // a step's bytes at most.
    std::int64_t before = m_samples.front().second;
    for (const auto& [at, total] : m_samples) {
        if (at > now - m_idle) {
            break;
        }
        before = total;
    }
    return m_total - before;
}

bool IdleWatch::Idle(Clock::time_point now, std::int64_t perSecond) const
{
    const std::int64_t recent = Recent(now);
    return recent >= 0 && recent < perSecond * m_idle.count();
}

std::string IdleFailureText(std::int32_t seconds, bool silent)
{
    return silent ? "Error - no data received for " + std::to_string(seconds) + " seconds"
                  : "Error - less than one byte a second received for " + std::to_string(seconds) + " seconds";
}

}  // namespace dromo
