#include "platform/systemclock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace dromo {

std::int64_t SystemClock::Now()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

LocalTime SystemClock::Local()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_hour, local.tm_min};
}

std::uint32_t SystemClock::Milliseconds()
{
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ms.count());  // wraps like the classic counter
}

void SystemClock::Sleep(std::uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace dromo
