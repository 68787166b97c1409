#include "engine/streamfetcher.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "engine/cookielines.h"
#include "engine/curlhandles.h"
#include "engine/failuretext.h"
#include "engine/hostconnections.h"
#include "engine/httpresponse.h"
#include "engine/idlewatch.h"
#include "engine/responsedecision.h"
#include "engine/urlorigin.h"

namespace dromo {
namespace {

// Bytes the requests may take together ahead of the speed limit.
constexpr std::int64_t kLimitBurst = 16 * 1024;

std::string OriginText(const std::optional<UrlOrigin>& origin)
{
    return origin ? origin->scheme + "://" + origin->HostPort() : std::string();
}

}  // namespace

struct StreamFetcher::Connection {
    StreamFetcher* owner = nullptr;
    FetchJob job;
    EasyHandle easy;
    HeaderList headers;
    std::string hostPort;
    bool slot = true;  // holds the host slot of its connection
    std::string host;
    std::uint16_t port = 0;
    HttpResponse response;
    bool accepted = false;  // the answer's head fits the request: its body is taken
    bool tooLarge = false;
    bool paused = false;  // held back by the speed limit
    std::string body;
    Clock::time_point lastData = Clock::now();
    IdleWatch watch;
    char error[CURL_ERROR_SIZE] = {};
};

StreamFetcher::StreamFetcher(const TransferSettings& settings, CURLM* multi, HostConnections& hosts, CURL* configured,
                             const std::string& taskUrl)
    : m_settings(settings), m_multi(multi), m_hosts(hosts), m_configured(configured),
      m_taskOrigin(OriginText(UrlOrigin::Of(taskUrl)))
{
}

StreamFetcher::~StreamFetcher()
{
    for (auto& c : m_connections) {
        curl_multi_remove_handle(m_multi, c->easy.get());
        if (c->slot) {
            m_hosts.Give(c->hostPort);
        }
    }
}

void StreamFetcher::Remove(Connection& c)
{
    long version = 0;
    if (curl_easy_getinfo(c.easy.get(), CURLINFO_HTTP_VERSION, &version) == CURLE_OK &&
        version >= CURL_HTTP_VERSION_2_0) {
        m_multiplexed.insert(c.hostPort);
    }
    curl_multi_remove_handle(m_multi, c.easy.get());
    if (!c.slot) {
        return;
    }
    const auto rider = std::find_if(m_connections.begin(), m_connections.end(), [&c](const auto& other) {
        return other.get() != &c && !other->slot && other->hostPort == c.hostPort;
    });
    if (rider != m_connections.end()) {
        (*rider)->slot = true;
    } else {
        m_hosts.Give(c.hostPort);
    }
}

std::size_t StreamFetcher::Free() const
{
    const auto allowed = static_cast<std::size_t>(std::max(m_settings.connections, 1));
    return allowed > m_connections.size() ? allowed - m_connections.size() : 0;
}

bool StreamFetcher::Start(const FetchJob& job)
{
    const std::optional<UrlOrigin> origin = UrlOrigin::Of(job.url);
    if (!origin || Free() == 0) {
        return false;
    }
    const std::string hostPort = origin->HostPort();
    // Another stream of a connection this fetcher holds a slot for.
    const bool rides = m_multiplexed.count(hostPort) > 0 &&
                       std::any_of(m_connections.begin(), m_connections.end(),
                                   [&hostPort](const auto& c) { return c->slot && c->hostPort == hostPort; });
    if (!rides && !m_hosts.Take(hostPort, m_connections.empty())) {
        return false;
    }
    auto c = std::make_unique<Connection>();
    c->owner = this;
    c->job = job;
    c->slot = !rides;
    c->hostPort = hostPort;
    c->host = origin->host;
    c->port = static_cast<std::uint16_t>(std::atoi(origin->port.c_str()));
    c->easy.reset(curl_easy_duphandle(m_configured));
    if (!c->easy) {
        if (c->slot) {
            m_hosts.Give(c->hostPort);
        }
        return false;
    }
    CURL* e = c->easy.get();
    m_hosts.Share().Join(e);  // a copy starts outside the share
    curl_easy_setopt(e, CURLOPT_URL, job.url.c_str());
    if (OriginText(origin) != m_taskOrigin) {
        // The task's login is its URL's server's alone.
        curl_easy_setopt(e, CURLOPT_USERNAME, nullptr);
        curl_easy_setopt(e, CURLOPT_PASSWORD, nullptr);
    }
    if (!job.range.Whole()) {
        const std::string bytes =
            std::to_string(job.range.offset) + "-" + std::to_string(job.range.offset + job.range.length - 1);
        curl_easy_setopt(e, CURLOPT_RANGE, bytes.c_str());  // libcurl copies it
    } else {
        curl_easy_setopt(e, CURLOPT_RANGE, nullptr);
    }
    AppendHeader(c->headers, "Accept-Encoding: identity");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, c->headers.get());
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, c->error);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, c.get());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnData);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, c.get());
    curl_easy_setopt(e, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    CopyCookies(m_configured, e);
    // Over HTTPS with HTTP/2 allowed, the requests that start together wait
    // for the first connection's handshake to tell whether they can share it
    // instead of each opening one.
    if (m_settings.httpVersion == "2" && origin->scheme == "https") {
        curl_easy_setopt(e, CURLOPT_PIPEWAIT, 1L);
    }
    c->watch.Start(std::chrono::seconds(std::max(m_settings.idleSeconds, 0)), Clock::now());
    if (curl_multi_add_handle(m_multi, e) != CURLM_OK) {
        if (c->slot) {
            m_hosts.Give(c->hostPort);
        }
        return false;
    }
    m_connections.push_back(std::move(c));
    return true;
}

std::size_t StreamFetcher::OnHeader(char* data, std::size_t size, std::size_t count, void* user)
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
    const int code = c->response.code;
    if ((code >= 100 && code < 200) || (code >= 300 && code < 400 && c->response.hasLocation) || code == 401 ||
        code == 407) {
        return length;  // not the answer yet: an interim one, a redirect, a challenge
    }
    return c->owner->HeadFits(*c) ? length : 0;
}

// The answer is taken when it is the whole resource or exactly the range
// asked for (or the range up to the resource's end, when that comes first).
bool StreamFetcher::HeadFits(Connection& c)
{
    const HttpResponse& r = c.response;
    const ByteRange& want = c.job.range;
    if (r.code == 200) {
        c.accepted = true;
    } else if (r.code == 206 && !want.Whole()) {
        const std::int64_t last = want.offset + want.length - 1;
        c.accepted = r.rangeFirst == want.offset &&
                     (r.rangeLast == last || (r.rangeLast < last && r.rangeTotal == r.rangeLast + 1));
    }
    const std::int64_t cap = static_cast<std::int64_t>(c.job.limit);
    if (c.accepted && r.contentLength > cap && (r.code == 206 || want.Whole())) {
        c.tooLarge = true;
        c.accepted = false;
    }
    if (c.accepted && r.contentLength > 0 && r.contentLength <= cap) {
        // Room for the whole body at once: a segment grown by doubling is
        // copied and faulted in again at every step.
        c.body.reserve(static_cast<std::size_t>(r.contentLength));
    }
    return c.accepted;
}

std::size_t StreamFetcher::OnData(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* c = static_cast<Connection*>(user);
    const std::size_t length = size * count;
    if (!c->accepted) {
        return 0;
    }
    StreamFetcher& f = *c->owner;
    const auto now = Clock::now();
    if (f.m_settings.speedLimit > 0 && f.m_received >= f.Allowed(now)) {
        c->paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if (c->body.size() + length > c->job.limit) {
        c->tooLarge = true;
        return 0;
    }
    c->body.append(data, length);
    c->lastData = now;
    c->watch.Note(static_cast<std::int64_t>(length), now);
    f.m_received += static_cast<std::int64_t>(length);
    f.m_hosts.CountBytes(static_cast<std::int64_t>(length));
    return length;
}

std::int64_t StreamFetcher::InFlight() const
{
    std::int64_t bytes = 0;
    for (const auto& c : m_connections) {
        bytes += static_cast<std::int64_t>(c->body.size());
    }
    return bytes;
}

std::int64_t StreamFetcher::Allowed(Clock::time_point now) const
{
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    return static_cast<std::int64_t>(seconds * m_settings.speedLimit * 1024.0) + kLimitBurst;
}

// Requests held back by the speed limit go on once it allows.
void StreamFetcher::Pace(Clock::time_point now)
{
    for (auto& c : m_connections) {
        if (c->paused && (m_settings.speedLimit <= 0 || m_received < Allowed(now))) {
            c->paused = false;
            c->lastData = now;
            c->watch.Restart(now);
            curl_easy_pause(c->easy.get(), CURLPAUSE_CONT);
        }
    }
}

FetchDone StreamFetcher::Finish(Connection& c, CURLcode code)
{
    FetchDone done;
    done.id = c.job.id;
    done.status = c.response.code;
    done.contentType = c.response.contentType;
    done.total = c.response.code == 206 ? c.response.rangeTotal : static_cast<std::int64_t>(c.body.size());
    char* effective = nullptr;
    curl_easy_getinfo(c.easy.get(), CURLINFO_EFFECTIVE_URL, &effective);
    done.url = effective != nullptr ? effective : c.job.url;
    if (code == CURLE_OK && c.accepted) {
        done.ok = true;
        done.body = std::move(c.body);
        const ByteRange& want = c.job.range;
        if (c.response.code == 200 && !want.Whole()) {
            // A server that does not serve ranges sent it all: the range is cut out.
            const auto size = static_cast<std::int64_t>(done.body.size());
            done.ok = want.offset < size;
            done.body = done.ok ? done.body.substr(static_cast<std::size_t>(want.offset),
                                                   static_cast<std::size_t>(std::min(want.length, size - want.offset)))
                                : std::string();
            done.error = done.ok ? std::string() : "Error in the server's answer: the range lies past its end";
        }
        return done;
    }
    if (c.tooLarge) {
        done.error = "Error - " + c.job.url + " is larger than the " + std::to_string(c.job.limit / (1024 * 1024)) +
                     " MB a piece of a stream may have";
        return done;
    }
    if (c.response.code >= 300 && !c.accepted) {
        const ResponseDecision d = DecideHttpAnswer(c.response, ResumeState{});
        done.error = d.reason.empty() ? "Error " + std::to_string(c.response.code) + " from server" : d.reason;
        done.outcome = d.failureOutcome;
        done.retryAfter = d.retryAfter.value_or(-1);
        return done;
    }
    if (c.response.code == 206 && !c.accepted) {
        done.error = "Error in the server's answer: its range does not fit the part asked for";
        return done;
    }
    FailureFacts facts;
    facts.responseCode = c.response.code;
    facts.received = static_cast<std::int64_t>(c.body.size());
    facts.undecided = c.response.code == 0;
    done.error = DescribeFailure(c.easy.get(), code == CURLE_OK ? CURLE_GOT_NOTHING : code, c.error, facts, c.host,
                                 c.port, m_settings.idleSeconds, done.outcome);
    return done;
}

std::vector<FetchDone> StreamFetcher::Step(int waitMs)
{
    std::vector<FetchDone> ended;
    int running = 0;
    curl_multi_perform(m_multi, &running);
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(m_multi, &queued)) {
        if (msg->msg != CURLMSG_DONE) {
            continue;
        }
        const auto it = std::find_if(m_connections.begin(), m_connections.end(),
                                     [msg](const auto& c) { return c->easy.get() == msg->easy_handle; });
        if (it == m_connections.end()) {
            continue;
        }
        ended.push_back(Finish(**it, msg->data.result));
        Remove(**it);
        m_connections.erase(it);
    }
    const auto now = Clock::now();
    Pace(now);
    const auto idle = std::chrono::seconds(m_settings.idleSeconds);
    for (auto it = m_connections.begin(); it != m_connections.end();) {
        Connection& c = **it;
        if (m_settings.idleSeconds > 0 && !c.paused && (now - c.lastData > idle || c.watch.Idle(now))) {
            FetchDone done = Finish(c, CURLE_OPERATION_TIMEDOUT);
            ended.push_back(std::move(done));
            Remove(c);
            it = m_connections.erase(it);
        } else {
            ++it;
        }
    }
    if (ended.empty()) {
        // With nothing running this only waits (Abort wakes it), so a loop
        // waiting for a retry's time does not spin.
        const bool held =
            std::any_of(m_connections.begin(), m_connections.end(), [](const auto& c) { return c->paused; });
        curl_multi_poll(m_multi, nullptr, 0, held ? std::min(waitMs, 50) : waitMs, nullptr);
    }
    return ended;
}

}  // namespace dromo
