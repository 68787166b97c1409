// SegmentedTransfer's mirrors: which one the next connection goes to and
// when one is left, apart from moving the bytes.
#include <curl/curl.h>

#include <algorithm>
#include <limits>

#include "base/ports/progresssink.h"
#include "base/text/mirrorlist.h"
#include "base/text/progresstexts.h"
#include "base/text/trace.h"
#include "engine/hostconnections.h"
#include "engine/segmentedconnection.h"
#include "engine/segmentedtransfer.h"
#include "engine/urlorigin.h"

namespace dromo {

// The first connection's requests may have been sent on (a redirector that
// picks a mirror per request): the others go straight where it went, so
// they fetch the file it fetches.
void SegmentedTransfer::FollowFirst()
{
    char* effective = nullptr;
    curl_easy_getinfo(m_first, CURLINFO_EFFECTIVE_URL, &effective);
    MirrorPool::Mirror first;
    first.url = effective != nullptr ? effective : m_url;
    const auto there = UrlOrigin::Of(first.url);
    const auto here = UrlOrigin::Of(m_url);
    first.login = there && here && *there == *here;
    first.hostPort = first.login || !there ? m_hostPort : there->HostPort();
    first.priority = kMirrorPriorityBest;
    if (first.url != m_url) {
        trace::Line("task " + std::to_string(m_settings.taskId), "more connections go to " + trace::Url(first.url));
    }
    m_pool.Add(std::move(first));
    AddMirrors(here.value_or(UrlOrigin{}));
}

void SegmentedTransfer::AddMirrors(const UrlOrigin& task)
{
    for (const MirrorSource& source : m_sources) {
        const auto origin = UrlOrigin::Of(source.url);
        if (!origin) {
            continue;
        }
        MirrorPool::Mirror mirror;
        mirror.url = source.url;
        mirror.login = *origin == task;
        mirror.hostPort = mirror.login ? m_hostPort : origin->HostPort();
        mirror.priority = source.priority;
        m_pool.Add(std::move(mirror));
    }
}

// A mirror that failed gets no more connections in this call; those it has
// run on, and its ranges, once lost, go to the others.
void SegmentedTransfer::DropMirror(int mirror, const std::string& why, bool badData)
{
    if ((mirror == 0 && !badData) || !m_pool.Drop(mirror, why)) {
        return;
    }
    m_pool.At(mirror).badData = badData;
    m_sink.OnProgress(StatusTimeStamp() + "Leaving the mirror " + m_pool.At(mirror).url + ": " + why, 0, 0,
                      kProgressStatus, m_settings.taskId);
}

// The mirror of the next connection, with a slot of its host taken; -1
// when none has one to give. The first connection's server is held back
// after a refusal, and takes one connection at a time once another version
// was seen there, which stands in for the first connection.
int SegmentedTransfer::TakeMirror(Clock::time_point now, const std::vector<std::pair<int, int>>& opening)
{
    // A transfer always keeps one connection; those about to open count as live.
    const bool always = Live() == 0 && opening.empty();
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
    for (const bool evenly : {true, false}) {
        for (const int mirror : order) {
            if (mirror == 0 && (now < m_notBefore || (m_versionsDiffer && firstLive > 0) ||
                                static_cast<std::size_t>(firstLive) >= m_firstAllowed)) {
                continue;
            }
            if (evenly && m_pool.At(mirror).live + pending(mirror) > fewest) {
                continue;
            }
            if (m_hosts.Take(m_pool.At(mirror).hostPort, always)) {
                return mirror;
            }
        }
    }
    return -1;
}

// The best speed per connection of the mirrors but `except`, in bytes a
// second: the live connections' and what each mirror's closed ones brought.
double SegmentedTransfer::BestRate(int except, Clock::time_point now) const
{
    double best = 0;
    for (int i = 0; i < m_pool.Count(); ++i) {
        const MirrorPool::Mirror& m = m_pool.At(i);
        if (i != except && !m.dropped && m.busy >= kLagAge.count()) {
            best = std::max(best, static_cast<double>(m.bytes) / m.busy);
        }
    }
    for (const auto& c : m_connections) {
        const double age = std::chrono::duration<double>(now - c->opened).count();
        if (c->live && c->mirror != except && age >= kLagAge.count()) {
            best = std::max(best, static_cast<double>(c->taken) / age);
        }
    }
    return best;
}

// A connection is free and every range is too small to halve: one that
// brings its range far slower than another mirror would is cut short at
// what it has on its way, and the rest goes to the free connection. A
// mirror far below the others is left as well (a server that trickles a
// byte at a time held a whole download until it gave up), its range going
// to the others at once.
void SegmentedTransfer::TakeOverLaggard(Clock::time_point now)
{
    for (auto& c : m_connections) {
        const double age = std::chrono::duration<double>(now - c->opened).count();
        if (!c->live || !c->accepted || age < kLagAge.count()) {
            continue;
        }
        const SegmentPlan::Range& r = m_plan.At(c->range);
        const std::int64_t kept = OnItsWay(c->range);
        const double rate = static_cast<double>(c->taken) / age;
        const double best = BestRate(c->mirror, now);
        if (r.Left() - kept < kMinTakeOver || rate * kLagFactor >= best) {
            continue;
        }
        const std::string speeds = std::to_string(static_cast<std::int64_t>(rate)) + " bytes a second against " +
                                   std::to_string(static_cast<std::int64_t>(best));
        if (c->mirror != 0 && rate * kLeaveFactor < best) {
            trace::Line("task " + std::to_string(m_settings.taskId), "range " + std::to_string(r.next) + "-" +
                                                                         std::to_string(r.end - 1) + " taken from " +
                                                                         c->hostPort + ", " + speeds);
            m_plan.Release(c->range);
            Close(*c);
            DropMirror(c->mirror, "it sends " + speeds + " of another mirror");
            return;
        }
        const int rest = m_plan.Cut(c->range, r.next + std::max<std::int64_t>(kept, 1));
        if (rest >= 0) {
            trace::Line("task " + std::to_string(m_settings.taskId), "range " + std::to_string(m_plan.At(rest).next) +
                                                                         "-" + std::to_string(m_plan.At(rest).end - 1) +
                                                                         " taken from " + c->hostPort + ", " + speeds);
            return;
        }
    }
}

}  // namespace dromo
