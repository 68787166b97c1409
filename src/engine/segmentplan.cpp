#include "engine/segmentplan.h"

#include <algorithm>
#include <sstream>

#include "engine/httpresponse.h"

namespace dromo {

SegmentPlan::SegmentPlan(std::int64_t total, std::int64_t present) : m_total(total)
{
    if (present < total) {
        m_ranges.push_back(Range{std::max<std::int64_t>(present, 0), total, -1});
    }
}

std::string SegmentPlan::Serialize() const
{
    std::vector<Range> open;
    for (const Range& r : m_ranges) {
        if (r.Left() > 0) {
            open.push_back(r);
        }
    }
    std::sort(open.begin(), open.end(), [](const Range& a, const Range& b) { return a.next < b.next; });
    std::string text = "ranges 1 " + std::to_string(m_total) + "\n";
    for (const Range& r : open) {
        text += std::to_string(r.next) + "-" + std::to_string(r.end) + "\n";
    }
    return text;
}

std::optional<SegmentPlan> SegmentPlan::Parse(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    constexpr std::string_view kHead = "ranges 1 ";
    if (!std::getline(in, line) || line.rfind(kHead, 0) != 0) {
        return std::nullopt;
    }
    SegmentPlan plan;
    plan.m_total = ParseSize(std::string_view(line).substr(kHead.size()));
    if (plan.m_total < 0) {
        return std::nullopt;
    }
    std::int64_t previousEnd = 0;
    while (std::getline(in, line)) {
        const std::size_t dash = line.find('-');
        if (dash == std::string::npos) {
            return std::nullopt;
        }
        const std::int64_t next = ParseSize(std::string_view(line).substr(0, dash));
        const std::int64_t end = ParseSize(std::string_view(line).substr(dash + 1));
        if (next < previousEnd || end <= next || end > plan.m_total) {
            return std::nullopt;
        }
        plan.m_ranges.push_back(Range{next, end, -1});
        previousEnd = end;
    }
    if (!in.eof()) {
        return std::nullopt;
    }
    return plan;
}

std::int64_t SegmentPlan::Present() const
{
    std::int64_t missing = 0;
    for (const Range& r : m_ranges) {
        missing += r.Left();
    }
    return m_total - missing;
}

bool SegmentPlan::Complete() const
{
    return std::all_of(m_ranges.begin(), m_ranges.end(), [](const Range& r) { return r.Left() == 0; });
}

int SegmentPlan::FirstOpen() const
{
    int best = -1;
    for (std::size_t i = 0; i < m_ranges.size(); ++i) {
        if (m_ranges[i].Left() > 0 && (best < 0 || m_ranges[i].next < m_ranges[best].next)) {
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::pair<std::int64_t, std::int64_t> SegmentPlan::LongestPresentRun() const
{
    std::vector<std::pair<std::int64_t, std::int64_t>> open;
    for (const Range& r : m_ranges) {
        if (r.Left() > 0) {
            open.emplace_back(r.next, r.end);
        }
    }
    std::sort(open.begin(), open.end());
    std::pair<std::int64_t, std::int64_t> best{0, 0};
    std::int64_t from = 0;
    const auto consider = [&](std::int64_t to) {
        if (to - from > best.second - best.first) {
            best = {from, to};
        }
    };
    for (const auto& [next, end] : open) {
        consider(next);
        from = std::max(from, end);
    }
    consider(m_total);
    return best;
}

namespace {

// The unowned open range with the lowest start, or else the owned range
// with the most bytes left beyond its reserve that halves into pieces of at
// least minPiece. Second: whether it is to be split.
std::pair<int, bool> FindWork(const std::vector<SegmentPlan::Range>& ranges, std::int64_t minPiece,
                              const SegmentPlan::Reserve& reserve)
{
    int unowned = -1;
    int largest = -1;
    std::int64_t largestFree = 0;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const auto& r = ranges[i];
        if (r.Left() <= 0) {
            continue;
        }
        const int index = static_cast<int>(i);
        if (r.owner < 0) {
            if (unowned < 0 || r.next < ranges[static_cast<std::size_t>(unowned)].next) {
                unowned = index;
            }
            continue;
        }
        const std::int64_t free = r.Left() - std::clamp<std::int64_t>(reserve ? reserve(index) : 0, 0, r.Left());
        if (largest < 0 || free > largestFree) {
            largest = index;
            largestFree = free;
        }
    }
    if (unowned >= 0) {
        return {unowned, false};
    }
    if (largest >= 0 && largestFree / 2 >= minPiece) {
        return {largest, true};
    }
    return {-1, false};
}

}  // namespace

bool SegmentPlan::HasWork(std::int64_t minPiece, const Reserve& reserve) const
{
    return FindWork(m_ranges, minPiece, reserve).first >= 0;
}

int SegmentPlan::Assign(int connection, std::int64_t minPiece, const Reserve& reserve)
{
    const auto [index, split] = FindWork(m_ranges, minPiece, reserve);
    if (index < 0) {
        return -1;
    }
    if (!split) {
        m_ranges[static_cast<std::size_t>(index)].owner = connection;
        return index;
    }
    Range& old = m_ranges[static_cast<std::size_t>(index)];
    const std::int64_t kept = std::clamp<std::int64_t>(reserve ? reserve(index) : 0, 0, old.Left());
    std::int64_t middle = old.next + kept + (old.Left() - kept) / 2;
    if (const std::int64_t down = middle / m_align * m_align; down > old.next && down >= old.next + kept) {
        middle = down;
    } else if (down + m_align < old.end) {
        middle = down + m_align;
    }
    const Range upper{middle, old.end, connection};
    old.end = middle;  // its connection stops there
    m_ranges.push_back(upper);
    return static_cast<int>(m_ranges.size() - 1);
}

int SegmentPlan::Cut(int index, std::int64_t at)
{
    Range& r = m_ranges[static_cast<std::size_t>(index)];
    if (at <= r.next || at >= r.end) {
        return -1;
    }
    const Range rest{at, r.end, -1};
    r.end = at;
    m_ranges.push_back(rest);
    return static_cast<int>(m_ranges.size() - 1);
}

void SegmentPlan::Divide(int index, int pieces, std::int64_t minPiece)
{
    const Range whole = m_ranges[static_cast<std::size_t>(index)];
    const std::int64_t count = std::min<std::int64_t>(pieces, whole.Left() / std::max<std::int64_t>(minPiece, 1));
    if (count < 2) {
        return;
    }
    std::int64_t size = whole.Left() / count;
    if (size > m_align) {
        size = size / m_align * m_align;
    }
    m_ranges[static_cast<std::size_t>(index)].end = whole.next + size;
    for (std::int64_t i = 1; i < count; ++i) {
        m_ranges.push_back(Range{whole.next + i * size, i + 1 == count ? whole.end : whole.next + (i + 1) * size, -1});
    }
}

int SegmentPlan::Share(int index, int joining, std::int64_t fetched, std::int64_t kept, std::int64_t minPiece)
{
    const Range whole = m_ranges[static_cast<std::size_t>(index)];
    minPiece = std::max<std::int64_t>(minPiece, 1);
    fetched = std::max<std::int64_t>(fetched, 0);
    if (joining < 1 || whole.Left() <= 0) {
        return 0;
    }
    const std::int64_t share = (fetched + whole.Left()) / (joining + 1);
    const std::int64_t floor = std::max(std::clamp<std::int64_t>(kept, 0, whole.Left()), minPiece);
    const std::int64_t keep = std::max(share - fetched, floor);
    const std::int64_t pieces = std::min<std::int64_t>(joining, (whole.Left() - keep) / minPiece);
    if (pieces < 1) {
        return 0;
    }
    const int rest = Cut(index, whole.next + keep);
    Divide(rest, static_cast<int>(pieces), minPiece);
    return static_cast<int>(pieces);
}

int SegmentPlan::Spread(int pieces, std::int64_t minPiece)
{
    std::vector<std::size_t> waiting;
    for (std::size_t i = 0; i < m_ranges.size(); ++i) {
        if (m_ranges[i].owner < 0 && m_ranges[i].Left() > 0) {
            waiting.push_back(i);
        }
    }
    std::sort(waiting.begin(), waiting.end(),
              [this](std::size_t a, std::size_t b) { return m_ranges[a].next < m_ranges[b].next; });
    std::vector<std::size_t> joined;
    std::int64_t left = 0;
    for (const std::size_t i : waiting) {
        Range& r = m_ranges[i];
        left += r.Left();
        if (!joined.empty() && m_ranges[joined.back()].end == r.next) {
            m_ranges[joined.back()].end = r.end;
            r.next = r.end;  // its bytes are the joined range's now
            continue;
        }
        joined.push_back(i);
    }
    if (pieces < 1 || left <= 0) {
        return static_cast<int>(joined.size());
    }
    int made = 0;
    for (const std::size_t i : joined) {
        const std::int64_t share = (m_ranges[i].Left() * pieces + left / 2) / left;
        const int before = RangeCount();
        Divide(static_cast<int>(i), static_cast<int>(std::max<std::int64_t>(share, 1)), minPiece);
        made += 1 + RangeCount() - before;
    }
    return made;
}

void SegmentPlan::Advance(int index, std::int64_t bytes)
{
    Range& r = m_ranges[static_cast<std::size_t>(index)];
    r.next = std::min(r.end, r.next + bytes);
}

void SegmentPlan::Release(int index)
{
    m_ranges[static_cast<std::size_t>(index)].owner = -1;
}

bool SegmentPlan::Holds(std::int64_t from, std::int64_t to) const
{
    return std::none_of(m_ranges.begin(), m_ranges.end(),
                        [&](const Range& r) { return r.Left() > 0 && r.next < to && from < r.end; });
}

bool SegmentPlan::HoldsSome(std::int64_t from, std::int64_t to) const
{
    std::vector<std::pair<std::int64_t, std::int64_t>> open;
    for (const Range& r : m_ranges) {
        if (r.Left() > 0 && r.next < to && from < r.end) {
            open.emplace_back(std::max(r.next, from), std::min(r.end, to));
        }
    }
    std::sort(open.begin(), open.end());
    std::int64_t covered = from;  // every byte before it is open
    for (const auto& [first, end] : open) {
        if (first > covered) {
            return true;
        }
        covered = std::max(covered, end);
    }
    return covered < to;
}

void SegmentPlan::Forget()
{
    for (Range& r : m_ranges) {
        r.next = r.end;
        r.owner = -1;
    }
    m_ranges.push_back(Range{0, m_total, -1});
}

int SegmentPlan::Reopen(std::int64_t from, std::int64_t to)
{
    m_ranges.push_back(Range{std::max<std::int64_t>(from, 0), std::min(to, m_total), -1});
    return static_cast<int>(m_ranges.size() - 1);
}

}  // namespace dromo
