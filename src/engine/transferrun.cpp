#include "engine/transferrun.h"

#include <strings.h>
#include <algorithm>
#include <cctype>

#include "base/ports/fileclaims.h"
#include "base/text/filenames.h"
#include "base/text/hlsplaylist.h"
#include "base/text/linkheader.h"
#include "base/text/trace.h"
#include "engine/partialfile.h"
#include "engine/segmentedtransfer.h"
#include "engine/validator.h"

namespace dromo {
namespace {

// A server that never ends its head, or sends endless interim answers, is
// refused with a clear protocol error before libcurl runs out of patience.
constexpr std::size_t kMaxHeadBytes = 256 * 1024;
constexpr int kMaxHeads = 32;

}  // namespace

TransferRun::TransferRun(RunContext lent, PartialFile& f, bool isFtp, std::int64_t existing, std::int64_t offset,
                         std::string validator)
    : context(std::move(lent)), file(f), ftp(isFtp), existingTarget(existing >= 0), existingSize(existing),
      requestedOffset(offset), storedValidator(std::move(validator))
{
    watch.Start(std::chrono::seconds(std::max(context.settings.idleSeconds, 0)), start);
}

// A stream's playlist is recorded, not saved: told by the answer's type at
// its head, or, from a server that names no such type, by the first bytes
// of a whole answer from the start.
bool TransferRun::IsPlaylist(std::string_view firstBytes)
{
    if (!firstBytes.empty()) {
        if (sniffed) {
            return false;
        }
        sniffed = true;
    }
    if (ftp || redirectedToFtp || keepContents || requestedOffset != 0 || received != 0 ||
        (response.code != 200 && response.code != 206)) {
        return false;
    }
    stream = firstBytes.empty() ? StreamKindOfType(response.contentType)
                                : (LooksLikeHlsPlaylist(firstBytes) ? StreamKind::Hls : StreamKind::None);
    if (stream == StreamKind::None) {
        return false;
    }
    outcome = Outcome::Stream;
    return true;
}

FailureFacts TransferRun::Facts() const
{
    return FailureFacts{ftp,
                        redirectedToFtp,
                        outcome == Outcome::Undecided,
                        response.code,
                        received,
                        slow,
                        lastReply,
                        context.settings.proxy.server,
                        context.settings.ftpTlsRequired};
}

bool TransferRun::OpenFile(bool truncate, const std::string& validator)
{
    const std::string error = file.Open(truncate, validator);
    if (!error.empty()) {
        failure = "Fail to open " + file.Path() + ": " + error;
        outcome = Outcome::Failed;
        return false;
    }
    if (context.claims != nullptr) {
        context.claims->WritingPartialFile(file.Target());
    }
    file.SetFlushStep(static_cast<std::size_t>(std::max(context.settings.autoSaveKB, 1)) * 1024);
    lastEventBytes = startBytes >= 0 && !truncate ? startBytes : file.Size();
    trace::Line("task " + std::to_string(context.settings.taskId),
                "starts with " + std::to_string(lastEventBytes) + " bytes of " + file.Target() + " on disk");
    context.sink.OnProgress(Progress::Start(context.settings.taskId, lastEventBytes));
    return true;
}

// Relative places are read against the URL that answered, after redirects.
// Only this connection's server speaks for the task: the ranges of a
// segmented transfer are asked of the same file.
void TransferRun::TakeAnnouncedMirrors()
{
    if (response.link.empty()) {
        return;
    }
    char* answered = nullptr;
    curl_easy_getinfo(context.easy, CURLINFO_EFFECTIVE_URL, &answered);
    MirrorList mirrors;
    for (Mirror& mirror : LinkHeader(response.link).Duplicates(answered != nullptr ? answered : "")) {
        mirrors.Add(std::move(mirror));
    }
    if (mirrors.Empty()) {
        return;
    }
    const std::string named =
        "The server names " + std::to_string(mirrors.Size()) + (mirrors.Size() == 1 ? " mirror" : " mirrors");
    if (Digest().Wanted() == nullptr && !context.pieces) {
        // Nothing would tell a mirror's other bytes from the file's: the
        // file would be called done with them. Nor does the task keep them,
        // so no later attempt takes them as its own.
        Status(named + " of the file; none is used, as no digest can check what it sends");
        return;
    }
    if (segments != nullptr) {
        // A task that brought no mirrors takes its ranges from these too.
        segments->OfferMirrors(CurlEngine::OtherMirrors(mirrors, answered != nullptr ? answered : ""));
    }
    context.announcedMirrors = std::move(mirrors);
    Status(named + " of the file");
}

// What the server says of its file now, in the validator's form.
std::string TransferRun::ServerVersion() const
{
    return ftp || redirectedToFtp ? ftpValidator : SizeValidator(response, total);
}

ResumeState TransferRun::Resume() const
{
    ResumeState resume;
    resume.offset = requestedOffset;
    resume.last = requestedLast;
    resume.keepContents = keepContents;
    resume.validator = storedValidator;
    if (existingTarget) {
        resume.existing = ExistingFile{existingSize, existingRecord, existingModified};
    }
    return resume;
}

// A file of the target's name that is not our partial file is never written
// into: when it is this download done before the call ends there;
// otherwise the download goes to the first free numbered name.
bool TransferRun::KeepOrMoveAside()
{
    switch (JudgeExisting(Resume().existing, total, ServerVersion())) {
    case ExistingVerdict::None: return true;
    case ExistingVerdict::Same: outcome = Outcome::AlreadyExisted; return false;
    case ExistingVerdict::MoveAside: break;
    }
    return MoveAside();
}

// The download goes to the first free numbered name beside the target,
// claimed in the task list so no other task gets it too.
bool TransferRun::MoveAside()
{
    const std::string target = file.Target();
    const std::string free = context.claimFreeName(target);
    if (free.empty()) {
        failure = "Fail - no free file name beside " + target;
        outcome = Outcome::Failed;
        return false;
    }
    file.Retarget(free);
    context.savedAs = free;
    existingTarget = false;
    Status("Saving as " + NameOfPath(free) + ": " + NameOfPath(target) + " is another file");
    return true;
}

void TransferRun::Apply(const ResponseDecision& d)
{
    using Verdict = ResponseDecision::Verdict;
    context.resumable = d.resumable;
    if (d.fileSize) {
        context.fileSize = *d.fileSize;
    }
    if (d.retryAfter) {
        context.retryAfter(*d.retryAfter);
    }
    total = d.total;
    switch (d.verdict) {
    case Verdict::AlreadyExisted: outcome = Outcome::AlreadyExisted; return;
    case Verdict::AlreadyComplete: outcome = Outcome::AlreadyComplete; return;
    case Verdict::Restart:
        restartReason = d.reason;
        misfit = d.misfit;
        changed = d.changed;
        outcome = Outcome::Restart;
        return;
    case Verdict::Fail:
        failure = d.reason;
        failureOutcome = d.failureOutcome;
        serverRefused = true;
        outcome = Outcome::Failed;
        return;
    case Verdict::Write: break;
    }
    if (d.moveAside && !MoveAside()) {
        return;
    }
    if (OpenFile(d.truncate, d.validator)) {
        outcome = Outcome::Write;
        emptyBody = d.emptyBody;
    }
}

void TransferRun::Decide()
{
    if (outcome != Outcome::Undecided) {
        return;
    }
    if (redirectedToFtp) {
        // The size the FTP server it was taken to told libcurl.
        curl_off_t size = -1;
        curl_easy_getinfo(context.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
        Apply(DecideRedirectedFtp(size, Resume()));
        return;
    }
    if (!ftp) {
        Apply(DecideHttpAnswer(response, Resume()));
        return;
    }
    // FTP was decided before the download; here the data simply starts.
    if (OpenFile(requestedOffset == 0, ftpValidator)) {
        outcome = Outcome::Write;
    }
}

bool TransferRun::OnFtpServer()
{
    if (!redirectedToFtp && !ftp) {
        char* scheme = nullptr;
        curl_easy_getinfo(context.easy, CURLINFO_SCHEME, &scheme);
        redirectedToFtp = scheme != nullptr && (strcasecmp(scheme, "ftp") == 0 || strcasecmp(scheme, "ftps") == 0);
    }
    return ftp || redirectedToFtp;
}

void TransferRun::Event(bool final)
{
    const auto now = Clock::now();
    const auto sinceLast = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastEvent).count();
    if (!final && sinceLast < context.settings.refreshMs) {
        return;
    }
    std::int64_t speed = 0;
    if (final) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
        speed = ms > 0 ? received * 1000 / ms : received;
    } else if (sinceLast > 0) {
        speed = (OnDisk() - lastEventBytes) * 1000 / sinceLast;
    }
    lastEvent = now;
    lastEventBytes = OnDisk();
    context.sink.OnProgress(Progress::Bytes(context.settings.taskId, OnDisk(), speed));
}

std::size_t TransferRun::OnHeader(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* run = static_cast<TransferRun*>(user);
    const std::size_t length = size * count;
    run->lastData = Clock::now();
    run->watch.Note(static_cast<std::int64_t>(length), run->lastData);
    std::string line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    if (run->OnFtpServer()) {
        // The server's reply lines start with their three-digit code; libcurl
        // adds HTTP-style lines of its own while probing, which are skipped.
        if (line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0]))) {
            run->tlsTaken = run->tlsTaken || FtpReplyStartsTls(line);
            run->lastReply = line;
            run->Status(line);
        }
        return length;
    }
    if (line.empty()) {
        // End of one response head. Interim and followed redirect answers
        // are not the file's; nor is a login challenge, which libcurl may
        // still answer with the credentials it has.
        const int code = run->response.code;
        if ((code >= 100 && code < 200) || (code >= 300 && code < 400 && run->response.hasLocation) || code == 401 ||
            code == 407) {
            return length;
        }
        if (run->IsPlaylist({})) {
            return 0;
        }
        run->Decide();
        if (run->outcome == Outcome::Write) {
            run->Digest().TakeServerDigests(run->response);
            run->TakeAnnouncedMirrors();
        }
        if (run->outcome == Outcome::Write && run->segments != nullptr) {
            const std::int64_t from = run->response.code == 206 ? run->requestedOffset : 0;
            run->segments->OnFirstHead(run->response, run->total, from, run->context.easy);
            if (!run->segments->RestartReason().empty()) {
                run->restartReason = run->segments->RestartReason();
                run->changed = true;  // the only restart connections ask for
                run->outcome = Outcome::Restart;
            }
        }
        return run->outcome == Outcome::Write ? length : 0;
    }
    if (line.rfind("HTTP/", 0) == 0 && ++run->heads > kMaxHeads) {
        run->failure = "Error in the server's answer: more than " + std::to_string(kMaxHeads) + " response heads";
        run->serverRefused = true;
        run->outcome = Outcome::Failed;
        return 0;
    }
    run->response.AddLine(line);
    if (run->response.headBytes > kMaxHeadBytes) {
        run->failure = "Error in the server's answer: a response head of more than " +
                       std::to_string(kMaxHeadBytes / 1024) + " KB";
        run->serverRefused = true;
        run->outcome = Outcome::Failed;
        return 0;
    }
    if (line.rfind("HTTP/", 0) == 0) {
        run->Status(line);
    }
    return length;
}

std::size_t TransferRun::OnData(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* run = static_cast<TransferRun*>(user);
    const std::size_t length = size * count;
    run->lastData = Clock::now();
    run->watch.Note(static_cast<std::int64_t>(length), run->lastData);
    if (run->probing) {
        return length;  // libcurl's description of the FTP file, not its data
    }
    if (!run->OnFtpServer() && (run->response.code == 401 || run->response.code == 407) &&
        run->outcome == Outcome::Undecided) {
        return length;  // a challenge's page; decided once the exchange ends
    }
    run->Decide();  // an answer without a head (HTTP/0.9) is decided here
    if (run->outcome != Outcome::Write || run->IsPlaylist(std::string_view(data, length))) {
        return 0;
    }
    if (run->emptyBody) {
        return length;  // the server's words on the refused range
    }
    if (run->segments != nullptr && run->segments->Active()) {
        return run->segments->OnFirstData(data, length);
    }
    const std::int64_t max = run->context.maxFileSize;
    if (max >= 0 && (run->total > max || run->file.Size() + static_cast<std::int64_t>(length) > max)) {
        run->context.tooLarge = true;
        run->failure = "Fail - the file is larger than " + std::to_string(max) + " bytes";
        run->outcome = Outcome::Failed;
        return 0;
    }
    run->context.hosts.CountBytes(static_cast<std::int64_t>(length));
    run->Digest().Feed(run->file.Size(), data, length);
    if (!run->file.Write(data, length)) {
        run->failure = "Error writing " + run->file.Path() + ": " + run->file.WriteError();
        run->failureOutcome = TransferOutcome::LocalFileError;
        run->outcome = Outcome::Failed;
        return 0;
    }
    run->received += static_cast<std::int64_t>(length);
    run->Event(false);
    return length;
}

}  // namespace dromo
