#include "engine/connectionramp.h"

#include <algorithm>
#include <cmath>

namespace dromo {
namespace {

// Bytes that arrive between two samples closer than this count as having
// taken this long: a rate over a shorter span says more about the loop
// than about the network.
constexpr double kShortestSpan = 0.002;

}  // namespace

ConnectionRamp::ConnectionRamp(int most, std::int64_t speedLimit)
    : m_most(std::max(most, 1)), m_speedLimit(static_cast<double>(std::max<std::int64_t>(speedLimit, 0)))
{
    if (m_most <= 1) {
        m_stage = Stage::Settled;
    }
}

void ConnectionRamp::StartWith(int connections)
{
    m_wanted = std::clamp(connections, 1, m_most);
    m_stage = Stage::Settled;
}

int ConnectionRamp::Note(const RampSample& sample)
{
    NotePeak(sample);
    if (m_stage == Stage::Settled || sample.connections <= 0) {
        // None open: a connection is between two ranges, its next request
        // about to go; that starts or ends no window.
        return m_wanted;
    }
    if (!m_window.open || sample.connections != m_window.start.connections) {
        // A window measures one number of connections from its start.
        m_window = Window{sample, true};
        return m_wanted;
    }
    Decide(sample);
    return m_wanted;
}

void ConnectionRamp::NotePeak(const RampSample& sample)
{
    if (m_havePrevious && sample.bytes > m_previous.bytes) {
        const double span = std::max(sample.seconds - m_previous.seconds, kShortestSpan);
        m_peak = std::max(m_peak, static_cast<double>(sample.bytes - m_previous.bytes) / span);
        m_lastArrival = sample;
    }
    m_previous = sample;
    m_havePrevious = true;
}

// At the end of a window: judge the last addition, then whether to add.
void ConnectionRamp::Decide(const RampSample& sample)
{
    const RampSample& start = m_window.start;
    const double span = sample.seconds - start.seconds;
    const bool ended = BurstEnded(sample);
    if (span < (m_stage == Stage::Judging ? kJudgeWindow : kFirstWindow) && !ended) {
        return;
    }
    m_firstWindow = false;
    const Rates now{static_cast<double>(sample.bytes - start.bytes) / span,
                    static_cast<double>(sample.linkBytes - start.linkBytes) / span, sample.connections};
    const double waited = (sample.waited - start.waited) / span;
    m_window = Window{sample, true};
    if (m_stage == Stage::Judging) {
        if (now.connections <= m_before.connections) {
            // None could be opened yet (refused, or the host has its
            // share): they are judged once they are.
            return;
        }
        if (!Grew(now)) {
            m_stage = Stage::Settled;  // what it has is what helps
            return;
        }
        m_grown = true;
        m_stage = Stage::Measuring;
    }
    if (sample.connections >= m_most) {
        m_stage = Stage::Settled;
        return;
    }
    const bool atLimit = m_speedLimit > 0 && now.task >= 0.8 * m_speedLimit;
    if (atLimit || waited < kWaiting || now.connections <= 0) {
        return;  // this machine, or the task's own limit, holds it back: measure again
    }
    const double perConnection = now.task / now.connections;
    int add = 1;  // short of evidence, a probe
    m_bursts = ended || (perConnection > 0 && m_peak >= kCapped * now.task);
    m_heldBack = ended;
    if (ended) {
        // Silent far longer than its data took to come: the sender idles
        // the connection, and every one the task may have fills that time.
        // (Its rate over so short a window says too little to size them.)
        add = m_most - now.connections;
    } else if (m_bursts) {
        // As many as the rate the data has shown room for.
        add = static_cast<int>(std::floor(m_peak / perConnection)) - now.connections;
    } else if (m_grown) {
        add = now.connections;  // the last one helped: double
    }
    add = std::clamp(add, 1, m_most - now.connections);
    m_before = now;
    m_wanted = now.connections + add;
    m_stage = Stage::Judging;
}

// Whether the first window's data came and then stopped, the loop waiting
// for more all the while: the sender holds the connection back. Only the
// first window ends so: later, an opened connection's burst is long spent
// and a pause says nothing a full window does not.
bool ConnectionRamp::BurstEnded(const RampSample& sample) const
{
    if (!m_firstWindow || m_stage != Stage::Measuring || m_lastArrival.bytes <= m_window.start.bytes) {
        return false;
    }
    const double silent = sample.seconds - m_lastArrival.seconds;
    return silent >= kStall && sample.waited - m_lastArrival.waited >= kWaiting * silent;
}

// Whether the connections added since `m_before` raised the total: each at
// least half of what a connection brought before, and the program's total
// by at least half of the task's gain (not taken from its other downloads).
bool ConnectionRamp::Grew(const Rates& now) const
{
    const int added = now.connections - m_before.connections;
    const double perConnection = m_before.task / std::max(m_before.connections, 1);
    const double gain = now.task - m_before.task;
    return gain > 0 && gain >= 0.5 * added * perConnection && now.link - m_before.link >= 0.5 * gain;
}

}  // namespace dromo
