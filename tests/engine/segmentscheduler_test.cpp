// What a segmented transfer decides without a network: what a lost
// connection says of its server, when the first one's server gets another
// connection after refusing one, how many connections to aim at, and when a
// small file is shared out at once.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "engine/hostconnections.h"
#include "engine/segmentscheduler.h"

namespace dromo {
namespace {

using Clock = SegmentScheduler::Clock;
using Loss = SegmentScheduler::Loss;
using After = SegmentScheduler::AfterLoss;
using std::chrono::milliseconds;

// A scheduler for `connections`, with the first connection's server and
// `others` more mirrors (the last `dropped` of them left already).
struct Bench {
    HostConnections hosts;
    SegmentScheduler schedule;

    Bench(int connections, int others, int dropped = 0, bool prefixOnly = false) : schedule(connections, hosts)
    {
        for (int i = 0; i <= others; ++i) {
            MirrorPool::Mirror m;
            m.url = "http://m" + std::to_string(i) + "/f";
            m.hostPort = "m" + std::to_string(i) + ":80";
            m.priority = 1;
            schedule.Pool().Add(m);
        }
        for (int i = others - dropped + 1; i <= others; ++i) {
            schedule.Pool().Drop(i, "gone");
        }
        schedule.Start(prefixOnly, 0);
    }
};

TEST(SegmentScheduler, WhatALostConnectionSaysOfItsServer)
{
    struct Step {
        int mirror;
        Loss loss;
        std::size_t live;  // connections left after it
        int times;         // lost so, each saying GoOn but the last
        After last;
    };
    const struct {
        const char* what;
        int connections;
        int others;   // mirrors beside the first one's server
        int dropped;  // of those, left already
        std::vector<Step> steps;
        std::size_t allowed;  // connections the task opens afterwards
    } cases[] = {
        {"another mirror that refuses is left", 4, 1, 0, {{1, Loss::Refused, 1, 1, After::LeaveMirror}}, 4},
        {"another mirror naming another file is left", 4, 1, 0, {{1, Loss::OtherVersion, 1, 1, After::LeaveMirror}}, 4},
        {"another version at the first one's server, with nobody left, leaves nobody",
         4,
         0,
         0,
         {{0, Loss::OtherVersion, 0, 9, After::GoOn}},
         4},
        {"a dropped connection of another mirror does not leave it",
         4,
         1,
         0,
         {{1, Loss::Dropped, 1, 1, After::GoOn}},
         4},
        {"the fifth refusal with nobody left and no other mirror gives up",
         4,
         0,
         0,
         {{0, Loss::Refused, 0, 5, After::GiveUp}},
         4},
        {"refusals do not give up while another mirror may carry the file",
         4,
         1,
         0,
         {{0, Loss::Refused, 0, 9, After::GoOn}},
         4},
        {"a mirror left already does not hold it up", 4, 1, 1, {{0, Loss::Refused, 0, 5, After::GiveUp}}, 4},
        {"refusals do not give up while a connection is open", 4, 0, 0, {{0, Loss::Refused, 1, 9, After::GoOn}}, 4},
        {"an answer that fits starts the refusals over",
         4,
         0,
         0,
         {{0, Loss::Refused, 0, 4, After::GoOn},
          {-1, Loss::Refused, 0, 0, After::GoOn},
          {0, Loss::Refused, 0, 4, After::GoOn}},
         4},
        {"the ninth drop of two connections' task, with nobody left, gives up",
         2,
         0,
         0,
         {{0, Loss::Dropped, 0, 4, After::GoOn}, {0, Loss::Idle, 0, 5, After::GiveUp}},
         1},
        {"beyond that with one open, the task keeps to one connection",
         2,
         1,
         0,
         {{1, Loss::Dropped, 1, 8, After::GoOn}, {0, Loss::Idle, 1, 1, After::GoOn}},
         1},
        {"eight drops leave the task its number", 2, 1, 0, {{1, Loss::Dropped, 1, 8, After::GoOn}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bench s(c.connections, c.others, c.dropped);
        const Clock::time_point t0 = Clock::now();
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            if (step.mirror < 0) {
                s.schedule.Accepted();
                continue;
            }
            for (int n = 1; n <= step.times; ++n) {
                EXPECT_EQ(s.schedule.Lost(step.mirror, step.loss, step.live, t0),
                          n == step.times ? step.last : After::GoOn)
                    << "step " << i << ", loss " << n;
            }
        }
        EXPECT_EQ(s.schedule.Allowed(), c.allowed);
    }
}

// The first one's server refused a connection: none goes there for a
// quarter of a second, then no more than it had open, and after half a
// second one more is tried, then less often each time.
TEST(SegmentScheduler, TheFirstServerAfterARefusalIsHeldBackThenTriedOneHigher)
{
    Bench s(4, 0);
    MirrorPool& pool = s.schedule.Pool();
    const Clock::time_point t0 = Clock::now();
    ASSERT_EQ(s.schedule.Lost(0, Loss::Refused, 0, t0), After::GoOn);
    const struct {
        int ms;
        bool tryMore;  // TryMoreOfFirst says so
        int mirror;    // what TakeMirror gives then
    } steps[] = {
        {100, false, -1},   // held back after the refusal
        {300, false, 0},    // then one
        {400, false, -1},   // as many open as it had
        {499, false, -1},   // not yet tried one higher
        {500, true, 0},     // one more: it gets it
        {600, false, -1},   // the next try is a second away
        {1499, false, -1},  //
        {1500, true, 0},    //
        {2000, false, -1},  // then two seconds away
        {3500, true, 0},    //
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.ms);
        const Clock::time_point now = t0 + milliseconds(step.ms);
        EXPECT_EQ(s.schedule.TryMoreOfFirst(now), step.tryMore);
        const int mirror = s.schedule.TakeMirror(now, static_cast<std::size_t>(pool.At(0).live), {});
        EXPECT_EQ(mirror, step.mirror);
        if (mirror >= 0) {
            pool.Opened(mirror, now);
        }
    }
    EXPECT_EQ(s.hosts.InUse("m0:80"), 4);  // the four it gave, each with its host's slot
}

TEST(SegmentScheduler, ConnectionsAimedAt)
{
    const struct {
        const char* what;
        int connections;
        int others;
        int dropped;
        bool prefixOnly;
        int wanted;  // by the ramp
        std::size_t target;
    } cases[] = {
        {"one server: what the ramp wants", 4, 0, 0, false, 2, 2},
        {"one server: no more than the task's number", 4, 0, 0, false, 9, 4},
        {"one server: always one", 4, 0, 0, false, 0, 1},
        {"other mirrors: the task's number at once", 4, 2, 0, false, 1, 4},
        {"other mirrors all left: the ramp again", 4, 2, 2, false, 1, 1},
        {"a file that keeps no ranges: one at a time", 4, 2, 0, true, 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bench s(c.connections, c.others, c.dropped, c.prefixOnly);
        EXPECT_EQ(s.schedule.Target(c.wanted), c.target);
    }
}

TEST(SegmentScheduler, ASmallFileIsSharedOutAtOnceInEqualShares)
{
    constexpr std::int64_t MiB = 1 << 20;
    const struct {
        const char* what;
        int connections;
        std::int64_t total;
        std::int64_t piece;  // the pieces' length, 0 without piece digests
        bool speedLimited;
        bool shared;
        std::int64_t firstEnd;  // where the first connection's range ends then
    } cases[] = {
        {"each share no larger than the first request's", 4, 8 * MiB, 0, false, true, 2 * MiB},
        {"a share larger goes through the ramp", 4, 8 * MiB + 1, 0, false, false, 2 * MiB},
        {"one connection alone", 1, 2 * MiB + 1, 0, false, false, 2 * MiB},
        {"not under a speed limit", 4, 8 * MiB, 0, true, false, 2 * MiB},
        {"a share is never below the smallest piece", 4, 3 * MiB, 0, false, true, 1 * MiB},
        {"shares end on a piece's end", 4, 3 * MiB, 768 * 1024, false, true, 3 * MiB / 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bench s(c.connections, 0);
        SegmentPlan& plan = s.schedule.Plan();
        plan = SegmentPlan(c.total, 0);
        plan.Cut(plan.FirstOpen(), SegmentScheduler::kFirstPiece);
        const int first = plan.Assign(0, SegmentScheduler::kMinPiece);
        EXPECT_EQ(s.schedule.ShareSmallFile(first, 0, c.piece, c.speedLimited), c.shared);
        EXPECT_EQ(plan.At(first).end, c.firstEnd);
        // Shared, every connection opens at once; else the ramp starts with one.
        EXPECT_EQ(s.schedule.Ramp().Wanted(), c.shared ? c.connections : 1);
        if (c.shared) {
            EXPECT_TRUE(plan.HasWork(SegmentScheduler::kMinPiece)) << "ranges for the other connections";
        }
    }
}

}  // namespace
}  // namespace dromo
