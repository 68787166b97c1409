#include "engine/curlengine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/core/globaloptions.h"
#include "base/core/trace.h"
#include "base/download/progresstexts.h"
#include "base/download/requestdetails.h"
#include "base/files/filenames.h"
#include "base/ports/fileclaims.h"
#include "engine/cookielines.h"
#include "engine/httpresponse.h"
#include "engine/idlewatch.h"
#include "engine/partialfile.h"
#include "engine/segmentedtransfer.h"

namespace dromo {
namespace {

using Clock = std::chrono::steady_clock;


// libcurl wants a valid URL; a remote path may hold spaces and bytes beyond
// ASCII, which are sent percent-encoded. What is already encoded stays.
std::string EncodePath(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' ||
            c == '`' || c == '{' || c == '|' || c == '}') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string SizeValidator(const HttpResponse& r, std::int64_t total)
{
    std::string v;
    if (!r.etag.empty()) {
        v += "etag=" + r.etag + "\n";
    }
    if (!r.lastModified.empty()) {
        v += "lm=" + r.lastModified + "\n";
    }
    if (total >= 0) {
        v += "size=" + std::to_string(total) + "\n";
    }
    return v;
}

std::string Field(const std::string& validator, const std::string& name)
{
    const std::string key = name + "=";
    std::size_t at = validator.rfind(key, 0) == 0 ? 0 : validator.find("\n" + key);
    if (at == std::string::npos) {
        return {};
    }
    if (at != 0) {
        ++at;
    }
    const std::size_t start = at + key.size();
    return validator.substr(start, validator.find('\n', start) - start);
}

// True when what the server says now contradicts what it said when the
// partial file was started.
bool Changed(const std::string& stored, const std::string& now)
{
    for (const char* name : {"etag", "lm", "size", "mtime"}) {
        const std::string a = Field(stored, name);
        const std::string b = Field(now, name);
        if (!a.empty() && !b.empty() && a != b) {
            return true;
        }
    }
    return false;
}

// The server's time of its file in a validator (Last-Modified, or an FTP
// server's MDTM), as seconds since 1970; -1 when it names none.
std::int64_t ValidatorTime(const std::string& validator)
{
    const std::string mtime = Field(validator, "mtime");
    if (!mtime.empty()) {
        char* end = nullptr;
        const long long seconds = std::strtoll(mtime.c_str(), &end, 10);
        return end != mtime.c_str() && *end == '\0' && seconds >= 0 ? seconds : -1;
    }
    const std::string lm = Field(validator, "lm");
    return lm.empty() ? -1 : static_cast<std::int64_t>(curl_getdate(lm.c_str(), nullptr));
}

// A file's modification time when a program set it (as Dromo, `wget` or
// `curl -R` date a file from its server): whole seconds, and the change
// time later than it. A file written and left alone has both times from
// its last write, to the nanosecond; its time says nothing about a server
// then, so -1. Also -1 when the file cannot be read.
std::int64_t SetModificationTime(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return -1;
    }
    const bool setByProgram = st.st_mtim.tv_nsec == 0 &&
                              (st.st_ctim.tv_sec != st.st_mtim.tv_sec || st.st_ctim.tv_nsec != st.st_mtim.tv_nsec);
    return setByProgram ? static_cast<std::int64_t>(st.st_mtim.tv_sec) : -1;
}

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return path.empty() || path.back() == '/' || (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

bool IsRegularFile(const std::string& path, std::int64_t& size)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    size = st.st_size;
    return true;
}

}  // namespace

// What one transfer call knows while it runs: the decision taken on the
// server's answer, the file, the counters for the progress events.
struct TransferRun {
    enum class Outcome { Undecided, Write, AlreadyExisted, AlreadyComplete, Restart, Failed };

    CurlEngine& engine;
    PartialFile& file;
    bool ftp;
    bool existingTarget;           // a file of the target's name exists and no partial file does
    std::int64_t existingSize;     // its size
    std::string existingRecord;    // what Dromo recorded of it when it finished it
    std::int64_t existingModified = -1;
    std::int64_t requestedOffset;  // where this request asked the data to start
    std::int64_t requestedLast = -1;  // the last byte it asked for; -1 up to the end
    std::string storedValidator;
    std::string ftpValidator;      // what the FTP server said of the file now
    bool probing = false;          // asking an FTP server about the file, not fetching it
    bool redirectedToFtp = false;  // an HTTP request that a redirect took to an FTP server
    int heads = 0;                 // response heads seen (interim ones included)
    std::string lastReply;         // the FTP server's last reply line
    HttpResponse response;
    Outcome outcome = Outcome::Undecided;
    std::string failure;
    TransferOutcome failureOutcome = TransferOutcome::Failed;
    std::string restartReason;
    bool misfit = false;           // a range answer that does not fit what was asked for
    bool emptyBody = false;        // the file is empty: what the answer carries is not of it
    std::int64_t total = -1;
    std::int64_t received = 0;     // bytes of this request's body
    Clock::time_point start = Clock::now();
    Clock::time_point lastData = start;  // last time the server sent anything
    IdleWatch watch;                     // everything the server sent, against the idle time
    bool slow = false;                   // ended for less than a byte a second
    Clock::time_point lastEvent = start;
    std::int64_t lastEventBytes = 0;
    // Several connections, when the file is moved as ranges; with a stored
    // plan the partial file is sparse and is never emptied by a range answer
    // nor read as a prefix.
    SegmentedTransfer* segments = nullptr;
    bool keepContents = false;
    std::int64_t startBytes = -1;  // bytes present when not the file's size

    TransferRun(CurlEngine& e, PartialFile& f, bool isFtp, std::int64_t existing, std::int64_t offset,
                std::string validator)
        : engine(e), file(f), ftp(isFtp), existingTarget(existing >= 0), existingSize(existing),
          requestedOffset(offset), storedValidator(std::move(validator))
    {
        watch.Start(std::chrono::seconds(std::max(e.m_idleSeconds, 0)), start);
    }

    void Status(const std::string& line) { engine.Status(line); }
    DigestCheck& Digest() { return engine.m_digest; }
    void Decide();
    void DecideHttp();
    void DecideRange();
    void DecideRedirectedFtp();
    bool KeepOrMoveAside();
    bool SameAsExisting() const;
    std::string ServerVersion() const;
    bool OpenFile(bool truncate);
    void Event(bool final);
    bool OnFtpServer();
    std::int64_t OnDisk() const { return file.Size(); }
};

bool TransferRun::OpenFile(bool truncate)
{
    const std::string error = file.Open(truncate);
    if (!error.empty()) {
        failure = "Fail to open " + file.Path() + ": " + error;
        outcome = Outcome::Failed;
        return false;
    }
    if (engine.m_claims != nullptr) {
        engine.m_claims->WritingPartialFile(file.Target());
    }
    file.SetFlushStep(static_cast<std::size_t>(std::max(engine.m_autoSaveKB, 1)) * 1024);
    lastEventBytes = startBytes >= 0 && !truncate ? startBytes : file.Size();
    trace::Line("task " + std::to_string(engine.m_taskId),
                "starts with " + std::to_string(lastEventBytes) + " bytes of " + file.Target() + " on disk");
    engine.m_sink.OnProgress("", lastEventBytes, 0, kProgressStart, engine.m_taskId);
    return true;
}

// What the server says of its file now, in the validator's form.
std::string TransferRun::ServerVersion() const
{
    return ftp || redirectedToFtp ? ftpValidator : SizeValidator(response, total);
}

// A file of the target's name is this download done before only when Dromo
// can tell it is the same file; its length alone never tells. With Dromo's
// record of the version it finished: the server still names that version
// (ETag, Last-Modified or an FTP server's time) and nothing contradicts it.
// Without one (a file another tool left, or a file system that keeps no
// attributes): its length and its time are the server's, the time set as
// Dromo dates every file it finishes, not merely that of a write in the
// same second.
bool TransferRun::SameAsExisting() const
{
    if (total < 0 || existingSize != total) {
        return false;
    }
    const std::string now = ServerVersion();
    if (!existingRecord.empty()) {
        bool named = false;
        for (const char* name : {"etag", "lm", "mtime"}) {
            named = named || (!Field(existingRecord, name).empty() && !Field(now, name).empty());
        }
        return named && !Changed(existingRecord, now);
    }
    const std::int64_t serverTime = ValidatorTime(now);
    return serverTime >= 0 && serverTime == existingModified;
}

// A file of the target's name that is not our partial file is never written
// into: when it is this download done before the call ends there;
// otherwise the download goes to the first free numbered name, claimed in
// the task list so no other task gets it too. False when nothing is to be
// written.
bool TransferRun::KeepOrMoveAside()
{
    if (!existingTarget) {
        return true;
    }
    if (SameAsExisting()) {
        outcome = Outcome::AlreadyExisted;
        return false;
    }
    const std::string target = file.Target();
    const std::string free = engine.ClaimFreeName(target);
    if (free.empty()) {
        failure = "Fail - no free file name beside " + target;
        outcome = Outcome::Failed;
        return false;
    }
    file.Retarget(free);
    engine.m_savedAs = free;
    existingTarget = false;
    Status("Saving as " + NameOfPath(free) + ": " + NameOfPath(target) + " is another file");
    return true;
}

// A 206 continues our bytes only when it starts where they end, runs to the
// end of the same file and brings exactly the bytes it announces; anything
// else (a short error page sent as 206, another file) is never appended.
void TransferRun::DecideRange()
{
    const HttpResponse& r = response;
    const std::string now = SizeValidator(r, r.rangeTotal);
    // It runs to the end of the file, or to the last byte asked for.
    const std::int64_t last = requestedLast >= 0 ? std::min(requestedLast, r.rangeTotal - 1) : r.rangeTotal - 1;
    const bool fits = r.rangeFirst == requestedOffset && r.rangeTotal >= 0 && r.rangeLast == last &&
                      r.contentLength == r.rangeLast - r.rangeFirst + 1;
    if (!fits) {
        restartReason = "The server's partial answer does not fit the file; downloading it again from the start";
        outcome = Outcome::Restart;
        misfit = true;
        return;
    }
    if (Changed(storedValidator, now)) {
        restartReason = "The file changed on the server; downloading it again from the start";
        outcome = Outcome::Restart;
        return;
    }
    total = r.rangeTotal;
    engine.m_fileSize = total;
    if (requestedOffset == 0 && !KeepOrMoveAside()) {
        return;
    }
    if (OpenFile(requestedOffset == 0 && !keepContents)) {
        file.StoreValidator(now);
        outcome = Outcome::Write;
    }
}

void TransferRun::DecideHttp()
{
    const HttpResponse& r = response;
    engine.m_resumable = r.acceptRanges || r.code == 206;
    if (r.code == 206) {
        DecideRange();
        return;
    }
    if (r.code == 416 && requestedOffset == 0 && !keepContents && r.rangeTotal == 0) {
        // An empty file, asked for as a range: no range of it exists.
        total = 0;
        engine.m_fileSize = 0;
        if (KeepOrMoveAside() && OpenFile(true)) {
            file.StoreValidator(SizeValidator(r, 0));
            outcome = Outcome::Write;
            emptyBody = true;
        }
        return;
    }
    if (r.code == 416 && (requestedOffset > 0 || keepContents)) {
        // Bytes on disk as long as the file are the whole file only when
        // Dromo's validator says which: a copy of a segmented partial file
        // that lost its range record is as long, with holes.
        if (r.rangeTotal == requestedOffset && !keepContents && !storedValidator.empty() &&
            !Changed(storedValidator, SizeValidator(r, r.rangeTotal))) {
            engine.m_fileSize = r.rangeTotal;
            outcome = Outcome::AlreadyComplete;
        } else if (storedValidator.empty() && r.rangeTotal == requestedOffset) {
            restartReason = "Nothing tells what the bytes on disk are; downloading the file again from the start";
            outcome = Outcome::Restart;
        } else {
            restartReason = "The file changed on the server; downloading it again from the start";
            outcome = Outcome::Restart;
        }
        return;
    }
    if (r.code >= 200 && r.code < 300) {
        // A whole body: never appended to what is on disk.
        total = r.contentLength;
        engine.m_fileSize = total;
        if (!KeepOrMoveAside()) {
            return;
        }
        if (OpenFile(true)) {
            file.StoreValidator(SizeValidator(r, total));
            outcome = Outcome::Write;
        }
        return;
    }
    if (r.code == 503 || r.code == 429) {
        engine.NoteRetryAfter(r.retryAfter);
    }
    if (r.code == 0) {
        failure = "Error in the server's answer: no valid status line";
    } else if (r.code == 407) {
        failure = "Error 407 from proxy: " + r.reason;
    } else {
        failure = "Error " + std::to_string(r.code) + " from server: " + r.reason;
        if (r.code == 404) {
            failureOutcome = TransferOutcome::NotFound;
        } else if (r.code == 401 || r.code == 403) {
            failureOutcome = TransferOutcome::AccessDenied;
        }
    }
    outcome = Outcome::Failed;
}

// An HTTP address that redirected to FTP: the FTP server's data is the file.
// A resume cannot be checked against anything there, so it starts afresh.
void TransferRun::DecideRedirectedFtp()
{
    engine.m_resumable = true;
    if (requestedOffset > 0) {
        restartReason = "The file moved to an FTP server; downloading it again from the start";
        outcome = Outcome::Restart;
        return;
    }
    curl_off_t size = -1;
    curl_easy_getinfo(engine.m_easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    total = size;
    engine.m_fileSize = total;
    if (KeepOrMoveAside() && OpenFile(true)) {
        file.StoreValidator({});
        outcome = Outcome::Write;
    }
}

void TransferRun::Decide()
{
    if (outcome != Outcome::Undecided) {
        return;
    }
    if (redirectedToFtp) {
        DecideRedirectedFtp();
        return;
    }
    if (!ftp) {
        DecideHttp();
        return;
    }
    // FTP was decided before the download; here the data simply starts.
    if (OpenFile(requestedOffset == 0)) {
        file.StoreValidator(ftpValidator);
        outcome = Outcome::Write;
    }
}

bool TransferRun::OnFtpServer()
{
    if (!redirectedToFtp && !ftp) {
        char* scheme = nullptr;
        curl_easy_getinfo(engine.m_easy, CURLINFO_SCHEME, &scheme);
        redirectedToFtp = scheme != nullptr && strcasecmp(scheme, "ftp") == 0;
    }
    return ftp || redirectedToFtp;
}

void TransferRun::Event(bool final)
{
    const auto now = Clock::now();
    const auto sinceLast = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastEvent).count();
    if (!final && sinceLast < engine.m_refreshMs) {
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
    engine.m_sink.OnProgress("", OnDisk(), speed, kProgressBytes, engine.m_taskId);
}

namespace {

// A server that never ends its head, or sends endless interim answers, is
// refused with a clear protocol error before libcurl runs out of patience.
constexpr std::size_t kMaxHeadBytes = 256 * 1024;
constexpr int kMaxHeads = 32;

std::size_t HeaderCallback(char* data, std::size_t size, std::size_t count, void* user)
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
        if ((code >= 100 && code < 200) || (code >= 300 && code < 400 && run->response.hasLocation) ||
            code == 401 || code == 407) {
            return length;
        }
        run->Decide();
        if (run->outcome == TransferRun::Outcome::Write) {
            run->Digest().TakeServerDigests(run->response);
        }
        if (run->outcome == TransferRun::Outcome::Write && run->segments != nullptr) {
            const std::int64_t from = run->response.code == 206 ? run->requestedOffset : 0;
            run->segments->OnFirstHead(run->response, run->total, from);
            if (!run->segments->RestartReason().empty()) {
                run->restartReason = run->segments->RestartReason();
                run->outcome = TransferRun::Outcome::Restart;
            }
        }
        return run->outcome == TransferRun::Outcome::Write ? length : 0;
    }
    if (line.rfind("HTTP/", 0) == 0 && ++run->heads > kMaxHeads) {
        run->failure = "Error in the server's answer: more than " + std::to_string(kMaxHeads) + " response heads";
        run->outcome = TransferRun::Outcome::Failed;
        return 0;
    }
    run->response.AddLine(line);
    if (run->response.headBytes > kMaxHeadBytes) {
        run->failure = "Error in the server's answer: a response head of more than " +
                       std::to_string(kMaxHeadBytes / 1024) + " KB";
        run->outcome = TransferRun::Outcome::Failed;
        return 0;
    }
    if (line.rfind("HTTP/", 0) == 0) {
        run->Status(line);
    }
    return length;
}

std::size_t WriteCallback(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* run = static_cast<TransferRun*>(user);
    const std::size_t length = size * count;
    run->lastData = Clock::now();
    run->watch.Note(static_cast<std::int64_t>(length), run->lastData);
    if (run->probing) {
        return length;  // libcurl's description of the FTP file, not its data
    }
    if (!run->OnFtpServer() && (run->response.code == 401 || run->response.code == 407) &&
        run->outcome == TransferRun::Outcome::Undecided) {
        return length;  // a challenge's page; decided once the exchange ends
    }
    run->Decide();  // an answer without a head (HTTP/0.9) is decided here
    if (run->outcome != TransferRun::Outcome::Write) {
        return 0;
    }
    if (run->emptyBody) {
        return length;  // the server's words on the refused range
    }
    if (run->segments != nullptr && run->segments->Active()) {
        return run->segments->OnFirstData(data, length);
    }
    run->Digest().Feed(run->file.Size(), data, length);
    if (!run->file.Write(data, length)) {
        run->failure = "Error writing " + run->file.Path() + ": " + run->file.WriteError();
        run->outcome = TransferRun::Outcome::Failed;
        return 0;
    }
    run->received += static_cast<std::int64_t>(length);
    run->Event(false);
    return length;
}

std::once_flag g_curlInit;

}  // namespace

CurlEngine::CurlEngine(ProgressSink& sink) : m_sink(sink)
{
    std::call_once(g_curlInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    m_multiOwner.reset(curl_multi_init());
    m_easyOwner.reset(curl_easy_init());
    m_multi = m_multiOwner.get();
    m_easy = m_easyOwner.get();
}

bool CurlEngine::Ready() const
{
    return m_multi != nullptr && m_easy != nullptr;
}

CurlEngine::~CurlEngine() = default;

bool CurlEngine::IsResumable() { return m_resumable; }
std::string CurlEngine::ErrorText() { return m_error; }
TransferOutcome CurlEngine::Outcome() { return m_outcome; }
std::int64_t CurlEngine::FileSize() { return m_fileSize; }

void CurlEngine::Close()
{
    // An abort asked for between two transfers of a task still cancels the
    // next one; Close marks the end of the task's use of the engine.
    m_abort = false;
}

void CurlEngine::Abort()
{
    m_abort = true;
    curl_multi_wakeup(m_multi);
}

void CurlEngine::SetSpeedLimit(std::int32_t kb) { m_speedLimit = kb; }
void CurlEngine::SetTaskId(std::int16_t id) { m_taskId = id; }
void CurlEngine::SetAutoSave(std::int32_t kb) { m_autoSaveKB = kb; }
void CurlEngine::SetRefresh(std::int32_t ms) { m_refreshMs = ms; }
void CurlEngine::SetIdleTime(std::int32_t s) { m_idleSeconds = s; }
void CurlEngine::SetPasvMode(std::int32_t passive) { m_passive = passive; }
void CurlEngine::SetUserAgent(const std::string& ua) { m_userAgent = ua; }
void CurlEngine::SetHttpVersion(const std::string& v) { m_httpVersion = v; }
void CurlEngine::SetProxyServer1(const std::string& p) { m_httpProxy = p; }
void CurlEngine::SetProxyServer2(const std::string& p) { m_ftpProxy = p; }
void CurlEngine::SetCookies(std::int32_t on) { m_cookies = on; }
void CurlEngine::SetProxyUser1(const std::string& u) { m_httpProxyUser = u; }
void CurlEngine::SetProxyUser2(const std::string& u) { m_ftpProxyUser = u; }
void CurlEngine::SetProxyPassword1(const std::string& p) { m_httpProxyPassword = p; }
void CurlEngine::SetProxyPassword2(const std::string& p) { m_ftpProxyPassword = p; }
void CurlEngine::SetSecure(bool secure) { m_secure = secure; }
void CurlEngine::SetServerNameAllowed(bool allowed) { m_serverNameAllowed = allowed; }
std::string CurlEngine::SavedAs() { return m_savedAs; }
std::int32_t CurlEngine::RetryAfter() { return m_retryAfter; }
void CurlEngine::SetRequestDetails(const std::string& cookie, const std::string& referrer)
{
    m_cookie = cookie;
    m_referrer = referrer;
}
void CurlEngine::NoteRetryAfter(std::int64_t seconds)
{
    m_retryAfter = static_cast<std::int32_t>(std::min<std::int64_t>(seconds, kMaxRetryAfter));
}

void CurlEngine::SetConnections(std::int32_t connections) { m_connections = ClampConnections(connections); }
void CurlEngine::SetFileClaims(FileClaims* claims) { m_claims = claims; }

bool CurlEngine::HttpGet(const std::string& host, std::uint16_t port, const std::string& remotePath,
                         const std::string& saveAs, const std::string& user, const std::string& password)
{
    return CheckedTransfer(TransferRequest{false, host, port, remotePath, saveAs, user, password});
}

bool CurlEngine::FtpGet(const std::string& host, std::uint16_t port, const std::string& remotePath,
                        const std::string& saveAs, const std::string& user, const std::string& password)
{
    return CheckedTransfer(TransferRequest{true, host, port, remotePath, saveAs, user, password});
}

void CurlEngine::Status(const std::string& message)
{
    trace::Line("task " + std::to_string(m_taskId), message);
    m_sink.OnProgress(StatusTimeStamp() + message, 0, 0, kProgressStatus, m_taskId);
}

bool CurlEngine::Fail(const std::string& message, TransferOutcome outcome)
{
    m_error = message;
    m_outcome = outcome;
    Status(message);
    return false;
}

namespace {

// The host as shown in texts: a login someone left in it is never shown.
std::string ShownHost(const std::string& host)
{
    const std::size_t at = host.rfind('@');
    return at == std::string::npos ? host : host.substr(at + 1);
}

std::string DescribeCurlFailure(CURLcode code, const char* detail, const TransferRun& run,
                                const std::string& where, std::int32_t idleSeconds, TransferOutcome& outcome)
{
    outcome = TransferOutcome::Failed;
    const std::string why = detail[0] != '\0' ? detail : curl_easy_strerror(code);
    if ((code == CURLE_OUT_OF_MEMORY || code == CURLE_RECV_ERROR) && why.find("header") != std::string::npos) {
        // libcurl's own limits on a server's head: a protocol fault, not a
        // lost connection to redial for.
        return "Error in the server's answer: " + why;
    }
    if (code == CURLE_OUT_OF_MEMORY && !run.ftp && run.outcome == TransferRun::Outcome::Undecided) {
        // libcurl gives up on a header line longer than it holds (100 KB)
        // with this code and no words.
        return "Error in the server's answer: a response header too large to read";
    }
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "Fail to resolve " + where + ": " + why;
    case CURLE_COULDNT_CONNECT:
        return "Fail to connect to " + where + ": " + why;
    case CURLE_OPERATION_TIMEDOUT:
        if (run.response.code == 0 && run.received == 0 && !run.ftp && !run.slow) {
            return "Fail to connect to " + where + ": no answer for " + std::to_string(idleSeconds) +
                   " seconds";
        }
        return IdleFailureText(idleSeconds, !run.slow);
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        // The classic socket code for a connection aborted mid-transfer:
        // the worker decides by it whether to redial. libcurl's own buffer may
        // still hold an earlier, harmless message here, so its code speaks.
        outcome = TransferOutcome::ConnectionLost;
        return "Error 10053 - connection aborted after " + std::to_string(run.received) +
               " bytes: " + curl_easy_strerror(code);
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return "Fail - secure connection to " + where + " refused: " + why;
    case CURLE_TOO_MANY_REDIRECTS:
        return "Fail - too many redirects: " + why;
    case CURLE_LOGIN_DENIED:
        return "Fail - login denied by " + where + ": " + why;
    case CURLE_UNSUPPORTED_PROTOCOL:
        if (why.find("HTTP/0.9") != std::string::npos) {
            return "Error in the server's answer: it is not HTTP (" + why + ")";
        }
        return "Fail - " + why;
    case CURLE_URL_MALFORMAT:
        return "Fail - " + why;
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_ACCESS_DENIED:
        return "Error - the server refused the file: " + why;
    case CURLE_WEIRD_SERVER_REPLY:
        return "Error in the server's answer: " + why;
    default:
        return "Error - " + why;
    }
}

// "host:port" of the server the transfer last spoke to: after redirects,
// the one a failure really came from, not the first one asked.
std::string ServerOf(CURL* easy, const std::string& host, std::uint16_t port)
{
    long redirects = 0;
    char* effective = nullptr;
    curl_easy_getinfo(easy, CURLINFO_REDIRECT_COUNT, &redirects);
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
    std::string where = ShownHost(host) + ":" + std::to_string(port);
    if (redirects <= 0 || effective == nullptr) {
        return where;
    }
    CURLU* url = curl_url();
    char* newHost = nullptr;
    char* newPort = nullptr;
    if (curl_url_set(url, CURLUPART_URL, effective, 0) == CURLUE_OK &&
        curl_url_get(url, CURLUPART_HOST, &newHost, 0) == CURLUE_OK &&
        curl_url_get(url, CURLUPART_PORT, &newPort, CURLU_DEFAULT_PORT) == CURLUE_OK) {
        where = std::string(newHost) + ":" + newPort;
    }
    curl_free(newHost);
    curl_free(newPort);
    curl_url_cleanup(url);
    return where;
}

// libcurl's words, with what the server said last when that tells more: an
// FTP server's reply, or a proxy's refusal to open a tunnel.
std::string DescribeFailure(CURL* easy, CURLcode code, const char* detail, const TransferRun& run,
                            const std::string& host, std::uint16_t port, std::int32_t idleSeconds,
                            TransferOutcome& outcome)
{
    outcome = TransferOutcome::Failed;
    long connectCode = 0;
    curl_easy_getinfo(easy, CURLINFO_HTTP_CONNECTCODE, &connectCode);
    const std::string where = ServerOf(easy, host, port);
    if (connectCode >= 300) {
        return "Fail - the proxy refused to connect to " + where + " (answer " + std::to_string(connectCode) + ")";
    }
    std::string text = DescribeCurlFailure(code, detail, run, where, idleSeconds, outcome);
    if ((run.ftp || run.redirectedToFtp) && !run.lastReply.empty() && outcome != TransferOutcome::ConnectionLost &&
        run.lastReply[0] >= '4') {
        text += " (server: " + run.lastReply + ")";
    }
    return text;
}

const char* NonEmptyEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
}


bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

bool CurlEngine::SetUp(TransferRun& run, const std::string& url, const std::string& host, const std::string& user,
                       const std::string& password, char* errorBuffer)
{
    // A fresh handle for every transfer: curl_easy_reset keeps the cookies
    // (a browser's, and what servers set) and the cookie engine's state, so
    // one task's cookies went with the next task's requests. Connections
    // and the name cache live in the multi handle and are reused all the same.
    m_easyOwner.reset(curl_easy_init());
    m_easy = m_easyOwner.get();
    if (m_easy == nullptr) {
        return false;
    }
    CURL* e = m_easy;
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, HeaderCallback);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &run);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, WriteCallback);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &run);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
    // A proxy's answer to CONNECT is the tunnel's, never the file's.
    curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    // Certificates as the curl tool finds them: a bundle named in the
    // environment replaces the system's store (a self-hosted CA); checking
    // is never switched off.
    if (const char* bundle = NonEmptyEnvironment("CURL_CA_BUNDLE")) {
        curl_easy_setopt(e, CURLOPT_CAINFO, bundle);
    } else if (const char* file = NonEmptyEnvironment("SSL_CERT_FILE")) {
        curl_easy_setopt(e, CURLOPT_CAINFO, file);
    }
    if (const char* folder = NonEmptyEnvironment("SSL_CERT_DIR")) {
        curl_easy_setopt(e, CURLOPT_CAPATH, folder);
    }
    SetUpPace(e);
    SetUpIdentity(e, run, host, user, password);
    return true;
}

// The read size, the user agent, the speed limit, the idle time-outs and
// the HTTP version.
void CurlEngine::SetUpPace(CURL* e)
{
    // libcurl's rate limiter only holds with small reads; a read never takes
    // more than a quarter second of the limit, so throttling never looks idle.
    const long buffer = m_speedLimit > 0 ? std::clamp(static_cast<long>(m_speedLimit) * 256, 1024L, 16384L)
                                         : 256L * 1024;
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, buffer);
    if (!m_userAgent.empty()) {
        curl_easy_setopt(e, CURLOPT_USERAGENT, m_userAgent.c_str());
    }
    if (m_speedLimit > 0) {
        curl_easy_setopt(e, CURLOPT_MAX_RECV_SPEED_LARGE, static_cast<curl_off_t>(m_speedLimit) * 1024);
    }
    // Idleness is watched by Perform; libcurl's low-speed check averages
    // over several seconds and would overshoot a short idle time.
    if (m_idleSeconds > 0) {
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, static_cast<long>(m_idleSeconds));
        curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(m_idleSeconds));
        curl_easy_setopt(e, CURLOPT_ACCEPTTIMEOUT_MS, static_cast<long>(m_idleSeconds) * 1000);
    }
    if (m_httpVersion == "1.0") {
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    } else if (m_httpVersion == "0.9") {
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(e, CURLOPT_HTTP09_ALLOWED, 1L);
    } else {
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    }
}

// Cookies, referrer, the server's and the proxy's logins, FTP's mode.
void CurlEngine::SetUpIdentity(CURL* e, const TransferRun& run, const std::string& host, const std::string& user,
                               const std::string& password)
{
    if (m_cookies != 0) {
        curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");  // cookies kept for this transfer's requests
    }
    if (!m_referrer.empty()) {
        curl_easy_setopt(e, CURLOPT_REFERER, m_referrer.c_str());
    }
    // A browser's cookies go into libcurl's cookie store for the URL's own
    // host, so a redirect to another site never carries them.
    // A browser hands over the cookies it sends to this URL, without their
    // attributes: those it sent over TLS may be Secure ones, so they go
    // over TLS only, never after a redirect to plain HTTP. Host-only (the
    // URL's host, no subdomain) as the tightest reading of what it sent.
    for (const std::string& line : CookieLines(m_cookie, ShownHost(host), m_secure)) {
        curl_easy_setopt(e, CURLOPT_COOKIELIST, line.c_str());
    }
    if (!user.empty()) {
        curl_easy_setopt(e, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD, password.c_str());
        if (!run.ftp) {
            // Whatever scheme the server asks for (Basic, Digest, NTLM,
            // Negotiate where libcurl has it).
            curl_easy_setopt(e, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
        }
    }
    const std::string& proxy = run.ftp ? m_ftpProxy : m_httpProxy;
    // An empty proxy also keeps libcurl from taking one from the environment.
    const std::string proxyUrl = proxy.empty() ? std::string() : "http://" + proxy;
    curl_easy_setopt(e, CURLOPT_PROXY, proxyUrl.c_str());  // libcurl copies option strings
    if (!proxy.empty()) {
        const std::string& proxyUser = run.ftp ? m_ftpProxyUser : m_httpProxyUser;
        const std::string& proxyPassword = run.ftp ? m_ftpProxyPassword : m_httpProxyPassword;
        if (!proxyUser.empty()) {
            curl_easy_setopt(e, CURLOPT_PROXYUSERNAME, proxyUser.c_str());
            curl_easy_setopt(e, CURLOPT_PROXYPASSWORD, proxyPassword.c_str());
            curl_easy_setopt(e, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY));
        }
        if (run.ftp) {
            curl_easy_setopt(e, CURLOPT_HTTPPROXYTUNNEL, 1L);  // FTP through the proxy's tunnel
        }
    }
    if (run.ftp) {
        // Active mode cannot pass a proxy tunnel; there the transfer is passive.
        const bool active = m_passive == 0 && proxy.empty();
        curl_easy_setopt(e, CURLOPT_FTPPORT, active ? "-" : nullptr);
        curl_easy_setopt(e, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    }
}

CURLcode CurlEngine::Perform(TransferRun& run)
{
    curl_multi_add_handle(m_multi, m_easy);
    CURLcode result = CURLE_OK;
    bool aborted = false;
    const auto idle = std::chrono::seconds(m_idleSeconds);
    SegmentedTransfer* const segments = run.segments;
    for (;;) {
        if (m_abort) {
            aborted = true;
            break;
        }
        const bool segmented = segments != nullptr && segments->Active();
        if (m_idleSeconds > 0 && !segmented) {
            // Under a speed limit libcurl reads ahead and then pauses on
            // purpose; silence counts only from when it is due to read again.
            auto quietSince = run.lastData;
            if (m_speedLimit > 0) {
                const auto due = run.start + std::chrono::milliseconds(run.received * 1000 /
                                                                       (std::int64_t{m_speedLimit} * 1024));
                quietSince = std::max(quietSince, due);
            }
            const auto now = Clock::now();
            if (now - quietSince > idle) {
                result = CURLE_OPERATION_TIMEDOUT;
                break;
            }
            if (run.watch.Idle(now)) {
                run.slow = true;  // a byte now and then is no transfer either
                result = CURLE_OPERATION_TIMEDOUT;
                break;
            }
        }
        int running = 0;
        if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
            result = CURLE_OUT_OF_MEMORY;
            break;
        }
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(m_multi, &queued)) {
            if (msg->msg != CURLMSG_DONE) {
                continue;
            }
            if (segments != nullptr && segments->Active()) {
                segments->OnDone(msg->easy_handle, msg->data.result);
            } else if (msg->easy_handle == m_easy) {
                result = msg->data.result;
            }
        }
        if (segments != nullptr && segments->Active()) {
            segments->Step();
            if (!segments->Running()) {
                break;
            }
        } else if (running == 0) {
            break;
        }
        curl_multi_poll(m_multi, nullptr, 0, segments != nullptr && segments->Active() ? segments->PollMs() : 200, nullptr);
    }
    curl_multi_remove_handle(m_multi, m_easy);
    return aborted ? CURLE_ABORTED_BY_CALLBACK : result;
}

// Asks the FTP server for the file's size and time, decides from them and
// what is on disk where to start, then fetches from there.
CURLcode CurlEngine::RunFtp(TransferRun& run, std::int64_t& offset, const std::string& validator)
{
    curl_easy_setopt(m_easy, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(m_easy, CURLOPT_FILETIME, 1L);
    run.probing = true;
    CURLcode code = Perform(run);
    run.probing = false;
    if (code != CURLE_OK) {
        return code;
    }
    curl_off_t size = -1;
    curl_off_t mtime = -1;
    curl_easy_getinfo(m_easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    curl_easy_getinfo(m_easy, CURLINFO_FILETIME_T, &mtime);
    run.ftpValidator = (size >= 0 ? "size=" + std::to_string(size) + "\n" : std::string()) +
                       (mtime >= 0 ? "mtime=" + std::to_string(mtime) + "\n" : std::string());
    run.total = size;
    m_fileSize = size;
    m_resumable = size >= 0;
    if (run.existingTarget) {
        if (!run.KeepOrMoveAside()) {
            return CURLE_OK;
        }
        offset = 0;
    } else if (Changed(validator, run.ftpValidator) || (size >= 0 && offset > size) ||
               (size >= 0 && offset == size && validator.empty())) {
        offset = 0;  // as long as the file, but nothing says it is the file
    } else if (size >= 0 && offset == size && offset > 0) {
        run.outcome = TransferRun::Outcome::AlreadyComplete;
        return CURLE_OK;
    }
    run.requestedOffset = offset;
    curl_easy_setopt(m_easy, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(m_easy, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(offset));
    code = Perform(run);
    if (code == CURLE_OK) {
        run.Decide();  // an empty file brings no data, but is a file
    }
    return code;
}

// One HTTP request from the offset, validated by If-Range when a resume.
CURLcode CurlEngine::RunHttp(TransferRun& run, std::int64_t offset, const std::string& validator)
{
    HeaderList headers;
    const std::int64_t last = run.requestedLast;
    const std::string range = std::to_string(offset) + "-" + (last >= 0 ? std::to_string(last) : std::string());
    if (offset > 0 || run.keepContents || last >= 0) {
        curl_easy_setopt(m_easy, CURLOPT_RANGE, range.c_str());
    }
    if (offset > 0 || run.keepContents) {
        const std::string etag = Field(validator, "etag");
        const std::string lm = Field(validator, "lm");
        const std::string ifRange = etag.size() >= 2 && etag.front() == '"' ? etag : lm;
        if (!ifRange.empty() && FitsInHeader(ifRange)) {
            AppendHeader(headers, "If-Range: " + ifRange);
        }
    }
    AppendHeader(headers, "Accept-Encoding: identity");
    curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, headers.get());
    const CURLcode code = Perform(run);
    curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, nullptr);
    if (code == CURLE_OK && run.outcome == TransferRun::Outcome::Undecided) {
        run.Decide();  // a head with no body, or a challenge that was not met
    }
    return code;
}

// The name the finished file takes instead of the target's: the one the
// server suggests, or the last URL's after redirects; "" to keep the target.
std::string CurlEngine::ServerFileName(const TransferRun& run)
{
    if (!m_serverNameAllowed) {
        return {};
    }
    std::string name = run.ftp || run.redirectedToFtp ? std::string() : SafeFileName(run.response.fileName);
    if (name.empty()) {
        long redirects = 0;
        char* effective = nullptr;
        curl_easy_getinfo(m_easy, CURLINFO_REDIRECT_COUNT, &redirects);
        curl_easy_getinfo(m_easy, CURLINFO_EFFECTIVE_URL, &effective);
        if (redirects > 0 && effective != nullptr) {
            name = FileNameFromUrl(effective);
            if (name == kFallbackFileName) {
                name.clear();
            }
        }
    }
    return name == NameOfPath(run.file.Target()) ? std::string() : name;
}

bool CurlEngine::Finish(TransferRun& run, std::int64_t bytes)
{
    const std::string name = ServerFileName(run);
    const std::string destination = name.empty() ? std::string() : FolderOfPath(run.file.Target()) + name;
    // Dated as the server dates it, so the file is known again even where
    // no record of it can be kept. A 416 that found the file complete says
    // nothing itself: then what was stored when it was begun.
    std::int64_t serverTime = ValidatorTime(run.ServerVersion());
    run.file.SetFinishedTime(serverTime >= 0 ? serverTime : ValidatorTime(run.storedValidator));
    if (!CheckDigest(run.file)) {
        return false;
    }
    const auto mayTake = [this](const std::string& path) {
        return m_claims == nullptr || (!Exists(path) && m_claims->Claim(path));
    };
    const std::string error = run.file.Finish(destination, mayTake);
    if (!error.empty()) {
        if (m_claims != nullptr) {
            m_claims->Claim(run.file.Target());  // the partial file stays under its own name
        }
        return Fail("Error renaming " + run.file.Path() + " to " +
                    (destination.empty() ? run.file.Target() : destination) + ": " + error);
    }
    m_savedAs = run.file.Target();
    m_outcome = TransferOutcome::Completed;
    if (!name.empty()) {
        Status("Saved as " + NameOfPath(m_savedAs));
    }
    m_sink.OnProgress("", bytes, 0, kProgressBytes, m_taskId);
    Status(m_verified.empty() ? "File has been downloaded" : "File has been downloaded - Verified " + m_verified);
    return true;
}

struct CurlEngine::ResumePoint {
    std::int64_t offset = 0;            // bytes on disk to go on from
    std::string validator;              // the server's version they came from
    std::int64_t existing = -1;         // size of a file of the target's name that is not ours
    std::string existingRecord;         // what Dromo recorded of that file when it finished it
    std::int64_t existingModified = -1;
    std::optional<SegmentPlan> plan;    // the ranges still missing from a sparse partial file
};

// Refuses what no request can help: a folder as the target, an FTP folder
// URL, a folder the file cannot be written into.
bool CurlEngine::CheckTarget(const TransferRequest& request)
{
    if (IsFolder(request.saveAs)) {
        return Fail("Fail - the target " + request.saveAs + " is a folder, not a file");
    }
    if (request.ftp && !request.remotePath.empty() && request.remotePath.back() == '/') {
        return Fail("Fail - ftp://" + ShownHost(request.host) + ":" + std::to_string(request.port) +
                    request.remotePath + " is a folder on the server, not a file");
    }
    const std::string folder = DirectoryOf(request.saveAs);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return Fail("Fail to write into " + folder + ": " + std::strerror(errno));
    }
    return true;
}

std::string CurlEngine::ClaimFreeName(const std::string& target)
{
    return FirstFreePath(target, [this](const std::string& path) {
        return Exists(path) || Exists(path + PartialFile::kSuffix) || (m_claims != nullptr && !m_claims->Claim(path));
    });
}

bool CurlEngine::OwnPartialFile(const PartialFile& file)
{
    return file.Marked() || (m_claims != nullptr && m_claims->OwnsPartialFile(file.Target()));
}

// Values that go into a request as they are, whoever gave them: a line
// break in one would add headers (or FTP commands) of the sender's choosing.
bool CurlEngine::CheckHeaderValues(const TransferRequest& request)
{
    const struct {
        const char* what;
        const std::string& value;
        bool checked;
    } values[] = {{"user agent", m_userAgent, true},
                  {"referrer", m_referrer, true},
                  {"cookie", m_cookie, true},
                  {"FTP login", request.user, request.ftp},
                  {"FTP password", request.password, request.ftp}};
    for (const auto& v : values) {
        if (v.checked && !FitsInHeader(v.value)) {
            return Fail(std::string("Fail - the ") + v.what +
                        " holds a line break or another control character; nothing was sent");
        }
    }
    if (m_cookie.size() > kMaxCookieBytes) {
        return Fail("Fail - the cookie is " + std::to_string(m_cookie.size()) + " bytes, more than the " +
                    std::to_string(kMaxCookieBytes) + " a request may carry; nothing was sent");
    }
    return true;
}

// Where the bytes on disk let the transfer go on. Only our own partial file
// is ever continued: a "+++" file without Dromo's mark, that the task list
// does not know either, is somebody else's and stays as it is, while the
// download goes to a free name. A file of the target's name without a
// partial file is somebody's finished file.
bool CurlEngine::ReadResumePoint(const TransferRequest& request, PartialFile& file, ResumePoint& resume)
{
    if (file.SizeOnDisk() >= 0 && !OwnPartialFile(file)) {
        const std::string target = file.Target();
        const std::string free = ClaimFreeName(target);
        if (free.empty()) {
            return Fail("Fail - no free file name beside " + target);
        }
        file.Retarget(free);
        m_savedAs = free;
        Status("Saving as " + NameOfPath(free) + ": " + NameOfPath(target) + PartialFile::kSuffix +
               " was not written by Dromo");
    }
    resume.offset = file.SizeOnDisk();
    if (resume.offset >= 0) {
        resume.validator = file.StoredValidator();
        const std::string ranges = file.StoredRanges();
        if (!ranges.empty()) {
            resume.plan = request.ftp ? std::nullopt : SegmentPlan::Parse(ranges);
            if (!resume.plan) {
                resume.offset = 0;  // holes nobody can name: never read as a prefix
            }
        }
        return true;
    }
    resume.offset = 0;
    const std::string& target = file.Target();
    if (!IsRegularFile(target, resume.existing) && Exists(target)) {
        return Fail("Fail - the target " + target + " exists and is not a file");
    }
    if (resume.existing >= 0) {
        resume.existingRecord = PartialFile::FinishedRecord(target);
        resume.existingModified = SetModificationTime(target);
    }
    return true;
}

// After a round that wrote the server's answer: the file is whole and
// finished, or the call fails with what went wrong.
bool CurlEngine::Conclude(TransferRun& run, CURLcode code, std::unique_ptr<SegmentedTransfer>& segments,
                          const char* errorBuffer, const TransferRequest& request)
{
    if (code == CURLE_OK && segments && segments->Active()) {
        if (!segments->Settle() || !segments->Complete()) {
            const bool lost = segments->Failure().empty();
            return Fail(lost ? "Error 10053 - connection closed before the file was complete" : segments->Failure(),
                        lost ? TransferOutcome::ConnectionLost : segments->FailureOutcome());
        }
        segments->FinalEvent();
        const std::int64_t total = segments->Total();
        segments.reset();  // every connection closed before the rename
        return Finish(run, total);
    }
    if (code != CURLE_OK || run.outcome != TransferRun::Outcome::Write) {
        TransferOutcome outcome = TransferOutcome::Failed;
        const std::string text = DescribeFailure(m_easy, code == CURLE_OK ? CURLE_GOT_NOTHING : code, errorBuffer,
                                                 run, request.host, request.port, m_idleSeconds, outcome);
        return Fail(text, outcome);
    }
    PartialFile& file = run.file;
    if (!file.Flush()) {
        return Fail("Error writing " + file.Path() + ": " + file.WriteError());
    }
    if (run.total >= 0 && file.Size() != run.total) {
        return Fail("Error 10053 - connection closed after " + std::to_string(file.Size()) + " of " +
                        std::to_string(run.total) + " bytes",
                    TransferOutcome::ConnectionLost);
    }
    run.Event(true);
    return Finish(run, file.Size());
}

bool CurlEngine::Transfer(const TransferRequest& request)
{
    m_error.clear();
    m_outcome = TransferOutcome::Failed;
    m_resumable = false;
    m_fileSize = -1;
    m_retryAfter = -1;
    m_savedAs = request.saveAs;
    Status("Connecting to " + ShownHost(request.host) + ":" + std::to_string(request.port) + "...");
    if (!CheckTarget(request) || !CheckHeaderValues(request)) {
        return false;
    }
    if (!m_checksumError.empty()) {
        return Fail("Fail - the checksum cannot be read: " + m_checksumError);
    }
    const std::string scheme = request.ftp ? "ftp" : (m_secure ? "https" : "http");
    const std::string url = scheme + "://" + request.host + ":" + std::to_string(request.port) +
                            EncodePath(request.remotePath);
    PartialFile file(request.saveAs);
    ResumePoint resume;
    if (!ReadResumePoint(request, file, resume)) {
        return false;
    }

    // A second round starts from zero when the server's file turned out to
    // differ from the one the bytes on disk came from.
    std::string restartReason;
    bool rangesFit = true;  // a server that cannot answer a bounded range gets one plain request
    for (int round = 0; round < 2; ++round) {
        std::unique_ptr<SegmentedTransfer> segments;
        m_digest.Begin();
        std::int64_t from = resume.offset;
        std::int64_t last = -1;
        if (!request.ftp && (m_connections > 1 || resume.plan) && rangesFit) {
            segments = std::make_unique<SegmentedTransfer>(
                *this, file, ShownHost(request.host) + ":" + std::to_string(request.port), resume.plan);
            from = resume.plan ? segments->ResumeOffset() : resume.offset;
            last = segments->FirstRequestLast(from);
        }
        TransferRun run{*this, file, request.ftp, resume.existing, from, resume.validator};
        run.existingRecord = resume.existingRecord;
        run.existingModified = resume.existingModified;
        run.requestedLast = last;
        run.segments = segments.get();
        run.keepContents = resume.plan.has_value();
        run.startBytes = resume.plan ? resume.plan->Present() : -1;
        char errorBuffer[CURL_ERROR_SIZE] = {};
        if (!SetUp(run, url, request.host, request.user, request.password, errorBuffer)) {
            return Fail("Error - out of memory");
        }
        const CURLcode code =
            request.ftp ? RunFtp(run, resume.offset, resume.validator) : RunHttp(run, from, resume.validator);

        using Outcome = TransferRun::Outcome;
        if (segments && !segments->RestartReason().empty()) {
            run.outcome = Outcome::Restart;
            run.restartReason = segments->RestartReason();
        }
        if (code == CURLE_ABORTED_BY_CALLBACK) {
            return Fail("Error - cancelled by user.", TransferOutcome::Cancelled);
        }
        switch (run.outcome) {
        case Outcome::AlreadyExisted:
            m_sink.OnProgress("", run.existingSize, 0, kProgressBytes, m_taskId);
            m_outcome = TransferOutcome::AlreadyExisted;
            m_error = "File has already existed";
            Status(m_error);
            return true;
        case Outcome::AlreadyComplete:
            return Finish(run, resume.offset);
        case Outcome::Restart:
            Status(run.restartReason);
            restartReason = run.restartReason;
            rangesFit = rangesFit && !run.misfit;
            resume.offset = 0;
            resume.validator.clear();
            resume.plan.reset();
            if (file.Target() != request.saveAs) {
                resume.existing = -1;  // already moved aside to a free name
            }
            continue;
        case Outcome::Failed:
            return Fail(run.failure, run.failureOutcome);
        case Outcome::Undecided:
        case Outcome::Write:
            break;
        }
        return Conclude(run, code, segments, errorBuffer, request);
    }
    if (restartReason.find("changed") != std::string::npos) {
        return Fail("Error - the server keeps changing the file; try again later");
    }
    return Fail("Error in the server's answer: its partial answers do not fit the file; try again later");
}

CurlEngineFactory::CurlEngineFactory()
{
    std::call_once(g_curlInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::shared_ptr<TransferEngine> CurlEngineFactory::Create(ProgressSink& sink)
{
    auto engine = std::make_shared<CurlEngine>(sink);
    return engine->Ready() ? engine : nullptr;
}

}  // namespace dromo
