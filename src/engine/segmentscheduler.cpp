#include "engine/segmentscheduler.h"

#include <algorithm>
#include <limits>

#include "engine/hostconnections.h"

namespace dromo {

SegmentScheduler::SegmentScheduler(int connections, HostConnections& hosts)
    : m_hosts(hosts), m_connections(std::max(connections, 1))
{
}

void SegmentScheduler::Start(bool prefixOnly, std::int64_t speedLimit)
{
    // No place for the ranges: a crash would leave holes that nobody can
    // name. One connection after the other keeps the file a prefix of the
    // server's, which a resume reads by its size.
    m_allowed = prefixOnly ? 1 : static_cast<std::size_t>(m_connections);
    // One connection to start with; more only where they help.
    m_ramp = ConnectionRamp(static_cast<int>(m_allowed), speedLimit);
}

std::size_t SegmentScheduler::Target(int wanted) const
{
    return m_pool.UsableOthers() > 0 ? m_allowed : std::min(m_allowed, static_cast<std::size_t>(std::max(wanted, 1)));
}

// A file whose share for each connection is no larger than the first
// request's piece is in before the ramp could judge a window: every
// connection opens at once with an equal share, the first one's range cut
// to its own. (Over one connection first, 8 MiB from a server capping each
// at 1 MiB/s took 90 ms against 50 for all at once: the first burst's
// silence had to show first.)
bool SegmentScheduler::ShareSmallFile(int firstRange, std::int64_t offset, std::int64_t pieceLength, bool speedLimited)
{
    const auto connections = static_cast<std::int64_t>(m_allowed);
    const std::int64_t left = m_plan.Total() - offset;
    if (connections < 2 || speedLimited || left > connections * kFirstPiece) {
        return false;
    }
    const std::int64_t unit = std::max<std::int64_t>(pieceLength, 1);
    const std::int64_t share = (std::max(left / connections, kMinPiece) + unit - 1) / unit * unit;
    m_plan.Cut(firstRange, offset + share);  // nothing when its range is no longer
    m_plan.Spread(static_cast<int>(connections - 1), kMinPiece);
    m_ramp.StartWith(static_cast<int>(connections));
    return true;
}

// The first connection's server is held back after a refusal, and takes
// one connection at a time once another version was seen there, which
// stands in for the first connection. `avoid` comes last, when no other has
// a slot.
int SegmentScheduler::TakeMirror(Clock::time_point now, std::size_t live,
                                 const std::vector<std::pair<int, int>>& opening, int avoid)
{
    // A transfer always keeps one connection; those about to open count as live.
    const bool always = live == 0 && opening.empty();
    const auto pending = [&opening](int mirror) {
        return static_cast<int>(
            std::count_if(opening.begin(), opening.end(), [mirror](const auto& o) { return o.second == mirror; }));
    };
    const int firstLive = m_pool.At(0).live + pending(0);
    const std::vector<int> order = m_pool.Order(now);
    // The order counts the connections open already; of those chosen in
    // this round, each mirror gets one before any gets two.
    int fewest = std::numeric_limits<int>::max();
    for (const int mirror : order) {
        fewest = std::min(fewest, m_pool.At(mirror).live + pending(mirror));
    }
    for (const auto& [evenly, avoided] : {std::pair{true, false}, std::pair{false, false}, std::pair{false, true}}) {
        for (const int mirror : order) {
            if (mirror == 0 && (now < m_notBefore || (m_versionsDiffer && firstLive > 0) ||
                                static_cast<std::size_t>(firstLive) >= m_firstAllowed)) {
                continue;
            }
            if ((evenly && m_pool.At(mirror).live + pending(mirror) > fewest) || ((mirror == avoid) != avoided)) {
                continue;
            }
            if (m_hosts.Take(m_pool.At(mirror).hostPort, always)) {
                return mirror;
            }
        }
    }
    return -1;
}

// The first one's server refused a connection beyond those it had: after a
// while one more is asked for, less often each time (half a second, then
// up to sixteen seconds apart). Settling for what it took at first left a
// download behind a proxy that counts this machine's connections at one
// for good.
bool SegmentScheduler::TryMoreOfFirst(Clock::time_point now)
{
    const auto live = static_cast<std::size_t>(m_pool.At(0).live);
    if (m_firstAllowed == SIZE_MAX || now < m_tryMore || live < m_firstAllowed) {
        return false;
    }
    m_firstAllowed = live + 1;
    ++m_triedMore;
    m_tryMore = now + std::chrono::milliseconds(500 << std::min(m_triedMore, 5));
    return true;
}

// Another mirror that refused or named another file is left. The first
// one's server wants fewer connections when it refuses: the transfer stays
// below what it refused, and gives it a moment before the next one; many
// drops lower the number to what is left. Another version says nothing of
// what a server tolerates.
SegmentScheduler::AfterLoss SegmentScheduler::Lost(int mirror, Loss loss, std::size_t live, Clock::time_point now)
{
    if (mirror != 0 && (loss == Loss::Refused || loss == Loss::OtherVersion)) {
        return AfterLoss::LeaveMirror;
    }
    if (loss == Loss::OtherVersion) {
        return AfterLoss::GoOn;
    }
    const int tolerance = 4 * m_connections;
    if (loss == Loss::Refused) {
        m_firstAllowed = static_cast<std::size_t>(std::max(m_pool.At(0).live, 1));
        ++m_refusals;
        m_notBefore = now + std::chrono::milliseconds(250 * std::min(m_refusals, 4));
        m_tryMore = now + std::chrono::milliseconds(500 << std::min(m_triedMore, 5));
    } else if (++m_drops > tolerance) {
        m_allowed = std::max<std::size_t>(1, live);
    }
    if (live == 0 && ((m_refusals > 4 && m_pool.UsableOthers() == 0) || m_drops > tolerance)) {
        return AfterLoss::GiveUp;
    }
    return AfterLoss::GoOn;
}

TakeOver SegmentScheduler::ChooseEndGame(const std::vector<RunningRange>& running, Clock::time_point now)
{
    std::vector<double> speeds = m_pool.Speeds(now);
    for (int i = 0; i < m_pool.Count(); ++i) {
        if (m_pool.At(i).dropped) {
            speeds[static_cast<std::size_t>(i)] = -1;  // it sets no standard
        }
    }
    return ChooseTakeOver(running, speeds);
}

}  // namespace dromo
