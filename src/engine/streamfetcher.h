#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <curl/curl.h>

#include "base/text/hlsplaylist.h"
#include "base/values/transferoutcome.h"
#include "base/values/transfersettings.h"

namespace dromo {

class HostConnections;

// One request of a recording: a playlist, a key, a segment or a part of a
// resource, fetched into memory.
struct FetchJob {
    std::uint64_t id = 0;  // the caller's
    std::string url;
    ByteRange range;
    std::size_t limit = 0;  // the most bytes it may bring
};

// What a request came to.
struct FetchDone {
    std::uint64_t id = 0;
    bool ok = false;  // the whole body of a 200, or of a 206 that fits the range
    std::string body;
    int status = 0;  // the HTTP answer's code; 0 when none came
    std::string contentType;
    std::int64_t total = -1;  // the resource's length a range answer gave
    std::string url;          // where it ended, after redirects
    // For a failure: what the worker would make of it, the words, and the
    // wait a 429 or 503 asked for (-1: none).
    TransferOutcome outcome = TransferOutcome::Failed;
    std::string error;
    std::int64_t retryAfter = -1;
};

// Fetches a recording's requests in parallel through the engine's multi
// handle, each on a copy of the task's configured handle (its cookies,
// referrer, user agent, proxy and login; the login only to the task's own
// server): at most the task's connections at once, each counted against its
// host's cap in the table all transfers share, under one speed limit for
// all of them, and a request that brings nothing for the idle time ends as
// a failure. Over HTTP/2 the requests to one host go as streams of one
// connection, which counts once against the cap.
class StreamFetcher {
public:
    using Clock = std::chrono::steady_clock;

    // `configured` is the task's handle as the engine set it up for the
    // playlist's URL; it outlives the fetcher.
    StreamFetcher(const TransferSettings& settings, CURLM* multi, HostConnections& hosts, CURL* configured,
                  const std::string& taskUrl);
    ~StreamFetcher();
    StreamFetcher(const StreamFetcher&) = delete;
    StreamFetcher& operator=(const StreamFetcher&) = delete;

    // How many more requests may start now.
    std::size_t Free() const;
    std::size_t Running() const { return m_connections.size(); }
    // False when the request's host has its cap of connections (or its
    // handle cannot be made): start it later.
    bool Start(const FetchJob& job);
    // One round: the network's work, the speed limit, idle requests.
    // Waits at most `waitMs` for the network (Abort wakes it). The requests
    // that ended come back.
    std::vector<FetchDone> Step(int waitMs);
    // Bytes of every answer's body so far.
    std::int64_t Received() const { return m_received; }
    // Bytes of the bodies of the requests still running.
    std::int64_t InFlight() const;

private:
    struct Connection;
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user);
    static std::size_t OnData(char* data, std::size_t size, std::size_t count, void* user);

    bool HeadFits(Connection& c);
    FetchDone Finish(Connection& c, CURLcode code);
    // A request leaves the multi handle: its host slot goes to another
    // stream of its connection, or back to the table.
    void Remove(Connection& c);
    void Pace(Clock::time_point now);
    std::int64_t Allowed(Clock::time_point now) const;

    const TransferSettings& m_settings;
    CURLM* m_multi;
    HostConnections& m_hosts;
    CURL* m_configured;
    std::string m_taskOrigin;  // "scheme://host:port" of the task's URL: its login goes there only
    std::vector<std::unique_ptr<Connection>> m_connections;
    std::set<std::string> m_multiplexed;  // host:port answered over HTTP/2
    std::int64_t m_received = 0;
    Clock::time_point m_start = Clock::now();
};

}  // namespace dromo
