#include "engine/curlengine.h"

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

#include "base/ports/fileclaims.h"
#include "base/text/cookiejar.h"
#include "base/text/filenames.h"
#include "base/text/parseurl.h"
#include "base/text/progresstexts.h"
#include "base/text/requestdetails.h"
#include "base/text/trace.h"
#include "base/values/globaloptions.h"
#include "base/values/protocoltexts.h"
#include "base/values/proxylist.h"
#include "base/values/taskrecord.h"
#include "engine/cookielines.h"
#include "engine/failuretext.h"
#include "engine/partialfile.h"
#include "engine/responsedecision.h"
#include "engine/segmentedtransfer.h"
#include "engine/transferrun.h"
#include "engine/validator.h"

namespace dromo {
namespace {

using Clock = std::chrono::steady_clock;

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
    const bool setByProgram =
        st.st_mtim.tv_nsec == 0 && (st.st_ctim.tv_sec != st.st_mtim.tv_sec || st.st_ctim.tv_nsec != st.st_mtim.tv_nsec);
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

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

const char* NonEmptyEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
}

std::once_flag g_curlInit;

}  // namespace

CurlEngine::CurlEngine(ProgressSink& sink, HostConnections& hosts) : m_sink(sink), m_hosts(hosts)
{
    std::call_once(g_curlInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    m_multiOwner.reset(curl_multi_init());
    m_easyOwner.reset(curl_easy_init());
    m_multi = m_multiOwner.get();
    m_easy = m_easyOwner.get();
    if (m_multi != nullptr) {
        // Transfers of this engine to one host go as streams of one HTTP/2
        // connection where the server speaks it (a recording's pieces).
        curl_multi_setopt(m_multi, CURLMOPT_PIPELINING, static_cast<long>(CURLPIPE_MULTIPLEX));
    }
}

bool CurlEngine::Ready() const
{
    return m_multi != nullptr && m_easy != nullptr;
}

CurlEngine::~CurlEngine() = default;

bool CurlEngine::IsResumable()
{
    return m_resumable;
}
std::string CurlEngine::ErrorText()
{
    return m_error;
}
TransferOutcome CurlEngine::Outcome()
{
    return m_outcome;
}
std::int64_t CurlEngine::FileSize()
{
    return m_fileSize;
}

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

std::string CurlEngine::SavedAs()
{
    return m_savedAs;
}
std::int32_t CurlEngine::RetryAfter()
{
    return m_retryAfter;
}
MirrorList CurlEngine::AnnouncedMirrors()
{
    return m_announcedMirrors;
}
void CurlEngine::NoteRetryAfter(std::int64_t seconds)
{
    m_retryAfter = static_cast<std::int32_t>(std::min<std::int64_t>(seconds, kMaxRetryAfter));
}
void CurlEngine::SetFileClaims(FileClaims* claims)
{
    m_claims = claims;
}
void CurlEngine::NewSettings()
{
    m_cookies.Restart();
}

// One call at a time: the request lives on the caller's stack for the call.
bool CurlEngine::Transfer(const TransferRequest& request)
{
    m_request = &request;
    m_digest.Expect(request.digests);
    const bool ok = CheckedTransfer(request);
    m_request = nullptr;
    return ok;
}

RunContext CurlEngine::Lend()
{
    return RunContext{Settings(),
                      m_sink,
                      m_hosts,
                      m_easy,
                      m_digest,
                      m_claims,
                      !m_request->pieces.Empty(),
                      m_request->maxFileSize,
                      m_resumable,
                      m_fileSize,
                      m_savedAs,
                      m_announcedMirrors,
                      m_tooLarge,
                      [this](const std::string& line) { Status(line); },
                      [this](const std::string& target) { return ClaimFreeName(target); },
                      [this](std::int64_t seconds) { NoteRetryAfter(seconds); }};
}

void CurlEngine::Status(const std::string& message, StatusTone tone)
{
    trace::Line("task " + std::to_string(Settings().taskId), message);
    m_sink.OnProgress(Progress::Status(Settings().taskId, StatusTimeStamp() + message, tone));
}

bool CurlEngine::Fail(const std::string& message, TransferOutcome outcome)
{
    m_error = message;
    m_outcome = outcome;
    Status(message, StatusTone::Failure);
    return false;
}

bool CurlEngine::SetUp(TransferRun& run, const std::string& url, const std::string& user, const std::string& password,
                       char* errorBuffer)
{
    // A fresh handle for every transfer: curl_easy_reset keeps the cookies
    // (a browser's, and what servers set) and the cookie engine's state, so
    // one task's cookies went with the next task's requests. Connections
    // and the name cache live in the multi handle and are reused all the same.
    // What the last handle's servers set stays in the task's jar.
    m_cookies.TakeFrom(m_easy);
    m_cookies.Forget(m_easy);
    m_easyOwner.reset(curl_easy_init());
    m_easy = m_easyOwner.get();
    if (m_easy == nullptr) {
        return false;
    }
    CURL* e = m_easy;
    m_hosts.Share().Join(e);
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, TransferRun::OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &run);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, TransferRun::OnData);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &run);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
    // A proxy's answer to CONNECT is the tunnel's, never the file's.
    curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    // Certificates as the curl tool finds them: a bundle named in the
    // environment replaces the system's store (a self-hosted CA); checking
    // is never switched off. An HTTPS proxy is trusted as servers are: a
    // company's proxy has its certificate from the company's CA.
    const char* bundle = NonEmptyEnvironment("CURL_CA_BUNDLE");
    if (bundle == nullptr) {
        bundle = NonEmptyEnvironment("SSL_CERT_FILE");
    }
    if (bundle != nullptr) {
        curl_easy_setopt(e, CURLOPT_CAINFO, bundle);
        curl_easy_setopt(e, CURLOPT_PROXY_CAINFO, bundle);
    }
    if (const char* folder = NonEmptyEnvironment("SSL_CERT_DIR")) {
        curl_easy_setopt(e, CURLOPT_CAPATH, folder);
        curl_easy_setopt(e, CURLOPT_PROXY_CAPATH, folder);
    }
    SetUpPace(e);
    SetUpIdentity(e, run, user, password);
    return true;
}

// The read size, the user agent, the speed limit, the idle time-outs and
// the HTTP version.
void CurlEngine::SetUpPace(CURL* e)
{
    // libcurl's rate limiter only holds with small reads; a read never takes
    // more than a quarter second of the limit, so throttling never looks idle.
    const long buffer = Settings().speedLimit > 0
                            ? std::clamp(static_cast<long>(Settings().speedLimit) * 256, 1024L, 16384L)
                            : 256L * 1024;
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, buffer);
    if (!Settings().userAgent.empty()) {
        curl_easy_setopt(e, CURLOPT_USERAGENT, Settings().userAgent.c_str());
    }
    if (Settings().speedLimit > 0) {
        curl_easy_setopt(e, CURLOPT_MAX_RECV_SPEED_LARGE, static_cast<curl_off_t>(Settings().speedLimit) * 1024);
    }
    // Idleness is watched by Perform; libcurl's low-speed check averages
    // over several seconds and would overshoot a short idle time.
    if (Settings().idleSeconds > 0) {
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, static_cast<long>(Settings().idleSeconds));
        curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(Settings().idleSeconds));
        curl_easy_setopt(e, CURLOPT_ACCEPTTIMEOUT_MS, static_cast<long>(Settings().idleSeconds) * 1000);
    }
    if (Settings().httpVersion == "2") {
        // HTTP/2 only where the server offers it in the TLS handshake (ALPN):
        // plain HTTP, and servers that offer only 1.1, speak 1.1 as before.
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_2TLS));
    } else if (Settings().httpVersion == "1.0") {
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    } else if (Settings().httpVersion == "0.9") {
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(e, CURLOPT_HTTP09_ALLOWED, 1L);
    } else {
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    }
}

// Cookies, referrer, the server's and the proxy's logins, FTP's mode.
void CurlEngine::SetUpIdentity(CURL* e, const TransferRun& run, const std::string& user, const std::string& password)
{
    // The task's jar, with the cookie engine on for every request of the
    // transfer; cookies the servers set are kept for the task's later
    // requests. Without cookies of its own only the option turns it on.
    if (Settings().cookies != 0 || m_cookies.Any()) {
        m_cookies.LoadInto(e);
    }
    if (!m_request->details.referrer.empty()) {
        curl_easy_setopt(e, CURLOPT_REFERER, m_request->details.referrer.c_str());
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
    const std::string& proxy = Settings().proxy.server;
    // An empty proxy also keeps libcurl from taking one from the environment.
    const std::string proxyUrl = ProxyUrl(proxy);
    curl_easy_setopt(e, CURLOPT_PROXY, proxyUrl.c_str());  // libcurl copies option strings
    if (!proxy.empty()) {
        const std::string& proxyUser = Settings().proxy.user;
        const std::string& proxyPassword = Settings().proxy.password;
        if (!proxyUser.empty()) {
            curl_easy_setopt(e, CURLOPT_PROXYUSERNAME, proxyUser.c_str());
            curl_easy_setopt(e, CURLOPT_PROXYPASSWORD, proxyPassword.c_str());
            curl_easy_setopt(e, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY));
        }
        if (run.ftp) {
            curl_easy_setopt(e, CURLOPT_HTTPPROXYTUNNEL, 1L);  // FTP through the proxy's tunnel
        }
    }
    // AUTH TLS before the login whenever the server offers TLS, so a
    // password goes in clear only to a server without it; with "Require
    // TLS for FTP" to none. A redirect to an FTP server does the same.
    // TLS is asked for by its own name first, the old AUTH SSL after.
    curl_easy_setopt(e, CURLOPT_USE_SSL,
                     static_cast<long>(Settings().ftpTlsRequired ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    curl_easy_setopt(e, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
    if (run.ftp) {
        // Active mode cannot pass a proxy tunnel, nor TLS: libcurl takes no
        // data connection over TLS from the server, which then waits after
        // "150 Opening data connection". There the transfer is passive.
        const bool active = Settings().passive == 0 && proxy.empty() && !run.secure;
        curl_easy_setopt(e, CURLOPT_FTPPORT, active ? "-" : nullptr);
        curl_easy_setopt(e, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    }
}

CURLcode CurlEngine::Perform(TransferRun& run)
{
    curl_multi_add_handle(m_multi, m_easy);
    CURLcode result = CURLE_OK;
    bool aborted = false;
    const auto idle = std::chrono::seconds(Settings().idleSeconds);
    SegmentedTransfer* const segments = run.segments;
    for (;;) {
        if (m_abort) {
            aborted = true;
            break;
        }
        const bool segmented = segments != nullptr && segments->Active();
        if (Settings().idleSeconds > 0 && !segmented) {
            // Under a speed limit libcurl reads ahead and then pauses on
            // purpose; silence counts only from when it is due to read again.
            auto quietSince = run.lastData;
            if (Settings().speedLimit > 0) {
                const auto due = run.start + std::chrono::milliseconds(run.received * 1000 /
                                                                       (std::int64_t{Settings().speedLimit} * 1024));
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
        if (segments != nullptr && segments->Active()) {
            // How long it waits for the network tells whether more
            // connections could bring more than this machine takes in.
            const auto before = Clock::now();
            curl_multi_poll(m_multi, nullptr, 0, segments->PollMs(), nullptr);
            segments->NoteWait(Clock::now() - before);
        } else {
            curl_multi_poll(m_multi, nullptr, 0, 200, nullptr);
        }
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
    if (code == CURLE_OK && run.tlsTaken && !run.secure) {
        // The server took AUTH TLS while the file was asked about: the
        // file itself comes over TLS, so passively.
        curl_easy_setopt(m_easy, CURLOPT_FTPPORT, nullptr);
        run.secure = true;
    }
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
    } else if (ServerFileChanged(validator, run.ftpValidator) || (size >= 0 && offset > size) ||
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
        const std::string etag = ValidatorField(validator, "etag");
        const std::string lm = ValidatorField(validator, "lm");
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
    if (!m_request->serverNameAllowed) {
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
                        (destination.empty() ? run.file.Target() : destination) + ": " + error,
                    TransferOutcome::LocalFileError);
    }
    m_savedAs = run.file.Target();
    m_outcome = TransferOutcome::Completed;
    if (!name.empty()) {
        Status("Saved as " + NameOfPath(m_savedAs));
    }
    m_sink.OnProgress(Progress::Bytes(Settings().taskId, bytes, 0));
    Status(m_verified.empty() ? std::string(texts::kFileDownloaded)
                              : texts::kFileDownloaded + (texts::kVerified + m_verified),
           StatusTone::Done);
    return true;
}

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
        return Fail("Fail to write into " + folder + ": " + std::strerror(errno), TransferOutcome::LocalFileError);
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
    } values[] = {{"user agent", Settings().userAgent, true},
                  {"referrer", request.details.referrer, true},
                  {"cookie", request.details.cookie, true},
                  {"FTP login", request.user, request.ftp},
                  {"FTP password", request.password, request.ftp}};
    for (const auto& v : values) {
        if (v.checked && !FitsInHeader(v.value)) {
            return Fail(std::string("Fail - the ") + v.what +
                        " holds a line break or another control character; nothing was sent");
        }
    }
    if (request.details.cookie.size() > kMaxCookieBytes) {
        return Fail("Fail - the cookie is " + std::to_string(request.details.cookie.size()) + " bytes, more than the " +
                    std::to_string(kMaxCookieBytes) + " a request may carry; nothing was sent");
    }
    const CookieJarReading jar = CookieJar::Read(request.details.cookieJar);
    switch (jar.fault) {
    case CookieJarFault::None: break;
    case CookieJarFault::TooLong:
        return Fail("Fail - the cookie jar is longer than " + std::to_string(CookieJar::kMaxBytes) +
                    " bytes; nothing was sent");
    case CookieJarFault::ControlCharacter:
        return Fail("Fail - the cookie jar holds a carriage return or another control character; nothing was sent");
    case CookieJarFault::BadLine:
        return Fail("Fail - line " + std::to_string(jar.line) + " of the cookie jar is no cookie; nothing was sent");
    }
    return true;
}

// The browser's jar, and its Cookie header as cookies of the URL's own host:
// a browser that hands over only the header hands them without their
// attributes. Those it sent over TLS may be Secure ones, so they go over TLS
// only, never after a redirect to plain HTTP; host-only and for any path, as
// the tightest and the widest reading of what it sent, so a redirect to
// another site never carries them. A cookie the jar holds for the host is
// the jar's, with its own path: the header's copy of it would go to every
// path, and would take the place of one of two cookies of one name.
void CurlEngine::StartCookies(const TransferRequest& request)
{
    CookieJar given = CookieJar::Read(request.details.cookieJar).jar.value_or(CookieJar());
    const CookieJar header =
        CookieJar::FromLines(CookieLines(request.details.cookie, ShownHost(request.host), request.secure));
    const CookieJar browsers = given;
    for (const Cookie& cookie : header.Cookies()) {
        if (!browsers.Holds(cookie.name, cookie.domain)) {
            given.Put(cookie);
        }
    }
    m_cookies.Begin(given);
}

// Where the bytes on disk let the transfer go on. Only our own partial file
// is ever continued: a "+++" file without Dromo's mark, that the task list
// does not know either, is somebody else's and stays as it is, while the
// download goes to a free name. A file of the target's name without a
// partial file is somebody's finished file.
bool CurlEngine::ReadResumePoint(const TransferRequest& request, PartialFile& file, ResumePoint& resume)
{
    resume.offset = file.SizeOnDisk();
    if (resume.offset >= 0 && !OwnPartialFile(file)) {
        const std::string target = file.Target();
        const std::string free = ClaimFreeName(target);
        if (free.empty()) {
            return Fail("Fail - no free file name beside " + target);
        }
        file.Retarget(free);
        m_savedAs = free;
        Status("Saving as " + NameOfPath(free) + ": " + NameOfPath(target) + PartialFile::kSuffix +
               " was not written by Dromo");
        resume.offset = file.SizeOnDisk();
    }
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

CurlEngineFactory::CurlEngineFactory()
{
    std::call_once(g_curlInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::shared_ptr<TransferEngine> CurlEngineFactory::Create(ProgressSink& sink)
{
    auto engine = std::make_shared<CurlEngine>(sink, m_hosts);
    return engine->Ready() ? engine : nullptr;
}

}  // namespace dromo
