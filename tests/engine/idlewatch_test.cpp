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

// Over a short window it is a connection's recent pace: the bytes of that
// window, not all of a stream that began long before it (within a sample
// step of the window's start).
TEST(IdleWatch, RecentCountsTheLastWindowOnly)
{
    const struct {
        const char* what;
        std::chrono::milliseconds slowFrom;  // 1000 bytes every 10 ms until then, then a byte a second
        std::chrono::milliseconds judgedAt;
        std::int64_t least, most;
    } cases[] = {
        {"a steady stream", 10s, 10s, 300000, 325000},
        {"a stream that became a trickle", 5s, 10s, 3, 4},
        {"a trickle from the start", 0ms, 10s, 3, 4},
        {"not yet a whole window", 2s, 2900ms, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Clock::time_point start{};
        IdleWatch pace;
        pace.Start(3s, start);
        for (auto at = 10ms; at <= c.judgedAt; at += 10ms) {
            if (at <= c.slowFrom) {
                pace.Note(1000, start + at);
            } else if (at % 1s == 0ms) {
                pace.Note(1, start + at);
            }
        }
        const std::int64_t recent = pace.Recent(start + c.judgedAt);
        EXPECT_GE(recent, c.least);
        EXPECT_LE(recent, c.most);
    }
}

}  // namespace
}  // namespace dromo
