#include "engine/mirrorpool.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace dromo {

std::vector<int> MirrorOrder(const std::vector<MirrorStanding>& mirrors)
{
    const bool anyUsable = std::any_of(mirrors.begin(), mirrors.end(), [](const auto& m) { return m.usable; });
    std::vector<int> order;
    for (std::size_t i = 0; i < mirrors.size(); ++i) {
        if (anyUsable ? mirrors[i].usable : mirrors[i].slow) {
            order.push_back(static_cast<int>(i));
        }
    }
    const auto key = [&mirrors](int i) {
        const MirrorStanding& m = mirrors[static_cast<std::size_t>(i)];
        const bool measured = m.speed >= 0;
        return std::make_tuple(m.live, m.priority, measured, -m.speed, i);
    };
    std::sort(order.begin(), order.end(), [&key](int a, int b) { return key(a) < key(b); });
    return order;
}

int MirrorPool::Add(Mirror mirror)
{
    m_mirrors.push_back(std::move(mirror));
    return Count() - 1;
}

void MirrorPool::Tick(Clock::time_point now)
{
    if (m_lastTick != Clock::time_point{}) {
        const double seconds = std::chrono::duration<double>(now - m_lastTick).count();
        for (Mirror& m : m_mirrors) {
            m.busy += m.live * seconds;
        }
    }
    m_lastTick = now;
}

void MirrorPool::Opened(int index, Clock::time_point now)
{
    Tick(now);
    ++At(index).live;
}

void MirrorPool::Closed(int index, Clock::time_point now)
{
    Tick(now);
    At(index).live = std::max(At(index).live - 1, 0);
}

bool MirrorPool::Drop(int index, const std::string& why, bool slow)
{
    Mirror& m = At(index);
    if (m.dropped) {
        return false;
    }
    m.dropped = true;
    m.slow = slow;
    m.why = why;
    return true;
}

int MirrorPool::UsableOthers() const
{
    return static_cast<int>(std::count_if(m_mirrors.begin() + std::min<std::ptrdiff_t>(1, Count()), m_mirrors.end(),
                                          [](const Mirror& m) { return !m.dropped; }));
}

std::vector<int> MirrorPool::Order(Clock::time_point now)
{
    const std::vector<double> speeds = Speeds(now);
    std::vector<MirrorStanding> standings;
    for (std::size_t i = 0; i < m_mirrors.size(); ++i) {
        const Mirror& m = m_mirrors[i];
        standings.push_back(MirrorStanding{m.priority, speeds[i], m.live, !m.dropped, m.slow && !m.badData});
    }
    return MirrorOrder(standings);
}

std::vector<double> MirrorPool::Speeds(Clock::time_point now)
{
    Tick(now);
    std::vector<double> speeds;
    for (const Mirror& m : m_mirrors) {
        speeds.push_back(m.busy >= 1 ? static_cast<double>(m.bytes) / m.busy : -1);
    }
    return speeds;
}

}  // namespace dromo
