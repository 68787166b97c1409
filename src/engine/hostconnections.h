#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "engine/connectionshare.h"

namespace dromo {

// How many connections each host:port has across the segmented transfers
// of the engines that share this table (those of one engine factory), and
// the most it may have. A transfer always keeps its first connection,
// whatever the count. Also the bytes all those transfers received: what
// the program as a whole moves, against which a download judges whether
// another connection raised the total or only took a share of it; and the
// name cache and TLS sessions they share. Safe to use from every worker
// thread.
class HostConnections {
public:
    static constexpr int kDefaultCap = 16;

    // Takes a connection to `hostPort`: false when the host has its cap,
    // unless `always`.
    bool Take(const std::string& hostPort, bool always);
    // Gives back a connection taken before.
    void Give(const std::string& hostPort);
    // The most connections a host gets; at least 1.
    void SetCap(int connections);
    int InUse(const std::string& hostPort) const;

    // Bytes a transfer received.
    void CountBytes(std::int64_t bytes) { m_bytes.fetch_add(bytes, std::memory_order_relaxed); }
    // Every byte counted so far.
    std::int64_t Bytes() const { return m_bytes.load(std::memory_order_relaxed); }
    // The name cache and TLS sessions the transfers share.
    ConnectionShare& Share() { return m_share; }

private:
    mutable std::mutex m_mutex;
    std::map<std::string, int> m_used;
    int m_cap = kDefaultCap;
    std::atomic<std::int64_t> m_bytes{0};
    ConnectionShare m_share;
};

}  // namespace dromo
