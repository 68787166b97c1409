// SegmentedTransfer's connections and mirrors as it acts on what
// SegmentScheduler decides: where more connections go, which version of the
// file each answer names, a range taken over at the end, a mirror left.
#include <curl/curl.h>

#include <algorithm>
#include <limits>

#include "base/ports/progresssink.h"
#include "base/text/mirrorlist.h"
#include "base/text/progresstexts.h"
#include "base/text/textutil.h"
#include "base/text/trace.h"
#include "engine/endgame.h"
#include "engine/hostconnections.h"
#include "engine/segmentedconnection.h"
#include "engine/segmentedtransfer.h"
#include "engine/urlorigin.h"
#include "engine/validator.h"

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
    m_schedule.Pool().Add(std::move(first));
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
        m_schedule.Pool().Add(std::move(mirror));
    }
}

// A mirror that failed gets no more connections in this call; those it has
// run on, and its ranges, once lost, go to the others. The first
// connection's server is left only for bad bytes or its speed: the others
// may each name the file their own way.
void SegmentedTransfer::DropMirror(int mirror, const std::string& why, Leaving kind)
{
    if ((mirror == 0 && kind == Leaving::Failed) || !m_schedule.Pool().Drop(mirror, why, kind == Leaving::Slow)) {
        return;
    }
    m_schedule.Pool().At(mirror).badData = kind == Leaving::BadData;
    m_sink.OnProgress(Progress::Status(
        m_settings.taskId,
        StatusTimeStamp() + "Leaving the mirror " + UrlWithoutLogin(m_schedule.Pool().At(mirror).url) + ": " + why,
        kind == Leaving::Failed ? StatusTone::Failure : StatusTone::Plain));
}

// A connection is free and no range is large enough to halve: the range
// that holds the download up goes to it, cut where its connection's bytes
// on their way end, or whole when its mirror is left. The connection that
// keeps a cut range stops at the cut; no byte is ever written by two. The
// mirror of a cut range's connection, which its rest should not go back to
// (it would fall behind there again); else -1.
int SegmentedTransfer::EndGame(Clock::time_point now)
{
    std::vector<RunningRange> running;
    std::vector<Connection*> owners;
    for (auto& c : m_connections) {
        if (!c->Live()) {
            continue;
        }
        const SegmentPlan::Range& r = m_schedule.Plan().At(c->range);
        // Held back by the speed limit, it says nothing of its server.
        const std::int64_t recent = c->Now() == Connection::State::HeldBack ? -1 : c->pace.Recent(now);
        const double pace = recent < 0 ? -1.0 : static_cast<double>(recent) / kPaceWindow.count();
        running.push_back(RunningRange{c->mirror, r.next, r.end, OnItsWay(c->range), pace});
        owners.push_back(c.get());
    }
    const TakeOver take = m_schedule.ChooseEndGame(running, now);
    if (take.which < 0) {
        return -1;
    }
    Connection& c = *owners[static_cast<std::size_t>(take.which)];
    const RunningRange& slow = running[static_cast<std::size_t>(take.which)];
    const std::string why = "it brings " + std::to_string(static_cast<std::int64_t>(slow.pace)) + " B/s, another " +
                            (take.leave ? "mirror " : "connection ") +
                            std::to_string(static_cast<std::int64_t>(take.against)) + " B/s";
    int taken = c.range;
    if (take.cutAt > slow.next) {
        taken = m_schedule.Plan().Cut(c.range, take.cutAt);
        if (taken < 0) {
            return -1;
        }
    } else {
        m_schedule.Plan().Release(c.range);
        Close(c);  // what it holds is written first
    }
    const SegmentPlan::Range& r = m_schedule.Plan().At(taken);
    trace::Line(
        "task " + std::to_string(m_settings.taskId),
        "range " + std::to_string(r.next) + "-" + std::to_string(r.end - 1) + " taken from " + c.hostPort + ": " + why);
    if (take.leave) {
        DropMirror(c.mirror, why, Leaving::Slow);
        return -1;
    }
    return c.mirror;
}

// Which TCP connection an answer came over: its local port, 0 when unknown.
long SegmentedTransfer::LocalPort(CURL* easy)
{
    long port = 0;
    curl_easy_getinfo(easy, CURLINFO_LOCAL_PORT, &port);
    return port;
}

// Whether an answer of the first one's server names the file as its
// connection did before. A connection seen for the first time may name it
// as the first answer did, or its own way with the same modification time:
// servers behind one name (a balancer) often give each connection an ETag
// of its own. Taking only the first answer's ETag left such a file to one
// connection at a time. A connection whose own validator changes shows a
// changed file.
bool SegmentedTransfer::ValidatorFits(Connection& c)
{
    const HttpResponse& r = c.response;
    const std::string now = SizeValidator(r, m_schedule.Plan().Total());
    const long port = LocalPort(c.easy);
    if (const auto seen = m_validators.find(port); port > 0 && seen != m_validators.end()) {
        c.validatorChanged = ServerFileChanged(seen->second, now);
        return !c.validatorChanged;
    }
    const bool asFirst = !ServerFileChanged(m_firstValidator, now);
    const bool ownName = !r.lastModified.empty() && r.lastModified == m_lastModified;
    if (!asFirst && !ownName) {
        return false;
    }
    c.unproven = !asFirst;
    if (port > 0) {
        m_validators[port] = now;
    }
    return true;
}

// A validator other than the first answer's is taken on the word of the
// same modification time; the bytes say whether it was true. Both sides are
// asked again, so that neither the new connection nor the first one holds
// a version the server no longer gives.
void SegmentedTransfer::ProveVersions(Connection& c, std::int64_t at, std::int64_t size)
{
    constexpr std::int64_t kProof = 64 * 1024;
    const bool first = &c == m_connections.front().get();
    if (first && m_firstTo == 0) {
        m_firstFrom = at;
        m_firstTo = at + std::min(size, kProof);
        if (m_proveFirst) {
            m_verifier.ProveVersion(m_firstFrom, m_firstTo);
        }
    }
    if (!c.unproven) {
        return;
    }
    c.unproven = false;
    m_verifier.ProveVersion(at, at + std::min(size, kProof));
    if (!m_proveFirst) {
        m_proveFirst = true;
        if (m_firstTo > 0) {
            m_verifier.ProveVersion(m_firstFrom, m_firstTo);
        }
    }
}

void SegmentedTransfer::Changed(const std::string& why)
{
    trace::Line("task " + std::to_string(m_settings.taskId), why);
    if (m_restartReason.empty()) {
        // Never a file made of two versions: everything goes again, and
        // the record calls nothing present, whatever is still written out.
        m_restartReason = "The file changed on the server; downloading it again from the start";
        m_schedule.Plan().Forget();
        m_recorder.RecordNow(m_schedule.Plan().Serialize());
    }
}

// Before connections join a server that sends each a burst at once: the
// range with the most left is split so that its connection, whose burst is
// spent, does not end a burst's time after the others. Halving it instead
// left the first connection a second behind the rest.
void SegmentedTransfer::ShareForBursts(int joining)
{
    Connection* owner = nullptr;
    for (const auto& c : m_connections) {
        if (c->Live() &&
            (owner == nullptr || m_schedule.Plan().At(c->range).Left() > m_schedule.Plan().At(owner->range).Left())) {
            owner = c.get();
        }
    }
    if (owner == nullptr) {
        return;
    }
    if (m_schedule.Ramp().HeldBack() && Live() == 1) {
        // The first connection's burst is spent and its next allowance a
        // second away, while a new request gets one at once: its bytes not
        // yet sent go to a new connection, and every connection takes an
        // equal share of the rest. Kept, it ended the download a second
        // after the others on a file a few bursts long (and its bounded
        // first range left the rest to be halved unevenly).
        Close(*owner);  // what it holds is written first
        m_schedule.Plan().Release(owner->range);
        trace::Line("task " + std::to_string(m_settings.taskId),
                    "the first connection waits for its next burst: " + std::to_string(joining + 1) +
                        " connections share the rest");
        m_schedule.Plan().Spread(joining + 1, kMinPiece);
        return;
    }
    m_schedule.Plan().Share(owner->range, joining, owner->taken, OnItsWay(owner->range), kMinPiece);
}

}  // namespace dromo
