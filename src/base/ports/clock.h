#pragma once

#include <cstdint>

namespace dromo {

struct LocalTime {
    int hour = 0;
    int minute = 0;
};

// Time as the rules need it; a fake makes the schedule and every wait
// testable without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970.
    virtual std::int64_t Now() = 0;
    // The local wall clock's hour and minute.
    virtual LocalTime Local() = 0;
    // A millisecond counter for measuring intervals.
    virtual std::uint32_t Milliseconds() = 0;
    // Waits; workers poll and pause with it.
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace dromo
