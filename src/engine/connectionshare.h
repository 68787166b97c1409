#pragma once

#include <array>
#include <mutex>

#include <curl/curl.h>

namespace dromo {

// What the transfers of every engine of one factory share through
// libcurl's share interface: the name cache and the TLS sessions, so a
// worker's first request to a host another worker has reached skips the
// name lookup and resumes the TLS session instead of a full handshake.
// Connections themselves stay in each engine's multi handle, reused by
// the tasks that engine runs one after the other: libcurl does not support
// one connection cache for handles on several threads at once (transfers
// could take the same connection), and each worker runs on its own thread.
// Nor do the workers hand their transfers to one loop that multiplexes a
// batch over one HTTP/2 connection: that puts every file's opening,
// writing and finishing on the one thread that runs the loop, and a batch
// of small files took longer that way than over a connection per worker.
// Made on first use, after libcurl's global start; safe on every thread.
class ConnectionShare {
public:
    ConnectionShare() = default;
    ~ConnectionShare();
    ConnectionShare(const ConnectionShare&) = delete;
    ConnectionShare& operator=(const ConnectionShare&) = delete;

    // Joins an easy handle to the share; nothing when libcurl could not make it.
    void Join(CURL* easy);

private:
    static void Lock(CURL* easy, curl_lock_data data, curl_lock_access access, void* user);
    static void Unlock(CURL* easy, curl_lock_data data, void* user);

    std::once_flag m_made;
    CURLSH* m_share = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> m_locks;
};

}  // namespace dromo
