#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>

namespace dromo {

// Whether a transfer has gone idle: less than one byte a second over the
// idle time. Silence alone misses a server that sends a byte now and then,
// which would hold a connection, and the worker with it, for good. Over a
// short time it is a connection's recent pace (Recent).
class IdleWatch {
public:
    using Clock = std::chrono::steady_clock;

    // Watches from `now` over the idle time; zero seconds: never idle.
    void Start(std::chrono::seconds idle, Clock::time_point now);
    // Forgets what came before `now`, so time held back on purpose (by the
    // speed limit) is not judged.
    void Restart(Clock::time_point now);
    void Note(std::int64_t bytes, Clock::time_point now);
    // Bytes of the last idle time; -1 until a whole idle time was watched.
    std::int64_t Recent(Clock::time_point now) const;
    // Whether the last idle time brought less than `perSecond` bytes a second.
    bool Idle(Clock::time_point now, std::int64_t perSecond = 1) const;

private:
    // Samples closer together than this are merged.
    static constexpr std::chrono::milliseconds kSampleStep{250};

    std::chrono::seconds m_idle{0};
    Clock::time_point m_start{};
    std::int64_t m_total = 0;
    Clock::time_point m_stepStart{};  // when the newest sample's first bytes came
    // (time of a sample's last byte, bytes in all by then), oldest first:
    // the newest one at or before the start of the idle time, and the later ones.
    std::deque<std::pair<Clock::time_point, std::int64_t>> m_samples;
};

// The failure text of an idle transfer: `silent` when nothing at all came.
std::string IdleFailureText(std::int32_t seconds, bool silent);

}  // namespace dromo
