#include "engine/hostconnections.h"

#include <algorithm>

namespace dromo {

bool HostConnections::Take(const std::string& hostPort, bool always)
{
    std::lock_guard lock(m_mutex);
    int& used = m_used[hostPort];
    if (!always && used >= m_cap) {
        return false;
    }
    ++used;
    return true;
}

void HostConnections::Give(const std::string& hostPort)
{
    std::lock_guard lock(m_mutex);
    auto it = m_used.find(hostPort);
    if (it != m_used.end() && --it->second <= 0) {
        m_used.erase(it);
    }
}

void HostConnections::SetCap(int connections)
{
    std::lock_guard lock(m_mutex);
    m_cap = std::max(connections, 1);
}

int HostConnections::InUse(const std::string& hostPort) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_used.find(hostPort);
    return it == m_used.end() ? 0 : it->second;
}

}  // namespace dromo
