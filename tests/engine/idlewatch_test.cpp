// Idleness: less than one byte a second over the idle time, on the clock
// alone (the engine against a server that trickles is in curlengine_test).

#include "engine/idlewatch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace dromo {
namespace {

using namespace std::chrono_literals;
using Clock = IdleWatch::Clock;

TEST(IdleWatch, LessThanAByteASecondOverTheIdleTimeIsIdle)
{
    struct Arrival {
        std::chrono::milliseconds at;
        std::int64_t bytes;
    };
    const struct {
        const char* what;
        std::vector<Arrival> arrivals;
        std::chrono::milliseconds judgedAt;
        bool idle;
    } cases[] = {
        {"nothing, not yet a whole idle time", {}, 9900ms, false},
        {"nothing for the idle time", {}, 10000ms, true},
        {"a byte every two seconds", {{1s, 1}, {3s, 1}, {5s, 1}, {7s, 1}, {9s, 1}, {11s, 1}}, 12000ms, true},
        {"a byte a second",
         {{1s, 1},
          {2s, 1},
          {3s, 1},
          {4s, 1},
          {5s, 1},
          {6s, 1},
          {7s, 1},
          {8s, 1},
          {9s, 1},
          {10s, 1},
          {11s, 1},
          {12s, 1}},
         12000ms,
         false},
        {"a burst, then silence within the idle time", {{1s, 5000}, {2s, 5000}}, 11500ms, false},
        {"a burst, then silence beyond it", {{1s, 5000}, {2s, 5000}}, 12500ms, true},
        {"a steady stream that stops", {{100ms, 100}, {200ms, 100}, {300ms, 100}, {400ms, 100}}, 10500ms, true},
        {"ten bytes at the window's very end", {{11900ms, 10}}, 12000ms, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Clock::time_point start{};
        IdleWatch watch;
        watch.Start(10s, start);
        for (const Arrival& a : c.arrivals) {
            watch.Note(a.bytes, start + a.at);
        }
        EXPECT_EQ(watch.Idle(start + c.judgedAt), c.idle);
    }
    IdleWatch never;
    never.Start(0s, Clock::time_point{});
    EXPECT_FALSE(never.Idle(Clock::time_point{} + 1h)) << "no idle time, never idle";
    IdleWatch held;
    held.Start(10s, Clock::time_point{});
    held.Restart(Clock::time_point{} + 30s);
    EXPECT_FALSE(held.Idle(Clock::time_point{} + 35s)) << "time held back is not judged";
    EXPECT_TRUE(held.Idle(Clock::time_point{} + 40s));
}

}  // namespace
}  // namespace dromo
