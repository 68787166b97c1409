#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <curl/curl.h>

#include "base/values/transferoutcome.h"
#include "base/values/transfersettings.h"
#include "engine/curlhandles.h"
#include "engine/httpresponse.h"
#include "engine/idlewatch.h"
#include "engine/mirrorpool.h"
#include "engine/rangerecorder.h"
#include "engine/rangewriters.h"
#include "engine/segmentplan.h"
#include "engine/segmentscheduler.h"
#include "engine/segmentverifier.h"

namespace dromo {

class DigestCheck;
class HostConnections;
struct UrlOrigin;
class PartialFile;
class ProgressSink;
class TaskCookies;

// What a segmented transfer takes from the engine that runs it: the task's
// settings, where its events go, the multi handle its connections join,
// the table of connections per host it shares with the other engines, the
// URL the first connection asks for and the task's other mirrors.
struct SegmentContext {
    TransferSettings settings;
    ProgressSink& sink;
    CURLM* multi;
    HostConnections& hosts;
    std::string url;
    std::vector<MirrorSource> mirrors;
    PieceHashes pieces;  // the digests of the file's pieces; may be empty
    // The whole file's running hash, fed as the bytes land; may be null.
    DigestCheck* digest = nullptr;
    // The task's cookie jar, which each connection is loaded from and gives
    // back to; may be null.
    TaskCookies* cookies = nullptr;
};

// One HTTP file over several connections, inside the engine's transfer call
// and its multi handle; what it decides apart from moving bytes (the plan,
// the ramp, the mirror pool, what a refusal or a lost connection means, the
// end-game's choice) is SegmentScheduler's, which it asks and acts on.
// The engine's own request is the first connection:
// once its head shows a length, range support and enough bytes, the file is
// planned as ranges (SegmentPlan); the connections it gets, up to the
// task's number, are what ConnectionRamp finds they raise the throughput
// by: on a link this machine fills with one, one connection goes through
// the ranges. More connections join on ranges of their own, at the URL the
// first one's requests ended at (a redirector may send each request
// elsewhere) and at the task's other mirrors (MirrorPool: a share for each,
// a mirror that fails is left for the rest of the call and its ranges go to
// the others); with piece digests each piece is checked once it is all
// there (SegmentVerifier), and a bad one is fetched again, its mirror left when
// it alone sent it. Each writes at its offset into the partial file, and
// the open ranges are stored with it so a later call resumes every one of
// them. The first connection's answer says which version of the file this
// is; each TCP connection keeps the validator it answered with first (a
// connection new to the server may name the file its own way, with the
// same modification time), and one whose validator changes shows a changed
// file. Another version seen on an extra connection costs that
// connection, and the next connection after the first one stands in for it
// (its answer decides whether the file changed). When the whole file fails
// its digest and no piece digests said where, each mirror's bytes are asked
// of another mirror, a little of each first, and compared with the file
// (SegmentVerifier, which checks the pieces too): the mirror whose bytes differ (a third
// one decides between two) is left, its bytes fetched again from the others,
// and the file checked again. Once no range is left to halve, a free
// connection takes over the range of one far slower than another, and a
// mirror far below another is left (the end-game, ChooseTakeOver).
// Bytes count as present once they are in the file, never before: a range's
// next byte moves only with a write, and a failed write leaves it where it was.
class SegmentedTransfer : private SegmentVerifier::Owner {
public:
    static constexpr std::int64_t kMinPiece = SegmentScheduler::kMinPiece;
    static constexpr std::int64_t kFirstPiece = SegmentScheduler::kFirstPiece;

    // `resumed` is the plan stored with the partial file, if any.
    SegmentedTransfer(SegmentContext context, PartialFile& file, std::string hostPort,
                      std::optional<SegmentPlan> resumed);
    ~SegmentedTransfer();
    SegmentedTransfer(const SegmentedTransfer&) = delete;
    SegmentedTransfer& operator=(const SegmentedTransfer&) = delete;

    // Where the first request starts: the first open range of a resumed
    // plan; -1 without one.
    std::int64_t ResumeOffset() const;

    // The last byte the first request asks for, when it starts at
    // `offset`: the first open range of a resumed plan, else kFirstPiece.
    std::int64_t FirstRequestLast(std::int64_t offset) const;
    // The first connection's head was accepted and its data goes to the file
    // from `offset` on: plans the rest of the file when the answer is a
    // range that does not reach the end. More connections are copies of
    // the first one's handle, `first`.
    void OnFirstHead(const HttpResponse& response, std::int64_t total, std::int64_t offset, CURL* first);
    // The mirrors the first server named for its file, offered before its
    // head is taken: the ranges come from them too when the task brought
    // none of its own.
    void OfferMirrors(std::vector<MirrorSource> mirrors)
    {
        if (m_sources.empty() && !m_active) {
            m_sources = std::move(mirrors);
        }
    }
    // Whether the file is being moved as ranges.
    bool Active() const { return m_active; }
    // The first connection's data; fewer bytes than given ends it (its range
    // was shortened for another connection, or is done).
    std::size_t OnFirstData(const char* data, std::size_t length);

    // One round of the engine's loop: more connections, the shared speed
    // limit, stalled connections, progress events and recorded state.
    void Step();
    // The engine's loop waited this long for the network.
    void NoteWait(std::chrono::steady_clock::duration waited);
    // A transfer of the multi handle ended.
    void OnDone(CURL* easy, CURLcode code);
    // Whether the loop must go on: connections run or are to be opened.
    bool Running() const;
    // How long the loop may wait for sockets.
    int PollMs() const;

    bool Complete() const { return m_schedule.Plan().Complete(); }
    std::int64_t Total() const { return m_schedule.Plan().Total(); }
    // Set when a range answer shows another version of the file.
    const std::string& RestartReason() const { return m_restartReason; }
    const std::string& Failure() const { return m_failure; }
    // The last Retry-After a refusing server gave another connection; -1 when none.
    std::int64_t RetryAfter() const { return m_retryAfter; }
    TransferOutcome FailureOutcome() const;
    // Ends every connection with its data written; false when a write failed.
    bool Settle();
    // The final byte-count event of a complete file.
    void FinalEvent();

private:
    using Clock = std::chrono::steady_clock;
    // The end-game judges a connection by what it brought over this long:
    // long enough for servers that send a burst a second, short enough
    // that a server that slows down late is caught soon.
    static constexpr std::chrono::seconds kPaceWindow{3};
    struct Connection;
    // libcurl's callbacks for a connection's head lines and data.
    static std::size_t SegmentHeader(char* data, std::size_t size, std::size_t count, void* user);
    static std::size_t SegmentWrite(char* data, std::size_t size, std::size_t count, void* user);

    using Loss = SegmentScheduler::Loss;

    // `avoid`: a mirror that gets a connection only when no other has one to give.
    void OpenMore(std::size_t wanted, int avoid = -1);
    // End-game (segmentedmirrors.cpp): with a connection free and no range
    // to halve, a range far behind goes to it (ChooseTakeOver). The mirror
    // the rest of a cut range is not to go back to, or -1.
    int EndGame(Clock::time_point now);
    void ShareForBursts(int joining);
    std::int64_t OnItsWay(int range) const;
    void FollowFirst();
    void AddMirrors(const UrlOrigin& task);
    bool Open(int range, int mirror);
    // SegmentVerifier::Owner: what the check of its bytes asks of the transfer.
    EasyHandle CopyFirst(int mirror, std::int64_t first, std::int64_t last, HeaderList& headers, char* error) override;
    void LeaveMirror(int mirror, const std::string& why) override;
    void ProbeBytes(int mirror, std::int64_t bytes) override;
    void Fail(const std::string& why, std::optional<TransferOutcome> outcome) override;
    void Changed(const std::string& why) override;
    // Bytes [at, at + size) were just written by `c`: the first ones of the
    // first connection and of each connection taken under another validator
    // are what proves that they are of one version.
    void ProveVersions(Connection& c, std::int64_t at, std::int64_t size);
    bool MirrorHeadFits(Connection& c);
    // Why a mirror is left: it failed, sent bytes that proved bad, or is
    // far slower than another.
    enum class Leaving { Failed, BadData, Slow };
    void DropMirror(int mirror, const std::string& why, Leaving kind = Leaving::Failed);
    void CutBadMirrors();
    void Close(Connection& c);
    std::size_t Store(Connection& c, const char* data, std::size_t length);
    bool HeadFits(Connection& c);
    bool ValidatorFits(Connection& c);
    static long LocalPort(CURL* easy);
    void Record();
    bool WriteOut(Connection& c);
    bool WriteOutQuiet(Clock::time_point now);
    bool CheckIdle(Clock::time_point now);
    void Event();
    void Lost(Connection& c, const std::string& text, Loss loss);
    std::size_t Live() const;
    std::int64_t Received() const;

    const TransferSettings m_settings;
    ProgressSink& m_sink;
    CURLM* const m_multi;
    HostConnections& m_hosts;
    CURL* m_first = nullptr;  // the first connection's handle, once its head came
    const std::string m_url;  // what the first connection asked for
    // Where the connections go. The first one's mirror (0) is where its
    // requests ended, after redirects: the others ask there, counted
    // against that host, with the task's login only when it is the task's
    // URL's own server.
    std::vector<MirrorSource> m_sources;
    DigestCheck* const m_digest;   // the whole file's running hash; may be null
    TaskCookies* const m_cookies;  // the task's cookie jar; may be null
    PartialFile& m_file;
    std::string m_hostPort;
    std::optional<SegmentPlan> m_resumed;
    SegmentScheduler m_schedule;  // the plan, the ramp, the mirror pool and what the servers tolerate
    RangeRecorder m_recorder;
    SegmentVerifier m_verifier;  // piece digests, the whole file's, the mirror to blame
    bool m_active = false;
    std::vector<std::unique_ptr<Connection>> m_connections;
    std::string m_firstValidator;  // the first answer's (SizeValidator)
    std::string m_lastModified;    // and its Last-Modified
    // The validator each TCP connection to the first one's server answered
    // with first, by its local port.
    std::map<long, std::string> m_validators;
    // The first bytes the first connection wrote, asked again once another
    // validator is taken; and whether that is to be done when they come.
    std::int64_t m_firstFrom = 0, m_firstTo = 0;
    bool m_proveFirst = false;
    IdleWatch m_watch;  // the bytes of all connections
    std::int64_t m_startPresent = 0;
    std::int64_t m_delivered = 0;  // bytes taken in this call, for the speed limit
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_lastEvent = m_start;
    // Bytes present at the recent events: the speed shown is over the last
    // two seconds, since servers that cap each connection send in bursts
    // about a second apart, and a refresh step between them read as 0.
    std::deque<std::pair<Clock::time_point, std::int64_t>> m_recent;
    std::string m_restartReason;
    std::string m_failure;
    // What the failure above comes to for the worker: a dropped connection,
    // the server idle, a file that takes no more bytes.
    TransferOutcome m_failureOutcome = TransferOutcome::Failed;
    std::int64_t m_retryAfter = -1;
};

}  // namespace dromo
