#pragma once

#include <map>
#include <mutex>
#include <string>

#include "engine/connectionshare.h"

namespace dromo {

// How many connections each host:port has across the segmented transfers
// of the engines that share this table (those of one engine factory), and
// the most it may have. A transfer always keeps its first connection,
// whatever the count. Also the name cache and TLS sessions those transfers
// share. Safe to use from every worker thread.
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

    // The name cache and TLS sessions the transfers share.
    ConnectionShare& Share() { return m_share; }

private:
    mutable std::mutex m_mutex;
    std::map<std::string, int> m_used;
    int m_cap = kDefaultCap;
    ConnectionShare m_share;
};

}  // namespace dromo
