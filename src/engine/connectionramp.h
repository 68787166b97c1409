#pragma once

#include <cstdint>

namespace dromo {

// What a segmented transfer has seen so far, sampled on every round of its
// loop. Every count runs from the transfer's start.
struct RampSample {
    double seconds = 0;          // since the transfer's first answer
    std::int64_t bytes = 0;      // the task's bytes received
    std::int64_t linkBytes = 0;  // the bytes every transfer of the program received
    double waited = 0;           // seconds the transfer's loop waited for the network
    int connections = 0;         // connections open now
};

// How many connections one download should have. It starts with one and
// adds more only while they raise its throughput: a connection is worth
// adding when the transfer mostly waits for the network (the server or the
// path limits each connection, not this machine) and the connections'
// rate is capped (their data comes in bursts far faster than their
// average: a server's per-connection limit, a long round trip); or, short
// of that evidence, as a probe. After each addition the next window shows
// whether the total grew, for the task and for the whole program (a
// connection that only takes its share from the others raises nothing);
// when it did not, the transfer keeps what it has and adds no more.
// A pure rule over samples, so it is tested without a network.
class ConnectionRamp {
public:
    // A window shorter than this says nothing about a rate.
    static constexpr double kFirstWindow = 0.25;
    // After an addition: long enough for the new connections' requests
    // and the bursts of servers that pace each connection per second.
    static constexpr double kJudgeWindow = 0.6;
    // The share of a window spent waiting for the network above which
    // this machine is not what limits the transfer.
    static constexpr double kWaiting = 0.5;
    // Data that arrives this many times faster than its average comes from
    // a sender that holds back between bursts.
    static constexpr double kCapped = 4;
    // Silence this long after the first data, while the loop waits for
    // the network, ends the first window early: a server that caps each
    // connection sends its allowance at once and then holds back, and
    // connections opened while the first still has its burst to come end
    // together with it; opened a second later, they end a second later.
    static constexpr double kStall = 0.04;

    // `most` connections at the most; `speedLimit` the task's limit in
    // bytes a second (0 for none), at which more connections bring nothing.
    ConnectionRamp(int most, std::int64_t speedLimit);

    // A file too small for a window to judge before it is in: this many
    // connections from the start, and no more asked for.
    void StartWith(int connections);
    // Takes a sample; the connections the transfer should have now.
    int Note(const RampSample& sample);
    int Wanted() const { return m_wanted; }
    // No more connections will be asked for.
    bool Settled() const { return m_stage == Stage::Settled; }
    // The first window is open: its data may stop any moment, and that
    // decides at once, so the transfer should sample often.
    bool Watching() const { return m_firstWindow && m_stage == Stage::Measuring; }
    // The last connections were asked for because the data came in bursts
    // far faster than its average: each new connection will get such a
    // burst at once, which those already open have had.
    bool SawBursts() const { return m_bursts; }
    // Those connections were asked for because the first connection's
    // burst ended and it waits for its next allowance: a new request gets
    // its own at once, so that connection is worth less than a new one.
    bool HeldBack() const { return m_heldBack; }

private:
    enum class Stage { Measuring, Judging, Settled };
    struct Window {
        RampSample start;
        bool open = false;
    };
    struct Rates {
        double task = 0;  // bytes a second of the task
        double link = 0;  // of the whole program
        int connections = 0;
    };

    void NotePeak(const RampSample& sample);
    bool BurstEnded(const RampSample& sample) const;
    void Decide(const RampSample& sample);
    bool Grew(const Rates& now) const;

    int m_most;
    double m_speedLimit;
    int m_wanted = 1;
    Stage m_stage = Stage::Measuring;
    Window m_window;
    RampSample m_previous;
    bool m_havePrevious = false;
    RampSample m_lastArrival;  // the last sample that brought data
    double m_peak = 0;         // the fastest the data has come in, bytes a second
    bool m_firstWindow = true;
    bool m_bursts = false;
    bool m_heldBack = false;
    Rates m_before;        // the window before the last addition
    bool m_grown = false;  // an addition has raised the total before
};

}  // namespace dromo
