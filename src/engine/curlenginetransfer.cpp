// CurlEngine's transfer call: who leads it, its rounds against the leader
// and what a round comes to, apart from the requests themselves.
#include <memory>
#include <optional>

#include "base/text/parseurl.h"
#include "base/text/progresstexts.h"
#include "base/text/textutil.h"
#include "base/values/protocoltexts.h"
#include "base/values/taskrecord.h"
#include "engine/curlengine.h"
#include "engine/leadingmirrors.h"
#include "engine/segmentedtransfer.h"
#include "engine/transferrun.h"

namespace dromo {
namespace {

// libcurl wants a valid URL; a remote path may hold spaces and bytes beyond
// ASCII, which are sent percent-encoded. What is already encoded stays.
std::string EncodePath(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' ||
            c == '{' || c == '|' || c == '}') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// A mirror in the engine's own form of a URL; nothing when it is not one.
std::optional<Lead> LeadOf(const Mirror& mirror)
{
    const std::optional<ParsedUrl> parsed = ParseUrl(mirror.url);
    if (!parsed) {
        return std::nullopt;
    }
    Lead lead;
    lead.ftp = IsFtpProtocol(parsed->protocol);
    lead.secure = IsSecureProtocol(parsed->protocol);
    const char* scheme = lead.ftp ? (lead.secure ? "ftps://" : "ftp://") : (lead.secure ? "https://" : "http://");
    lead.url = scheme + parsed->host + ":" + std::to_string(parsed->port) + EncodePath(parsed->remotePath);
    lead.host = parsed->host;
    lead.port = parsed->port;
    lead.priority = mirror.priority;
    return lead;
}

}  // namespace

// The task's mirrors a segmented HTTP transfer may take ranges from: those
// of HTTP and HTTPS, in the engine's own form of a URL, but the one the
// call itself fetches.
std::vector<MirrorSource> CurlEngine::OtherMirrors(const MirrorList& list, const std::string& url)
{
    std::vector<MirrorSource> mirrors;
    for (const Mirror& mirror : list.Mirrors()) {
        const std::optional<Lead> lead = LeadOf(mirror);
        if (lead && !lead->ftp && lead->url != url) {
            mirrors.push_back(MirrorSource{lead->url, lead->priority});
        }
    }
    return mirrors;
}

// The task's own URL, then its mirrors, most wanted first; the task's login
// goes only to its own server.
std::string CurlEngine::UrlOf(const TransferRequest& request)
{
    const char* scheme =
        request.ftp ? (request.secure ? "ftps://" : "ftp://") : (request.secure ? "https://" : "http://");
    return scheme + request.host + ":" + std::to_string(request.port) + EncodePath(request.remotePath);
}

std::vector<Lead> CurlEngine::Leads(const TransferRequest& request) const
{
    Lead own;
    own.ftp = request.ftp;
    own.secure = request.secure;
    own.url = UrlOf(request);
    own.host = request.host;
    own.port = request.port;
    own.login = true;
    own.priority = kMirrorPriorityBest;
    std::vector<Lead> leads{own};
    for (const Mirror& mirror : request.mirrors.Mirrors()) {
        std::optional<Lead> lead = LeadOf(mirror);
        if (lead && lead->url != own.url) {
            leads.push_back(std::move(*lead));
        }
    }
    return leads;
}

// After a round that wrote the server's answer: the file is whole and
// finished, or the call fails with what went wrong.
bool CurlEngine::Conclude(TransferRun& run, CURLcode code, std::unique_ptr<SegmentedTransfer>& segments,
                          const char* errorBuffer, const Lead& lead)
{
    if (code == CURLE_OK && segments && segments->Active()) {
        if (!segments->Settle() || !segments->Complete()) {
            const bool lost = segments->Failure().empty();
            return Fail(lost ? texts::kConnectionLost + std::string("connection closed before the file was complete")
                             : segments->Failure(),
                        lost ? TransferOutcome::ConnectionLost : segments->FailureOutcome());
        }
        segments->FinalEvent();
        const std::int64_t total = segments->Total();
        segments.reset();  // every connection closed before the rename
        return Finish(run, total);
    }
    if (code != CURLE_OK || run.outcome != TransferRun::Outcome::Write) {
        // Not a byte of the file came: the leader is what failed.
        m_leaderRefused = run.outcome != TransferRun::Outcome::Write;
        TransferOutcome outcome = TransferOutcome::Failed;
        const std::string text = DescribeFailure(m_easy, code == CURLE_OK ? CURLE_GOT_NOTHING : code, errorBuffer,
                                                 run.Facts(), lead.host, lead.port, Settings().idleSeconds, outcome);
        return Fail(text, outcome);
    }
    PartialFile& file = run.file;
    if (!file.Flush()) {
        return Fail("Error writing " + file.Path() + ": " + file.WriteError(), TransferOutcome::LocalFileError);
    }
    if (run.total >= 0 && file.Size() != run.total) {
        return Fail(texts::kConnectionLost + ("connection closed after " + std::to_string(file.Size())) + " of " +
                        std::to_string(run.total) + " bytes",
                    TransferOutcome::ConnectionLost);
    }
    run.Event(true);
    return Finish(run, file.Size());
}

bool CurlEngine::TransferByLeads(const TransferRequest& request)
{
    m_error.clear();
    m_outcome = TransferOutcome::Failed;
    m_resumable = false;
    m_fileSize = -1;
    m_retryAfter = -1;
    m_announcedMirrors = MirrorList();
    m_foundStream.clear();
    m_tooLarge = false;
    m_savedAs = request.saveAs;
    Status(texts::kConnectingTo + (" " + ShownHost(request.host)) + ":" + std::to_string(request.port) + "...",
           StatusTone::Connecting);
    if (!CheckTarget(request) || !CheckHeaderValues(request)) {
        return false;
    }
    StartCookies(request);
    if (!request.digestsUnreadable.empty()) {
        return Fail("Fail - the checksum cannot be read: " + request.digestsUnreadable);
    }
    PartialFile file(request.saveAs);
    ResumePoint resume;
    if (!ReadResumePoint(request, file, resume)) {
        return false;
    }
    LeadingMirrors leads(Leads(request), Settings().connections > 1);
    if (const Lead& first = leads.Current(); first.host != request.host || first.port != request.port) {
        // An HTTP(S) mirror leads before the task's own FTP server.
        Status(texts::kConnectingTo + (" " + ShownHost(first.host)) + ":" + std::to_string(first.port) + "...",
               StatusTone::Connecting);
    }
    for (;;) {
        if (TransferFrom(leads, request, file, resume)) {
            return true;
        }
        if (!m_leaderRefused || m_abort) {
            return false;
        }
        const std::string left = leads.Current().url;
        const std::string why = m_error;
        if (!leads.Leave(why, m_outcome)) {
            // The task's own URL alone fails as it always has.
            return leads.Count() > 1 ? Fail(leads.FailureText(), leads.FailureOutcome()) : false;
        }
        Status("Leaving the mirror " + UrlWithoutLogin(left) + ": " + why, StatusTone::Failure);
        const Lead& next = leads.Current();
        Status(texts::kConnectingTo + (" " + ShownHost(next.host)) + ":" + std::to_string(next.port) + "...",
               StatusTone::Connecting);
    }
}

// The rounds against one leader: a second round starts from zero when the
// server's file turned out to differ from the one the bytes on disk came from.
bool CurlEngine::TransferFrom(const LeadingMirrors& leads, const TransferRequest& request, PartialFile& file,
                              ResumePoint& resume)
{
    m_leaderRefused = false;
    const Lead& lead = leads.Current();
    bool changed = false;   // the last restart was for another version of the file
    bool rangesFit = true;  // a server that cannot answer a bounded range gets one plain request
    const std::vector<MirrorSource> mirrors = lead.ftp ? std::vector<MirrorSource>() : leads.Others();
    const StreamKind stream = lead.ftp ? StreamKind::None : StreamAt(lead.url, file.Target());
    for (int round = 0; round < 2; ++round) {
        std::unique_ptr<SegmentedTransfer> segments;
        m_digest.Begin();
        std::int64_t from = resume.offset;
        std::int64_t last = -1;
        if (!lead.ftp && (Settings().connections > 1 || resume.plan || !mirrors.empty() || !request.pieces.Empty()) &&
            rangesFit) {
            segments = std::make_unique<SegmentedTransfer>(
                SegmentContext{Settings(), m_sink, m_multi, m_hosts, lead.url, mirrors, request.pieces, &m_digest,
                               &m_cookies},
                file, ShownHost(lead.host) + ":" + std::to_string(lead.port), resume.plan);
            from = resume.plan ? segments->ResumeOffset() : resume.offset;
            last = segments->FirstRequestLast(from);
        }
        TransferRun run{Lend(), file, lead.ftp, resume.existing, from, resume.validator};
        run.secure = lead.secure || (lead.ftp && Settings().ftpTlsRequired);  // TLS or no transfer
        run.existingRecord = resume.existingRecord;
        run.existingModified = resume.existingModified;
        run.requestedLast = last;
        run.segments = segments.get();
        run.keepContents = resume.plan.has_value();
        run.startBytes = resume.plan ? resume.plan->Present() : -1;
        char errorBuffer[CURL_ERROR_SIZE] = {};
        const std::string none;
        if (!SetUp(run, lead.url, lead.login ? request.user : none, lead.login ? request.password : none,
                   errorBuffer)) {
            return Fail("Error - out of memory");
        }
        if (stream != StreamKind::None) {
            return RunStream(request, file, stream, lead.url);
        }
        const CURLcode code =
            lead.ftp ? RunFtp(run, resume.offset, resume.validator) : RunHttp(run, from, resume.validator);
        // A file written whole from zero by this round needs no second
        // download to tell a spliced file from a spoilt one.
        m_wroteFromZero = (lead.ftp ? resume.offset : from) == 0 && !resume.plan;
        if (segments && segments->RetryAfter() >= 0) {
            NoteRetryAfter(segments->RetryAfter());
        }

        using Outcome = TransferRun::Outcome;
        if (segments && !segments->RestartReason().empty()) {
            run.outcome = Outcome::Restart;
            run.restartReason = segments->RestartReason();
            run.changed = true;  // the only restart connections ask for
        }
        if (code == CURLE_ABORTED_BY_CALLBACK) {
            return Fail(texts::kCancelledByUser, TransferOutcome::Cancelled);
        }
        switch (run.outcome) {
        case Outcome::AlreadyExisted:
            m_sink.OnProgress(Progress::Bytes(Settings().taskId, run.existingSize, 0));
            m_outcome = TransferOutcome::AlreadyExisted;
            m_error = texts::kFileAlreadyExisted;
            Status(m_error);
            return true;
        case Outcome::AlreadyComplete: return Finish(run, resume.offset);
        case Outcome::Restart:
            Status(run.restartReason);
            changed = run.changed;
            rangesFit = rangesFit && !run.misfit;
            resume.offset = 0;
            resume.validator.clear();
            resume.plan.reset();
            if (file.Target() != request.saveAs) {
                resume.existing = -1;  // already moved aside to a free name
            }
            continue;
        case Outcome::Failed: m_leaderRefused = run.serverRefused; return Fail(run.failure, run.failureOutcome);
        case Outcome::Stream: return RunStream(request, file, run.stream, lead.url);
        case Outcome::Undecided:
        case Outcome::Write: break;
        }
        return Conclude(run, code, segments, errorBuffer, lead);
    }
    if (changed) {
        return Fail("Error - the server keeps changing the file; try again later");
    }
    return Fail("Error in the server's answer: its partial answers do not fit the file; try again later");
}

}  // namespace dromo
