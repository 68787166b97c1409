// The rule that decides how many connections a download gets, fed the
// samples of simulated links: this machine the bottleneck, servers that cap
// each connection (in bursts or evenly), a full shared path, a download that
// only takes its share from the others, the task's speed limit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/connectionramp.h"

namespace dromo {
namespace {

constexpr double kMiB = 1 << 20;

// A simulated link, sampled every 5 ms as the transfer's loop would.
struct Link {
    const char* what;
    double perConnection;  // the server's cap on each connection, bytes a second (0: none)
    double path;           // the most the path carries for everyone, bytes a second
    int otherConnections;  // the program's other downloads on the same path: they share it with this one
    bool bursts;           // each connection's second's worth comes at once, as nginx's limit sends it
    double machine;        // the most this machine takes in, bytes a second
    std::int64_t speedLimit;
    int most;
    int hostCap;     // connections the host lets the task open
    int expectEnd;   // connections at the end
    double reachBy;  // seconds by which it has them
    // Until then the host takes no connection beyond the first (a proxy
    // that counts this machine's connections, busy with others).
    double refusedUntil = 0;
};

struct Outcome {
    int connections = 1;
    double reachedAt = -1;
};

// What the network offers the task's `n` connections in the step at `t`.
double Offered(const Link& link, int n, double t, double step, std::vector<double>& nextBurst)
{
    if (link.perConnection > 0 && link.bursts) {
        double offered = 0;
        for (double& at : nextBurst) {
            if (t >= at) {
                offered += link.perConnection;  // a second's worth at once
                at += 1.0;
            }
        }
        return offered;
    }
    double rate = link.path * n / (n + link.otherConnections);
    if (link.perConnection > 0) {
        rate = std::min(rate, n * link.perConnection);
    }
    if (link.speedLimit > 0) {
        rate = std::min(rate, static_cast<double>(link.speedLimit));
    }
    return rate * step;
}

Outcome Simulate(const Link& link, double seconds)
{
    constexpr double kStep = 0.005;
    ConnectionRamp ramp(link.most, link.speedLimit);
    RampSample s;
    s.connections = 1;
    ramp.Note(s);  // the first answer's head: nothing received yet
    std::vector<double> nextBurst{0};
    Outcome out;
    for (double t = 0; t < seconds; t += kStep) {
        const double offered = Offered(link, s.connections, t, kStep, nextBurst);
        const double taken = std::min(offered, link.machine * kStep);
        const double others = link.otherConnections > 0 ? link.path * kStep - taken : 0;
        s.seconds = t + kStep;
        s.bytes += static_cast<std::int64_t>(taken);
        s.linkBytes += static_cast<std::int64_t>(taken + others);
        // The loop waits for the network unless this machine is what limits it.
        s.waited += offered >= link.machine * kStep * 0.95 ? kStep * 0.05 : kStep * 0.9;
        const int open = std::min(ramp.Note(s), t < link.refusedUntil ? 1 : link.hostCap);
        for (int i = s.connections; i < open; ++i) {
            nextBurst.push_back(s.seconds);
        }
        if (open != s.connections) {
            out.connections = open;
            out.reachedAt = s.seconds;
        }
        s.connections = open;
    }
    return out;
}

TEST(ConnectionRamp, AddsConnectionsOnlyWhileTheyRaiseTheThroughput)
{
    constexpr double kFast = 1000 * kMiB;
    const Link links[] = {
        // This machine takes in less than the link offers: waiting for
        // nothing, it never adds a connection.
        {"an uncapped local link", 0, kFast, 0, false, 400 * kMiB, 0, 4, 16, 1, -1},
        {"an uncapped local link shared with eleven downloads", 0, kFast, 11, false, 400 * kMiB / 12, 0, 4, 16, 1, -1},
        // nginx's limit_rate: a burst a second. The silence after the first
        // one shows the sender idles the connection: every connection comes
        // at once, well inside the first burst's second (they end a second
        // later when they miss it).
        {"a server that caps each connection, in bursts", 2 * kMiB, kFast, 0, true, kFast, 0, 8, 16, 8, 0.12},
        {"a server that bursts, and the host's share", 2 * kMiB, kFast, 0, true, kFast, 0, 8, 3, 3, 0.12},
        // An even cap shows nothing of the path: a probe, then doubling.
        {"a server that caps each connection evenly", 2 * kMiB, kFast, 0, false, kFast, 0, 8, 16, 8, 2.5},
        {"the host's share stops it", 2 * kMiB, kFast, 0, false, kFast, 0, 8, 3, 3, 2.0},
        // A full path: the probe's connection brings nothing; it stays at two.
        {"a full path", 0, 10 * kMiB, 0, false, kFast, 0, 8, 16, 2, 0.3},
        // The task grows, but only by what the program's other downloads lose.
        {"a share taken from the other downloads", 0, 30 * kMiB, 2, false, kFast, 0, 8, 16, 2, 0.3},
        // The task's own limit is what holds it.
        {"the task's speed limit", 2 * kMiB, kFast, 0, false, kFast, static_cast<std::int64_t>(2 * kMiB), 8, 16, 1, -1},
        {"one connection allowed", 2 * kMiB, kFast, 0, true, kFast, 0, 1, 16, 1, -1},
        // The extra connections asked for are refused at first: once the
        // host takes them, they are judged and the ramp goes on.
        {"extra connections refused at first", 2 * kMiB, kFast, 0, false, kFast, 0, 8, 16, 8, -1, 3.0},
        {"extra connections refused at first, in bursts", 2 * kMiB, kFast, 0, true, kFast, 0, 8, 16, 8, -1, 1.5},
    };
    for (const Link& link : links) {
        SCOPED_TRACE(link.what);
        const Outcome out = Simulate(link, 10);
        EXPECT_EQ(out.connections, link.expectEnd);
        if (link.reachBy > 0) {
            EXPECT_LE(out.reachedAt, link.reachBy);
        }
    }
}

// Scripted samples, every 5 ms: phases of data and silence, with the share
// of each step the loop spent waiting for the network.
struct Phase {
    double until;       // seconds
    double bytesAStep;  // what each step brings
    int connections;    // open during the phase (0: between two ranges)
    double waiting;     // the share of each step spent waiting
};

struct Script {
    const char* what;
    std::vector<Phase> phases;
    double lookAt;  // seconds at which the outcome is read
    int expect;     // connections wanted by then
    bool bursts;    // and whether they were asked for on bursts
};

TEST(ConnectionRamp, OnlyTheFirstBurstsSilenceOpensEveryConnectionAtOnce)
{
    constexpr double kStep = 0.005;
    const Script scripts[] = {
        // The first request's small range, a moment with no connection, the
        // next request's burst, then silence: the window spans all of it.
        {"a burst across the first range's hand-over",
         {{0.005, 2 * kMiB, 1, 0.1}, {0.010, 0, 0, 0.1}, {0.015, 2 * kMiB, 1, 0.1}, {1, 0, 1, 0.95}},
         0.11,
         8,
         true},
        // Silence while this machine is busy is no sign of a capped sender.
        {"a busy machine's pause", {{0.010, 4 * kMiB, 1, 0.1}, {0.2, 0, 1, 0.1}}, 0.2, 1, false},
        // Nothing has come yet: a slow first byte says nothing of a cap.
        {"a late first byte", {{0.2, 0, 1, 0.95}}, 0.2, 1, false},
        // A machine-bound download that pauses just after its first window:
        // a pause then is no burst's end (a full window judges it).
        {"a pause after the first window", {{0.26, 2 * kMiB, 1, 0.05}, {0.45, 0, 1, 0.95}}, 0.45, 1, false},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.what);
        ConnectionRamp ramp(8, 0);
        RampSample s;
        s.connections = 1;
        ramp.Note(s);
        std::size_t phase = 0;
        for (double t = kStep; t <= script.lookAt + 1e-9; t += kStep) {
            while (phase + 1 < script.phases.size() && t > script.phases[phase].until + 1e-9) {
                ++phase;
            }
            const Phase& p = script.phases[phase];
            s.seconds = t;
            s.bytes += static_cast<std::int64_t>(p.bytesAStep);
            s.linkBytes = s.bytes;
            s.waited += kStep * p.waiting;
            // The transfer opens what is wanted, except between two ranges.
            s.connections = p.connections == 0 ? 0 : std::max(p.connections, ramp.Wanted());
            ramp.Note(s);
        }
        EXPECT_EQ(ramp.Wanted(), script.expect);
        EXPECT_EQ(ramp.SawBursts(), script.bursts);
        // Each of these bursts ended in silence: the first connection waits.
        EXPECT_EQ(ramp.HeldBack(), script.bursts);
    }
}

// The samples as a stalled transfer gives them: nothing arrives, so there
// is no rate to judge; a probe may go out, but nothing is doubled on it.
TEST(ConnectionRamp, NothingArrivingIsNoEvidenceOfGrowth)
{
    ConnectionRamp ramp(8, 0);
    RampSample s;
    s.connections = 1;
    int most = 1;
    for (int step = 0; step < 2000; ++step) {
        s.seconds = step * 0.005;
        s.waited = s.seconds;
        const int wanted = ramp.Note(s);
        most = std::max(most, wanted);
        s.connections = wanted;
    }
    EXPECT_LE(most, 2);
    EXPECT_TRUE(ramp.Settled());
}

// A file too small to measure starts with its connections, never more than
// the task's number, and whatever its samples show asks for no other number.
TEST(ConnectionRamp, ASmallFileStartsWithItsConnectionsAndKeepsThem)
{
    const struct {
        int most;
        int start;
        int expect;
    } cases[] = {{8, 8, 8}, {8, 20, 8}, {4, 2, 2}, {4, 0, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " of " + std::to_string(c.most));
        ConnectionRamp ramp(c.most, 0);
        ramp.StartWith(c.start);
        RampSample s;
        for (int step = 0; step < 200; ++step) {
            s.seconds = step * 0.005;
            s.bytes += step < 2 ? 4 << 20 : 0;  // a burst, then the silence that opens every connection
            s.waited = s.seconds;
            s.connections = ramp.Wanted();
            EXPECT_EQ(ramp.Note(s), c.expect);
        }
        EXPECT_TRUE(ramp.Settled());
    }
}

}  // namespace
}  // namespace dromo
