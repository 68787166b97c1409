#pragma once

#include "base/ports/clock.h"

namespace dromo {

// The machine's clocks: wall time, local time of day, a monotonic
// millisecond counter, and a real sleep.
class SystemClock : public Clock {
public:
    std::int64_t Now() override;
    LocalTime Local() override;
    std::uint32_t Milliseconds() override;
    void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace dromo
