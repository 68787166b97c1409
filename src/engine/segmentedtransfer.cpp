#include "engine/segmentedtransfer.h"

#include <algorithm>
#include <limits>

#include "base/ports/progresssink.h"
#include "base/text/trace.h"
#include "base/values/protocoltexts.h"
#include "base/values/transferoutcome.h"
#include "engine/cookielines.h"
#include "engine/curlhandles.h"
#include "engine/digestcheck.h"
#include "engine/hostconnections.h"
#include "engine/partialfile.h"
#include "engine/segmentedconnection.h"
#include "engine/taskcookies.h"
#include "engine/urlorigin.h"
#include "engine/validator.h"

namespace dromo {
namespace {

// How far back the speed of a segmented transfer looks.
constexpr std::chrono::seconds kSpeedWindow{2};

// The most a connection gathers before writing.
constexpr std::int64_t kMaxBuffer = 1 << 20;

// Bytes a connection may take ahead of the shared speed limit.
constexpr std::int64_t kLimitBurst = 16 * 1024;

// A connection that brought nothing for this long writes what it holds:
// a server that sends in bursts would leave it waiting in memory.
constexpr std::chrono::milliseconds kQuietWrite{500};

// Two validators differ only when both are known.
bool Differs(const std::string& a, const std::string& b)
{
    return !a.empty() && !b.empty() && a != b;
}

}  // namespace

std::size_t SegmentedTransfer::SegmentHeader(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* c = static_cast<Connection*>(user);
    const std::size_t length = size * count;
    c->lastData = Clock::now();
    c->watch.Note(static_cast<std::int64_t>(length), c->lastData);
    std::string line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    if (!line.empty()) {
        c->response.AddLine(line);
        return c->response.headBytes > 256 * 1024 ? 0 : length;
    }
    // Interim answers, followed redirects and login challenges are not the
    // range's; the same heads the first connection skips.
    const int code = c->response.code;
    if ((code >= 100 && code < 200) || (code >= 300 && code < 400 && c->response.hasLocation) || code == 401 ||
        code == 407) {
        return length;
    }
    return c->owner->HeadFits(*c) ? length : 0;
}

std::size_t SegmentedTransfer::SegmentWrite(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* c = static_cast<Connection*>(user);
    if (!c->Accepted()) {
        return 0;
    }
    return c->owner->Store(*c, data, size * count);
}

SegmentedTransfer::SegmentedTransfer(SegmentContext context, PartialFile& file, std::string hostPort,
                                     std::optional<SegmentPlan> resumed)
    : m_settings(std::move(context.settings)), m_sink(context.sink), m_multi(context.multi), m_hosts(context.hosts),
      m_url(std::move(context.url)), m_sources(std::move(context.mirrors)), m_digest(context.digest),
      m_cookies(context.cookies), m_file(file), m_hostPort(std::move(hostPort)), m_resumed(std::move(resumed)),
      m_schedule(m_settings.connections, m_hosts), m_recorder(file),
      m_verifier(SegmentVerifier::Context{*this, m_schedule, file, m_recorder, context.digest,
                                          std::move(context.pieces), m_sink, m_settings.taskId, m_multi, m_hosts})
{
}

SegmentedTransfer::~SegmentedTransfer()
{
    if (m_active) {
        curl_multi_setopt(m_multi, CURLMOPT_PIPELINING, static_cast<long>(CURLPIPE_MULTIPLEX));
    }
    for (auto& c : m_connections) {
        Close(*c);
    }
    m_verifier.CloseProbes();
    if (m_active && !m_schedule.Plan().Complete() && m_restartReason.empty()) {
        Record();  // an abort or failure keeps every byte that reached the file
    }
    m_recorder.Stop();  // before the file is finished or emptied
}

std::int64_t SegmentedTransfer::ResumeOffset() const
{
    if (!m_resumed) {
        return -1;
    }
    const int first = m_resumed->FirstOpen();
    return first < 0 ? m_resumed->Total() : m_resumed->At(first).next;
}

TransferOutcome SegmentedTransfer::FailureOutcome() const
{
    return m_failureOutcome;
}

std::int64_t SegmentedTransfer::FirstRequestLast(std::int64_t offset) const
{
    if (m_resumed) {
        const int first = m_resumed->FirstOpen();
        return first < 0 ? -1 : m_resumed->At(first).end - 1;
    }
    // Up to the end of a piece, when the file is checked piece by piece.
    const std::int64_t piece = std::max<std::int64_t>(m_verifier.PieceLength(), 1);
    return (offset + kFirstPiece + piece - 1) / piece * piece - 1;
}

void SegmentedTransfer::OnFirstHead(const HttpResponse& response, std::int64_t total, std::int64_t offset, CURL* first)
{
    m_first = first;
    FollowFirst();
    if (response.code != 206) {
        // A whole body to a range request (the partial file was emptied for
        // it): the server does not serve ranges of this file.
        m_resumed.reset();
        return;
    }
    const std::int64_t firstEnd = response.rangeLast + 1;
    bool prefixOnly = false;  // the ranges could not be kept with the file
    if (m_resumed) {
        // The resumed plan goes on only when the server's file is the one
        // it was made for; the first open range is the first connection's.
        const int open = m_resumed->FirstOpen();
        if (m_resumed->Total() != total || open < 0 || m_resumed->At(open).next != offset ||
            m_resumed->At(open).end != firstEnd) {
            m_restartReason = "The file changed on the server; downloading it again from the start";
            return;
        }
        m_schedule.Plan() = *m_resumed;
        m_schedule.Plan().AlignCuts(m_verifier.PieceLength());
    } else {
        if (firstEnd >= total) {
            return;  // the first answer brings the rest of the file
        }
        m_schedule.Plan() = SegmentPlan(total, offset);
        m_schedule.Plan().AlignCuts(m_verifier.PieceLength());
        m_schedule.Plan().Cut(m_schedule.Plan().FirstOpen(), firstEnd);
        prefixOnly = !m_file.StoreRanges(m_schedule.Plan().Serialize());
        // As long as the file from the start: a copy that loses the ranges
        // cannot pass for a prefix (a partial file without them that is as
        // long as the file is only taken as whole with Dromo's validator).
        m_file.Extend(total);
    }
    m_active = true;
    // Each range on a connection of its own, HTTP/2 or not: streams of one
    // connection share its one TCP window and whatever cap a server or the
    // path puts on a connection, which is what more connections get past;
    // the per-host cap and "Connections per Task" go on counting connections.
    curl_multi_setopt(m_multi, CURLMOPT_PIPELINING, static_cast<long>(CURLPIPE_NOTHING));
    if (m_digest != nullptr) {
        m_digest->StartOver();  // a resumed file's present bytes are read back as they line up
    }
    m_schedule.Start(prefixOnly, std::int64_t{std::max(m_settings.speedLimit, 0)} * 1024);
    m_schedule.Ramp().Note(RampSample{0, Received(), m_hosts.Bytes(), 0, 1});
    m_firstValidator = SizeValidator(response, total);
    m_lastModified = response.lastModified;
    if (const long port = LocalPort(first); port > 0) {
        m_validators[port] = m_firstValidator;
    }
    m_startPresent = m_schedule.Plan().Present();
    m_start = Clock::now();
    m_lastEvent = m_start;
    m_recent = {{m_start, m_startPresent}};
    const auto idle = std::chrono::seconds(std::max(m_settings.idleSeconds, 0));
    m_watch.Start(idle, m_start);

    auto c = std::make_unique<Connection>();
    c->owner = this;
    c->easy = m_first;
    c->first = true;
    c->hostPort = m_hostPort;
    m_hosts.Take(m_hostPort, true);
    m_schedule.Pool().Opened(0, m_start);
    c->range = m_schedule.Plan().Assign(0, kMinPiece);  // the unowned range with the lowest start: the one asked for
    c->firstByte = offset;
    c->lastByte = firstEnd - 1;
    c->Enter(Connection::State::Receiving);  // its head is the one just taken
    c->watch.Start(idle, m_start);
    c->pace.Start(kPaceWindow, m_start);
    const int firstRange = c->range;
    m_connections.push_back(std::move(c));
    if (!m_resumed) {
        m_schedule.ShareSmallFile(firstRange, offset, m_verifier.PieceLength(), m_settings.speedLimit > 0);
    }
    m_verifier.Start(total);  // after the first range is the first connection's
}

std::size_t SegmentedTransfer::OnFirstData(const char* data, std::size_t length)
{
    return Store(*m_connections.front(), data, length);
}

bool SegmentedTransfer::HeadFits(Connection& c)
{
    if (c.mirror != 0) {
        return MirrorHeadFits(c);
    }
    const HttpResponse& r = c.response;
    const bool contentOk = r.code != 206 || r.rangeTotal == m_schedule.Plan().Total();
    if (r.code >= 200 && r.code < 300 &&
        (!contentOk || (r.code == 200 && r.contentLength >= 0 && r.contentLength != m_schedule.Plan().Total()) ||
         !ValidatorFits(c))) {
        if (c.standIn || c.validatorChanged) {
            Changed("another version on " + c.hostPort + ": " + r.etag + " " + r.lastModified);
            return false;
        }
        // Servers behind one name may each name the file their own way:
        // this connection goes, the first one carries on.
        c.otherVersion = true;
        c.refusal = "Another version of the file on another connection: " + r.etag + " " + r.lastModified;
        m_schedule.VersionsDiffer();
        return false;
    }
    if (r.code == 206) {
        if (r.rangeFirst != c.firstByte || r.rangeLast != c.lastByte ||
            r.contentLength != r.rangeLast - r.rangeFirst + 1) {
            c.refusal = "Error in the server's answer: a partial answer that does not fit the range asked for";
            return false;
        }
        c.Enter(Connection::State::Receiving);
        m_schedule.Accepted();
        return true;
    }
    if (r.code >= 200 && r.code < 300) {
        c.refusal = "Error in the server's answer: the whole file instead of a range";
    } else {
        c.refusal = "Error " + std::to_string(r.code) + " from server: " + r.reason;
        if ((r.code == 503 || r.code == 429) && r.retryAfter >= 0) {
            m_retryAfter = r.retryAfter;
        }
    }
    return false;
}

// Another mirror answers for itself: its validator is its own (another
// server names the same file its own way), but it must keep it, and the
// file's length is the first answer's.
bool SegmentedTransfer::MirrorHeadFits(Connection& c)
{
    const HttpResponse& r = c.response;
    MirrorPool::Mirror& m = m_schedule.Pool().At(c.mirror);
    if (r.code == 206 && r.rangeTotal != m_schedule.Plan().Total()) {
        c.refusal =
            "a file of " + std::to_string(r.rangeTotal) + " bytes, not " + std::to_string(m_schedule.Plan().Total());
    } else if (r.code == 206 && m.answered && (Differs(r.etag, m.etag) || Differs(r.lastModified, m.lastModified))) {
        c.refusal = "the file changed there";
    } else if (r.code == 206 && (r.rangeFirst != c.firstByte || r.rangeLast != c.lastByte ||
                                 r.contentLength != r.rangeLast - r.rangeFirst + 1)) {
        c.refusal = "a partial answer that does not fit the range asked for";
    } else if (r.code == 206) {
        c.Enter(Connection::State::Receiving);
        if (!m.answered) {
            m.answered = true;
            m.etag = r.etag;
            m.lastModified = r.lastModified;
            char* effective = nullptr;
            curl_easy_getinfo(c.easy, CURLINFO_EFFECTIVE_URL, &effective);
            if (effective != nullptr && m.url != effective) {
                // Where it redirects, the next ones go straight, without the
                // task's login unless that is the task's own server again.
                const auto there = UrlOrigin::Of(effective);
                m.login = m.login && there && UrlOrigin::Of(m.url) == there;
                m.url = effective;
            }
        }
        return true;
    } else if (r.code >= 200 && r.code < 300) {
        c.refusal = "the whole file instead of a range";
    } else {
        c.refusal = "Error " + std::to_string(r.code) + " from server: " + r.reason;
    }
    return false;
}

std::size_t SegmentedTransfer::Store(Connection& c, const char* data, std::size_t length)
{
    if (!m_restartReason.empty() || !m_failure.empty()) {
        return 0;
    }
    const auto now = Clock::now();
    c.lastData = now;
    if (m_settings.speedLimit > 0) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - m_start).count();
        const std::int64_t allowed = std::int64_t{m_settings.speedLimit} * 1024 * elapsed / 1000000 + kLimitBurst;
        if (m_delivered + static_cast<std::int64_t>(length) > allowed) {
            c.Enter(Connection::State::HeldBack);
            return CURL_WRITEFUNC_PAUSE;
        }
    }
    const SegmentPlan::Range& r = m_schedule.Plan().At(c.range);
    const std::int64_t open = r.Left() - static_cast<std::int64_t>(c.buffer.size());
    const std::size_t take =
        static_cast<std::size_t>(std::clamp<std::int64_t>(open, 0, static_cast<std::int64_t>(length)));
    if (take == 0) {
        // The range is done: the connection ends here. What it holds is the
        // rest of it (the end-game may cut a range right after that), so
        // it goes to the file first and the connection is not taken as lost.
        WriteOut(c);
        return 0;
    }
    c.buffer.insert(c.buffer.end(), data, data + take);
    c.taken += static_cast<std::int64_t>(take);
    m_hosts.CountBytes(static_cast<std::int64_t>(take));
    m_schedule.Pool().Brought(c.mirror, static_cast<std::int64_t>(take));
    c.watch.Note(static_cast<std::int64_t>(take), now);
    c.pace.Note(static_cast<std::int64_t>(take), now);
    m_watch.Note(static_cast<std::int64_t>(take), now);
    m_delivered += static_cast<std::int64_t>(take);
    // At every auto-save step, and when the range is all here.
    const std::int64_t step = std::int64_t{std::max(m_settings.autoSaveKB, 1)} * 1024;
    const bool full = static_cast<std::int64_t>(c.buffer.size()) >= std::min<std::int64_t>(step, kMaxBuffer);
    if ((full || static_cast<std::int64_t>(take) == open) && !WriteOut(c)) {
        return 0;
    }
    return take;
}

// Only written bytes move the range's next byte, and each write offers the
// ranges for recording. A failed write ends the transfer; its bytes stay
// missing in the plan, so no record ever calls them present.
bool SegmentedTransfer::WriteOut(Connection& c)
{
    if (c.buffer.empty()) {
        return true;
    }
    const SegmentPlan::Range& r = m_schedule.Plan().At(c.range);
    // Ranges are cut only at least kMinPiece beyond their next byte, past
    // what a connection holds; this never throws away a byte of its range.
    const auto size =
        static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(c.buffer.size()), r.Left()));
    const std::int64_t at = r.next;
    const bool ok = m_file.WriteAt(at, c.buffer.data(), size);
    if (ok && m_digest != nullptr) {
        m_digest->Feed(at, c.buffer.data(), size);
    }
    c.buffer.clear();
    if (!ok) {
        if (m_failure.empty()) {
            m_failure = "Error writing " + m_file.Path() + ": " + m_file.WriteError();
            m_failureOutcome = TransferOutcome::LocalFileError;
        }
        return false;
    }
    m_schedule.Plan().Advance(c.range, static_cast<std::int64_t>(size));
    m_verifier.Wrote(at, static_cast<std::int64_t>(size), c.mirror);  // pieces checked before the record
    ProveVersions(c, at, static_cast<std::int64_t>(size));
    if (m_digest != nullptr) {
        // Everything before the first open range is on disk for good.
        const int open = m_schedule.Plan().FirstOpen();
        m_digest->CatchUp(m_file.Path(), open < 0 ? m_schedule.Plan().Total() : m_schedule.Plan().At(open).next);
    }
    m_recorder.Offer(m_schedule.Plan().Serialize());
    return m_failure.empty();
}

// The last record of a call that did not finish the file, kept at once.
void SegmentedTransfer::Record()
{
    for (auto& c : m_connections) {
        WriteOut(*c);  // a failed write leaves its bytes missing
    }
    m_recorder.RecordNow(m_schedule.Plan().Serialize());
}

std::int64_t SegmentedTransfer::Received() const
{
    std::int64_t held = 0;
    for (const auto& c : m_connections) {
        held += static_cast<std::int64_t>(c->buffer.size());
    }
    return m_schedule.Plan().Present() + held;
}

std::size_t SegmentedTransfer::Live() const
{
    return static_cast<std::size_t>(
        std::count_if(m_connections.begin(), m_connections.end(), [](const auto& c) { return c->Live(); }));
}

// A copy of the first connection's handle (its proxy, agent, TLS and
// cookies) that asks the mirror for bytes [first, last].
EasyHandle SegmentedTransfer::CopyFirst(int mirror, std::int64_t first, std::int64_t last, HeaderList& headers,
                                        char* error)
{
    EasyHandle owned(curl_easy_duphandle(m_first));
    if (!owned) {
        return owned;
    }
    CURL* e = owned.get();
    m_hosts.Share().Join(e);  // a copy starts outside the share
    const MirrorPool::Mirror& m = m_schedule.Pool().At(mirror);
    const std::string bytes = std::to_string(first) + "-" + std::to_string(last);
    curl_easy_setopt(e, CURLOPT_URL, m.url.c_str());
    if (!m.login) {
        // The task's login is its URL's server's, as libcurl keeps it from
        // a host a redirect leads to.
        curl_easy_setopt(e, CURLOPT_USERNAME, nullptr);
        curl_easy_setopt(e, CURLOPT_PASSWORD, nullptr);
    }
    curl_easy_setopt(e, CURLOPT_RANGE, bytes.c_str());
    AppendHeader(headers, "Accept-Encoding: identity");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, error);
    // A copy starts without cookies and with its cookie engine off: it gets
    // the task's jar, with what the first answer set.
    if (m_cookies != nullptr && m_cookies->TakeFrom(m_first)) {
        m_cookies->LoadInto(e);
    }
    return owned;
}

void SegmentedTransfer::LeaveMirror(int mirror, const std::string& why)
{
    DropMirror(mirror, why, Leaving::BadData);
}

// A probe's bytes count as the transfer's: against the idle time, the
// speed limit, the program's throughput and the mirror's speed.
void SegmentedTransfer::ProbeBytes(int mirror, std::int64_t bytes)
{
    m_watch.Note(bytes, Clock::now());
    m_delivered += bytes;
    m_hosts.CountBytes(bytes);
    m_schedule.Pool().Brought(mirror, bytes);
}

void SegmentedTransfer::Fail(const std::string& why, std::optional<TransferOutcome> outcome)
{
    m_failure = why;
    if (outcome) {
        m_failureOutcome = *outcome;
    }
}

bool SegmentedTransfer::Open(int range, int mirror)
{
    const SegmentPlan::Range& r = m_schedule.Plan().At(range);
    auto c = std::make_unique<Connection>();
    c->owned = CopyFirst(mirror, r.next, r.end - 1, c->headers, c->error);
    if (!c->owned) {
        return false;
    }
    CURL* e = c->owned.get();
    c->owner = this;
    c->easy = e;
    c->hostPort = m_schedule.Pool().At(mirror).hostPort;
    c->mirror = mirror;
    c->standIn = m_schedule.StandsIn(mirror);
    c->range = range;
    c->firstByte = r.next;
    c->lastByte = r.end - 1;
    c->watch.Start(std::chrono::seconds(std::max(m_settings.idleSeconds, 0)), Clock::now());
    c->pace.Start(kPaceWindow, Clock::now());
    const std::string bytes = std::to_string(c->firstByte) + "-" + std::to_string(c->lastByte);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, SegmentHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, c.get());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, SegmentWrite);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, c.get());
    if (curl_multi_add_handle(m_multi, e) != CURLM_OK) {
        return false;  // the connection's owners free its handle and headers
    }
    c->Enter(Connection::State::Asking);
    m_schedule.Pool().Opened(mirror, Clock::now());
    trace::Line("task " + std::to_string(m_settings.taskId), "range " + bytes + " opened to " + c->hostPort);
    m_connections.push_back(std::move(c));
    return true;
}

void SegmentedTransfer::Close(Connection& c)
{
    if (!c.Live()) {
        return;
    }
    c.Enter(Connection::State::Closed);
    curl_multi_remove_handle(m_multi, c.easy);
    WriteOut(c);
    if (trace::On()) {
        const SegmentPlan::Range& r = m_schedule.Plan().At(c.range);
        trace::Line("task " + std::to_string(m_settings.taskId),
                    "range " + std::to_string(c.firstByte) + "-" + std::to_string(c.lastByte) + " closed, " +
                        (r.Left() == 0 ? "whole" : std::to_string(r.Left()) + " bytes left"));
    }
    if (!c.first) {
        if (m_cookies != nullptr) {
            m_cookies->TakeFrom(c.easy);  // what its server set, for the connections after it
            m_cookies->Forget(c.easy);
        }
        c.owned.reset();
        c.easy = nullptr;
    }
    c.headers.reset();
    m_hosts.Give(c.hostPort);
    m_schedule.Pool().Closed(c.mirror, Clock::now());
}

void SegmentedTransfer::Lost(Connection& c, const std::string& text, Loss loss)
{
    trace::Line("task " + std::to_string(m_settings.taskId), "a connection is lost: " + text);
    m_schedule.Plan().Release(c.range);
    Close(c);
    switch (m_schedule.Lost(c.mirror, loss, Live(), Clock::now())) {
    case SegmentScheduler::AfterLoss::GoOn: return;
    case SegmentScheduler::AfterLoss::LeaveMirror: DropMirror(c.mirror, text); return;
    case SegmentScheduler::AfterLoss::GiveUp: {
        // The worker decides, as for one connection.
        m_failure = text;
        m_failureOutcome = loss == Loss::Dropped ? TransferOutcome::ConnectionLost
                           : loss == Loss::Idle  ? TransferOutcome::TimedOut
                                                 : TransferOutcome::Failed;
        return;
    }
    }
}

void SegmentedTransfer::OnDone(CURL* easy, CURLcode code)
{
    if (m_verifier.ProbeDone(easy, code)) {
        return;
    }
    for (auto& c : m_connections) {
        if (!c->Live() || c->easy != easy) {
            continue;
        }
        if (m_schedule.Plan().At(c->range).Left() == 0 || !m_restartReason.empty() || !m_failure.empty()) {
            Close(*c);
            return;
        }
        if (!c->Accepted()) {
            const std::string why = c->error[0] != '\0' ? c->error : curl_easy_strerror(code);
            Lost(*c, c->refusal.empty() ? "Fail to connect to " + c->hostPort + ": " + why : c->refusal,
                 c->otherVersion ? Loss::OtherVersion : Loss::Refused);
            return;
        }
        Lost(*c,
             texts::kConnectionLost + ("connection aborted with " + std::to_string(m_schedule.Plan().Present())) +
                 " of " + std::to_string(m_schedule.Plan().Total()) +
                 " bytes: " + curl_easy_strerror(code == CURLE_OK ? CURLE_PARTIAL_FILE : code),
             Loss::Dropped);
        return;
    }
}

void SegmentedTransfer::Step()
{
    if (!m_active || !m_restartReason.empty() || !m_failure.empty()) {
        return;
    }
    if (const std::string failure = m_recorder.Failure(); !failure.empty()) {
        m_failure = "Error writing " + m_file.Path() + ": " + failure;
        m_failureOutcome = TransferOutcome::LocalFileError;
        return;
    }
    m_verifier.Ask();
    const auto now = Clock::now();
    for (auto& c : m_connections) {
        if (c->Now() == Connection::State::HeldBack) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - m_start).count();
            if (m_delivered < std::int64_t{m_settings.speedLimit} * 1024 * elapsed / 1000000) {
                c->Enter(Connection::State::Receiving);
                c->lastData = now;
                c->watch.Restart(now);                     // held back by us, not idle
                c->pace.Restart(now);                      // nor slow: the end-game waits for a window of its own
                curl_easy_pause(c->easy, CURLPAUSE_CONT);  // may deliver, and pause again, at once
            }
        }
    }
    if (!CheckIdle(now) || !WriteOutQuiet(now)) {
        return;
    }
    CutBadMirrors();
    if (m_schedule.Plan().Complete()) {
        m_verifier.CheckWhole();
        Event();
        return;
    }
    const double since = std::chrono::duration<double>(now - m_start).count();
    const int before = m_schedule.Ramp().Wanted();
    const int wanted = m_schedule.Ramp().Note(
        RampSample{since, Received(), m_hosts.Bytes(), m_schedule.Waited(), static_cast<int>(Live())});
    const std::size_t target = m_schedule.Target(wanted);
    if (wanted > before && m_schedule.Ramp().SawBursts() && target > Live()) {
        ShareForBursts(static_cast<int>(target - Live()));
    }
    if (target > Live() && m_schedule.TryMoreOfFirst(now)) {
        trace::Line("task " + std::to_string(m_settings.taskId),
                    "one more connection to " + m_hostPort + " is tried, " +
                        std::to_string(m_schedule.Pool().At(0).live) + " open");
    }
    int avoid = -1;
    if (Live() < target && !m_schedule.Plan().HasWork(kMinPiece, [this](int range) { return OnItsWay(range); })) {
        avoid = EndGame(now);
    }
    OpenMore(target, avoid);
    Event();
}

void SegmentedTransfer::NoteWait(std::chrono::steady_clock::duration waited)
{
    m_schedule.NoteWait(waited);
}

// What a live connection has on its way beyond the range's next byte: the
// bytes it holds, and what its rate brings over a round trip (the time
// from its request to its first byte) and a little more. A range is cut
// only beyond that, so no byte that already crossed the network is
// thrown away and fetched again.
std::int64_t SegmentedTransfer::OnItsWay(int range) const
{
    for (const auto& c : m_connections) {
        if (!c->Live() || c->range != range) {
            continue;
        }
        curl_off_t sent = 0;
        curl_off_t first = 0;
        curl_easy_getinfo(c->easy, CURLINFO_PRETRANSFER_TIME_T, &sent);
        curl_easy_getinfo(c->easy, CURLINFO_STARTTRANSFER_TIME_T, &first);
        const double trip = static_cast<double>(std::max<curl_off_t>(first - sent, 0)) / 1e6 + 0.05;
        const double age = std::chrono::duration<double>(Clock::now() - c->opened).count();
        const double rate = age > 0 ? static_cast<double>(c->taken) / age : 0;
        return static_cast<std::int64_t>(c->buffer.size()) + static_cast<std::int64_t>(rate * trip);
    }
    return 0;
}

// Opens connections up to `wanted`: the open ranges nobody fetches first,
// then halves of the largest ranges on their way. The ranges are all cut
// before any request goes out, so each asks for exactly its share.
void SegmentedTransfer::OpenMore(std::size_t wanted, int avoid)
{
    const SegmentPlan::Reserve reserve = [this](int range) { return OnItsWay(range); };
    std::vector<std::pair<int, int>> opening;  // range, mirror
    while (m_failure.empty() && Live() + opening.size() < wanted && m_schedule.Plan().HasWork(kMinPiece, reserve)) {
        const int mirror = m_schedule.TakeMirror(Clock::now(), Live(), opening, avoid);
        if (mirror < 0) {
            break;  // every host has all the connections it gets
        }
        const int range =
            m_schedule.Plan().Assign(static_cast<int>(m_connections.size() + opening.size()), kMinPiece, reserve);
        if (range < 0) {
            m_hosts.Give(m_schedule.Pool().At(mirror).hostPort);
            break;
        }
        opening.emplace_back(range, mirror);
    }
    for (const auto& [range, mirror] : opening) {
        if (!Open(range, mirror)) {
            m_schedule.Plan().Release(range);
            m_hosts.Give(m_schedule.Pool().At(mirror).hostPort);
        }
    }
}

// The connections of a mirror that sent a bad piece go, and what they hold
// with them; their ranges go to the others.
void SegmentedTransfer::CutBadMirrors()
{
    for (auto& c : m_connections) {
        if (c->Live() && m_schedule.Pool().At(c->mirror).badData) {
            c->buffer.clear();
            m_schedule.Plan().Release(c->range);
            Close(*c);
        }
    }
    if (Live() == 0 && m_schedule.Plan().HasWork(kMinPiece) && m_schedule.Pool().Order(Clock::now()).empty()) {
        m_failure = "Fail - no mirror gives the file as its piece digests say";
    }
}

// A connection that brings less than a byte a second goes, and its range
// goes to another. When the connections together bring less than that each,
// the server is what is idle: the call fails as one connection's would.
bool SegmentedTransfer::CheckIdle(Clock::time_point now)
{
    const std::int32_t seconds = m_settings.idleSeconds;
    if (seconds <= 0) {
        return true;
    }
    const std::int64_t recent = m_watch.Recent(now);
    const auto live = static_cast<std::int64_t>(std::max<std::size_t>(Live(), 1));
    if (recent >= 0 && recent < live * seconds) {
        m_failure = IdleFailureText(seconds, recent == 0);
        m_failureOutcome = TransferOutcome::TimedOut;
        return false;
    }
    const auto idle = std::chrono::seconds(seconds);
    for (auto& c : m_connections) {
        if (c->Now() == Connection::State::Asking || c->Now() == Connection::State::Receiving) {
            const bool silent = now - c->lastData > idle;
            if (silent || c->watch.Idle(now)) {
                Lost(*c, IdleFailureText(seconds, silent), Loss::Idle);
            }
        }
    }
    return m_failure.empty();
}

bool SegmentedTransfer::WriteOutQuiet(Clock::time_point now)
{
    for (auto& c : m_connections) {
        if (c->Live() && !c->buffer.empty() && now - c->lastData >= kQuietWrite && !WriteOut(*c)) {
            return false;
        }
    }
    return true;
}

bool SegmentedTransfer::Running() const
{
    if (!m_restartReason.empty() || !m_failure.empty()) {
        return false;
    }
    // A whole file is checked here when its mirrors may have to answer for it.
    return !m_schedule.Plan().Complete() || m_verifier.Pending();
}

int SegmentedTransfer::PollMs() const
{
    const bool paused = std::any_of(m_connections.begin(), m_connections.end(),
                                    [](const auto& c) { return c->Now() == Connection::State::HeldBack; });
    if (paused) {
        return 5;
    }
    // The end of the first burst decides how many connections join, and the
    // sooner they join, the sooner the download ends.
    return m_schedule.Ramp().Watching() ? 10 : 100;
}

void SegmentedTransfer::Event()
{
    const auto now = Clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - m_lastEvent).count();
    if (ms < m_settings.refreshMs) {
        return;
    }
    const std::int64_t present = Received();
    m_lastEvent = now;
    // The oldest sample kept is the newest one at least the window old.
    while (m_recent.size() > 1 && now - m_recent[1].first >= kSpeedWindow) {
        m_recent.pop_front();
    }
    const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(now - m_recent.front().first).count();
    const std::int64_t speed = since > 0 ? (present - m_recent.front().second) * 1000 / since : 0;
    m_recent.emplace_back(now, present);
    m_sink.OnProgress(Progress::Bytes(m_settings.taskId, present, speed));
}

bool SegmentedTransfer::Settle()
{
    for (auto& c : m_connections) {
        Close(*c);
    }
    return m_failure.empty();
}

void SegmentedTransfer::FinalEvent()
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start).count();
    const std::int64_t moved = m_schedule.Plan().Present() - m_startPresent;
    m_sink.OnProgress(
        Progress::Bytes(m_settings.taskId, m_schedule.Plan().Present(), ms > 0 ? moved * 1000 / ms : moved));
}

}  // namespace dromo
