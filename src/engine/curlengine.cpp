#include "curlengine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "httpresponse.h"
#include "partialfile.h"

namespace dromo {
namespace {

using Clock = std::chrono::steady_clock;

std::string TimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S ", &local);
    return text;
}

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

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

// What one transfer call knows while it runs: the decision taken on the
// server's answer, the file, the counters for the progress events.
struct TransferRun {
    enum class Outcome { Undecided, Write, AlreadyExisted, AlreadyComplete, Restart, Failed };

    CurlEngine& engine;
    PartialFile& file;
    bool ftp;
    bool existingTarget;           // the target exists and no partial file does
    std::int64_t requestedOffset;  // where this request asked the data to start
    std::string storedValidator;
    std::string ftpValidator;      // what the FTP server said of the file now
    bool probing = false;          // asking an FTP server about the file, not fetching it
    std::string lastReply;         // the FTP server's last reply line
    HttpResponse response;
    Outcome outcome = Outcome::Undecided;
    std::string failure;
    std::int64_t total = -1;
    std::int64_t received = 0;     // bytes of this request's body
    Clock::time_point start = Clock::now();
    Clock::time_point lastData = start;  // last time the server sent anything
    Clock::time_point lastEvent = start;
    std::int64_t lastEventBytes = 0;

    TransferRun(CurlEngine& e, PartialFile& f, bool isFtp, bool existing, std::int64_t offset,
                std::string validator)
        : engine(e), file(f), ftp(isFtp), existingTarget(existing), requestedOffset(offset),
          storedValidator(std::move(validator))
    {
    }

    void Status(const std::string& line) { engine.Status(line); }
    void Decide();
    void DecideHttp();
    bool OpenFile(bool truncate);
    void Event(bool final);
    std::int64_t OnDisk() const { return file.Size(); }
};

bool TransferRun::OpenFile(bool truncate)
{
    if (existingTarget && !truncate) {
        const std::string error = file.AdoptTarget();
        if (!error.empty()) {
            failure = "Fail to continue " + file.Target() + ": " + error;
            outcome = Outcome::Failed;
            return false;
        }
    }
    const std::string error = file.Open(truncate);
    if (!error.empty()) {
        failure = "Fail to open " + file.Path() + ": " + error;
        outcome = Outcome::Failed;
        return false;
    }
    file.SetFlushStep(static_cast<std::size_t>(std::max(engine.m_autoSaveKB, 1)) * 1024);
    engine.m_sink.OnProgress("", file.Size(), 0, kProgressStart, engine.m_taskId);
    lastEventBytes = file.Size();
    return true;
}

void TransferRun::DecideHttp()
{
    const HttpResponse& r = response;
    engine.m_resumable = r.acceptRanges || r.code == 206;
    if (r.code == 206) {
        const std::string now = SizeValidator(r, r.rangeTotal);
        if (r.rangeFirst != requestedOffset || Changed(storedValidator, now)) {
            outcome = Outcome::Restart;  // not the continuation of our bytes
            return;
        }
        total = r.rangeTotal;
        engine.m_fileSize = total;
        if (OpenFile(requestedOffset == 0)) {
            file.StoreValidator(now);
            outcome = Outcome::Write;
        }
        return;
    }
    if (r.code == 416 && requestedOffset > 0) {
        if (r.rangeTotal == requestedOffset) {
            engine.m_fileSize = r.rangeTotal;
            outcome = existingTarget ? Outcome::AlreadyExisted : Outcome::AlreadyComplete;
        } else {
            outcome = Outcome::Restart;
        }
        return;
    }
    if (r.code >= 200 && r.code < 300) {
        // A whole body: never appended to what is on disk.
        total = r.contentLength;
        engine.m_fileSize = total;
        if (existingTarget && total >= 0 && total == requestedOffset) {
            outcome = Outcome::AlreadyExisted;
            return;
        }
        if (OpenFile(true)) {
            file.StoreValidator(SizeValidator(r, total));
            outcome = Outcome::Write;
        }
        return;
    }
    std::string reason = r.reason.empty() ? std::string() : r.reason;
    failure = "Error " + std::to_string(r.code) + " from server: " + reason;
    if (r.code == 0) {
        failure = "Error in the server's answer: no valid status line";
    }
    outcome = Outcome::Failed;
}

void TransferRun::Decide()
{
    if (outcome != Outcome::Undecided) {
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

std::size_t HeaderCallback(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* run = static_cast<TransferRun*>(user);
    const std::size_t length = size * count;
    run->lastData = Clock::now();
    std::string line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    if (run->ftp) {
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
        // are not the file's.
        const int code = run->response.code;
        if ((code >= 100 && code < 200) || (code >= 300 && code < 400 && run->response.hasLocation)) {
            return length;
        }
        run->Decide();
        return run->outcome == TransferRun::Outcome::Write ? length : 0;
    }
    run->response.AddLine(line);
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
    if (run->probing) {
        return length;  // libcurl's description of the FTP file, not its data
    }
    run->Decide();  // an answer without a head (HTTP/0.9) is decided here
    if (run->outcome != TransferRun::Outcome::Write) {
        return 0;
    }
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
    m_multi = curl_multi_init();
    m_easy = curl_easy_init();
}

bool CurlEngine::Ready() const
{
    return m_multi != nullptr && m_easy != nullptr;
}

CurlEngine::~CurlEngine()
{
    curl_easy_cleanup(m_easy);
    curl_multi_cleanup(m_multi);
}

bool CurlEngine::IsResumable() { return m_resumable; }
std::string CurlEngine::ErrorText() { return m_error; }
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

bool CurlEngine::HttpGet(const std::string& host, std::uint16_t port, const std::string& remotePath,
                         const std::string& saveAs, const std::string& user, const std::string& password)
{
    return Transfer(false, host, port, remotePath, saveAs, user, password);
}

bool CurlEngine::FtpGet(const std::string& host, std::uint16_t port, const std::string& remotePath,
                        const std::string& saveAs, const std::string& user, const std::string& password)
{
    return Transfer(true, host, port, remotePath, saveAs, user, password);
}

void CurlEngine::Status(const std::string& message)
{
    m_sink.OnProgress(TimeStamp() + message, 0, 0, kProgressStatus, m_taskId);
}

bool CurlEngine::Fail(const std::string& message)
{
    m_error = message;
    Status(message);
    return false;
}

namespace {

std::string DescribeCurlFailure(CURLcode code, const char* detail, const TransferRun& run,
                                const std::string& host, std::uint16_t port, std::int32_t idleSeconds)
{
    const std::string why = detail[0] != '\0' ? detail : curl_easy_strerror(code);
    const std::string where = host + ":" + std::to_string(port);
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "Fail to resolve " + where + ": " + why;
    case CURLE_COULDNT_CONNECT:
        return "Fail to connect to " + where + ": " + why;
    case CURLE_OPERATION_TIMEDOUT:
        if (run.response.code == 0 && run.received == 0 && !run.ftp) {
            return "Fail to connect to " + where + ": no answer for " + std::to_string(idleSeconds) +
                   " seconds";
        }
        return "Error - no data received for " + std::to_string(idleSeconds) + " seconds";
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        // The classic socket code for a connection aborted mid-transfer:
        // the worker decides by it whether to redial. libcurl's own buffer may
        // still hold an earlier, harmless message here, so its code speaks.
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

// libcurl's words, with what the server said last when that tells more: an
// FTP server's reply, or a proxy's refusal to open a tunnel.
std::string DescribeFailure(CURL* easy, CURLcode code, const char* detail, const TransferRun& run,
                            const std::string& host, std::uint16_t port, std::int32_t idleSeconds)
{
    long connectCode = 0;
    curl_easy_getinfo(easy, CURLINFO_HTTP_CONNECTCODE, &connectCode);
    if (connectCode >= 300) {
        return "Fail - the proxy refused to connect to " + host + ":" + std::to_string(port) + " (answer " +
               std::to_string(connectCode) + ")";
    }
    std::string text = DescribeCurlFailure(code, detail, run, host, port, idleSeconds);
    if (run.ftp && !run.lastReply.empty() && text.find("10053") == std::string::npos &&
        run.lastReply[0] >= '4') {
        text += " (server: " + run.lastReply + ")";
    }
    return text;
}

}  // namespace

void CurlEngine::SetUp(TransferRun& run, const std::string& url, const std::string& user,
                       const std::string& password, char* errorBuffer)
{
    CURL* e = m_easy;
    curl_easy_reset(e);
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
    if (m_cookies != 0) {
        curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");  // cookies kept for this transfer's requests
    }
    if (!user.empty()) {
        curl_easy_setopt(e, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD, password.c_str());
        if (!run.ftp) {
            curl_easy_setopt(e, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
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

CURLcode CurlEngine::Perform(const TransferRun& run)
{
    curl_multi_add_handle(m_multi, m_easy);
    CURLcode result = CURLE_OK;
    bool aborted = false;
    const auto idle = std::chrono::seconds(m_idleSeconds);
    for (;;) {
        if (m_abort) {
            aborted = true;
            break;
        }
        if (m_idleSeconds > 0) {
            // Under a speed limit libcurl reads ahead and then pauses on
            // purpose; silence counts only from when it is due to read again.
            auto quietSince = run.lastData;
            if (m_speedLimit > 0) {
                const auto due = run.start + std::chrono::milliseconds(run.received * 1000 /
                                                                       (std::int64_t{m_speedLimit} * 1024));
                quietSince = std::max(quietSince, due);
            }
            if (Clock::now() - quietSince > idle) {
                result = CURLE_OPERATION_TIMEDOUT;
                break;
            }
        }
        int running = 0;
        if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
            result = CURLE_OUT_OF_MEMORY;
            break;
        }
        if (running == 0) {
            int queued = 0;
            while (CURLMsg* msg = curl_multi_info_read(m_multi, &queued)) {
                if (msg->msg == CURLMSG_DONE) {
                    result = msg->data.result;
                }
            }
            break;
        }
        curl_multi_poll(m_multi, nullptr, 0, 200, nullptr);
    }
    curl_multi_remove_handle(m_multi, m_easy);
    return aborted ? CURLE_ABORTED_BY_CALLBACK : result;
}

bool CurlEngine::Transfer(bool ftp, const std::string& host, std::uint16_t port,
                          const std::string& remotePath, const std::string& saveAs,
                          const std::string& user, const std::string& password)
{
    m_error.clear();
    m_resumable = false;
    m_fileSize = -1;
    Status("Connecting to " + host + ":" + std::to_string(port) + "...");
    if (IsFolder(saveAs)) {
        return Fail("Fail - the target " + saveAs + " is a folder, not a file");
    }
    const std::string folder = FolderOf(saveAs);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return Fail("Fail to write into " + folder + ": " + std::strerror(errno));
    }

    PartialFile file(saveAs);
    std::int64_t offset = file.SizeOnDisk();
    std::string validator;
    bool existingTarget = false;
    if (offset >= 0) {
        validator = file.StoredValidator();
    } else {
        offset = 0;
        existingTarget = IsRegularFile(saveAs, offset);
    }
    const std::string scheme = ftp ? "ftp" : (m_secure ? "https" : "http");
    const std::string url = scheme + "://" + host + ":" + std::to_string(port) + EncodePath(remotePath);

    // A second round starts from zero when the server's file turned out to
    // differ from the one the bytes on disk came from.
    for (int round = 0; round < 2; ++round) {
        TransferRun run{*this, file, ftp, existingTarget, offset, validator};
        char errorBuffer[CURL_ERROR_SIZE] = {};
        SetUp(run, url, user, password, errorBuffer);
        struct curl_slist* headers = nullptr;
        CURLcode code = CURLE_OK;

        if (ftp) {
            curl_easy_setopt(m_easy, CURLOPT_NOBODY, 1L);
            curl_easy_setopt(m_easy, CURLOPT_FILETIME, 1L);
            run.probing = true;
            code = Perform(run);
            run.probing = false;
            if (code != CURLE_OK) {
                return Fail(code == CURLE_ABORTED_BY_CALLBACK
                                ? "Error - cancelled by user."
                                : DescribeFailure(m_easy, code, errorBuffer, run, host, port, m_idleSeconds));
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
            if (existingTarget) {
                if (size >= 0 && offset == size) {
                    run.outcome = TransferRun::Outcome::AlreadyExisted;
                } else if (size < 0 || offset > size) {
                    offset = 0;
                }
            } else if (Changed(validator, run.ftpValidator) || (size >= 0 && offset > size)) {
                offset = 0;
            } else if (size >= 0 && offset == size && offset > 0) {
                run.outcome = TransferRun::Outcome::AlreadyComplete;
            }
            run.requestedOffset = offset;
            if (run.outcome == TransferRun::Outcome::Undecided) {
                curl_easy_setopt(m_easy, CURLOPT_NOBODY, 0L);
                curl_easy_setopt(m_easy, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(offset));
                code = Perform(run);
                if (code == CURLE_OK) {
                    run.Decide();  // an empty file brings no data, but is a file
                }
            }
        } else {
            if (offset > 0) {
                const std::string range = std::to_string(offset) + "-";
                curl_easy_setopt(m_easy, CURLOPT_RANGE, range.c_str());
                const std::string etag = Field(validator, "etag");
                const std::string lm = Field(validator, "lm");
                const std::string ifRange = etag.size() >= 2 && etag.front() == '"' ? etag : lm;
                if (!ifRange.empty()) {
                    headers = curl_slist_append(headers, ("If-Range: " + ifRange).c_str());
                }
            }
            headers = curl_slist_append(headers, "Accept-Encoding: identity");
            curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, headers);
            code = Perform(run);
            curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, nullptr);
            curl_slist_free_all(headers);
            if (code == CURLE_OK && run.outcome == TransferRun::Outcome::Undecided) {
                run.Decide();  // a head with no body
            }
        }

        using Outcome = TransferRun::Outcome;
        if (code == CURLE_ABORTED_BY_CALLBACK) {
            return Fail("Error - cancelled by user.");
        }
        switch (run.outcome) {
        case Outcome::AlreadyExisted:
            m_sink.OnProgress("", offset, 0, kProgressBytes, m_taskId);
            m_error = "File has already existed";
            Status(m_error);
            return true;
        case Outcome::AlreadyComplete: {
            const std::string error = file.Finish();
            if (!error.empty()) {
                return Fail("Error renaming " + file.Path() + " to " + saveAs + ": " + error);
            }
            m_sink.OnProgress("", offset, 0, kProgressBytes, m_taskId);
            Status("File has been downloaded");
            return true;
        }
        case Outcome::Restart:
            Status("The file changed on the server; downloading it again from the start");
            offset = 0;
            validator.clear();
            existingTarget = false;
            continue;
        case Outcome::Failed:
            return Fail(run.failure);
        case Outcome::Undecided:
        case Outcome::Write:
            break;
        }
        if (code != CURLE_OK || run.outcome != Outcome::Write) {
            return Fail(DescribeFailure(m_easy, code == CURLE_OK ? CURLE_GOT_NOTHING : code, errorBuffer,
                                        run, host, port, m_idleSeconds));
        }
        if (!file.Flush()) {
            return Fail("Error writing " + file.Path() + ": " + file.WriteError());
        }
        if (run.total >= 0 && file.Size() != run.total) {
            return Fail("Error 10053 - connection closed after " + std::to_string(file.Size()) + " of " +
                        std::to_string(run.total) + " bytes");
        }
        run.Event(true);
        const std::string error = file.Finish();
        if (!error.empty()) {
            return Fail("Error renaming " + file.Path() + " to " + saveAs + ": " + error);
        }
        Status("File has been downloaded");
        return true;
    }
    return Fail("Error - the server keeps changing the file; try again later");
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
