#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/connectionramp.h"
#include "engine/endgame.h"
#include "engine/mirrorpool.h"
#include "engine/segmentplan.h"

namespace dromo {

class HostConnections;

// What a segmented transfer decides apart from moving bytes: the plan of
// its ranges, how many connections it keeps (ConnectionRamp, the task's
// number, what the first one's server tolerates), which mirror the next
// one goes to (MirrorPool), what a lost connection says of its server, and
// which range a free connection takes over at the end (ChooseTakeOver).
// It opens nothing itself: SegmentedTransfer asks it and acts, so each
// decision can be put to it with the clock and the counts it looks at.
class SegmentScheduler {
public:
    using Clock = std::chrono::steady_clock;
    // The smallest range a connection is given: files below twice this
    // size move over one connection.
    static constexpr std::int64_t kMinPiece = 1 << 20;
    // What the first request asks for: a bounded range, so that no byte of
    // another connection's range crosses the network twice (an open one
    // ran on while the others fetched the rest: a 2 MiB file moved 3 MiB).
    // A file no larger comes whole in the first answer.
    static constexpr std::int64_t kFirstPiece = 2 * kMinPiece;
    // Why a connection went away.
    enum class Loss { Refused, Dropped, Idle, OtherVersion };
    // What the transfer does about a lost connection.
    enum class AfterLoss {
        GoOn,         // its range goes to another connection
        LeaveMirror,  // another mirror that refused or named another file: it is left
        GiveUp,       // nobody is left to carry on: the call fails as one connection's would
    };

    // `connections`: the task's number of connections.
    SegmentScheduler(int connections, HostConnections& hosts);

    SegmentPlan& Plan() { return m_plan; }
    const SegmentPlan& Plan() const { return m_plan; }
    MirrorPool& Pool() { return m_pool; }
    const MirrorPool& Pool() const { return m_pool; }
    ConnectionRamp& Ramp() { return m_ramp; }
    const ConnectionRamp& Ramp() const { return m_ramp; }

    // The ranges are planned: the task's number of connections may open,
    // or one at a time when `prefixOnly` (the partial file could not keep
    // its ranges). The ramp starts over, under the speed limit in bytes a second.
    void Start(bool prefixOnly, std::int64_t speedLimit);
    std::size_t Allowed() const { return m_allowed; }

    // How many connections the transfer aims at now, when the ramp wants
    // `wanted`: other mirrors each get theirs whatever the ramp says of one
    // server, one server's extra connections only where they help.
    std::size_t Target(int wanted) const;

    // A file no larger than the first request's piece for each connection
    // is shared out at once, the first range cut to its share; false when
    // it goes through the ramp. `speedLimited`: a speed limit is set.
    bool ShareSmallFile(int firstRange, std::int64_t offset, std::int64_t pieceLength, bool speedLimited);

    // The mirror of the next connection, with a slot of its host taken; -1
    // when none may have one. `live`: the connections open; `opening`: the
    // (range, mirror) pairs chosen in this round but not open yet; `avoid`
    // only when no other may.
    int TakeMirror(Clock::time_point now, std::size_t live, const std::vector<std::pair<int, int>>& opening,
                   int avoid = -1);

    // After a refusal, one more connection to the first one's server is
    // tried now and then; true when now is such a time (the count open to it
    // is raised by one).
    bool TryMoreOfFirst(Clock::time_point now);

    // A range answer fit: the refusals before it are forgotten.
    void Accepted() { m_refusals = 0; }
    // Another version of the file was seen on an extra connection to the
    // first one's server: one connection at a time there from now on.
    void VersionsDiffer() { m_versionsDiffer = true; }
    // Whether a connection to `mirror` stands in for the first one: its
    // answer alone tells whether the file changed.
    bool StandsIn(int mirror) const { return mirror == 0 && m_versionsDiffer; }

    // A connection to `mirror` went away; `live` connections are left.
    AfterLoss Lost(int mirror, Loss loss, std::size_t live, Clock::time_point now);

    // The end-game's choice among the running ranges, against the speeds of
    // the mirrors not left.
    TakeOver ChooseEndGame(const std::vector<RunningRange>& running, Clock::time_point now);

    // Seconds the engine's loop waited for the network.
    void NoteWait(Clock::duration waited) { m_waited += std::chrono::duration<double>(waited).count(); }
    double Waited() const { return m_waited; }

private:
    HostConnections& m_hosts;
    const int m_connections;  // the task's number
    SegmentPlan m_plan;
    MirrorPool m_pool;
    ConnectionRamp m_ramp{1, 0};  // connections that raise the throughput
    double m_waited = 0;
    // An extra connection was answered with another version than the first
    // one: one connection at a time from then on, each standing in for the
    // first, so the next answer after it tells whether the file changed.
    bool m_versionsDiffer = false;
    std::size_t m_allowed = 1;              // connections the task opens
    std::size_t m_firstAllowed = SIZE_MAX;  // connections the first one's server tolerates
    int m_drops = 0;
    int m_refusals = 0;               // refusals since a range was last accepted
    Clock::time_point m_notBefore{};  // no new connection to the first one's server before, after a refusal
    // When the number the first one's server tolerated is tried one higher:
    // a proxy that refuses extra connections while others of this machine
    // are open may take them a moment later.
    Clock::time_point m_tryMore{};
    int m_triedMore = 0;  // times it was tried one higher
};

}  // namespace dromo
