#include "engine/rangewriters.h"

#include <algorithm>

namespace dromo {

RangeWriters::RangeWriters(std::int64_t total)
{
    if (total > 0) {
        m_spans[0] = Span{0, total, kBefore, false};
    }
}

// The span holding `at` ends there and a new one begins.
void RangeWriters::SplitAt(std::int64_t at)
{
    auto it = m_spans.upper_bound(at);
    if (it == m_spans.begin()) {
        return;
    }
    --it;
    Span& span = it->second;
    if (span.from < at && at < span.to) {
        Span rest = span;
        rest.from = at;
        span.to = at;
        m_spans[at] = rest;
    }
}

// Joins the spans that meet [from, to) with their like neighbours.
void RangeWriters::MergeAround(std::int64_t from, std::int64_t to)
{
    auto it = m_spans.lower_bound(from);
    if (it != m_spans.begin()) {
        --it;
    }
    while (it != m_spans.end() && it->first <= to) {
        auto next = std::next(it);
        if (next == m_spans.end()) {
            break;
        }
        if (it->second.to == next->first && it->second.source == next->second.source &&
            it->second.vouched == next->second.vouched) {
            it->second.to = next->second.to;
            m_spans.erase(next);
            continue;
        }
        it = next;
    }
}

void RangeWriters::Set(std::int64_t from, std::int64_t to, int source, bool vouched)
{
    if (to <= from) {
        return;
    }
    SplitAt(from);
    SplitAt(to);
    m_spans.erase(m_spans.lower_bound(from), m_spans.lower_bound(to));
    m_spans[from] = Span{from, to, source, vouched};
    MergeAround(from, to);
}

void RangeWriters::Wrote(std::int64_t from, std::int64_t length, int source)
{
    Set(from, from + length, source, false);
}

void RangeWriters::Vouch(std::int64_t from, std::int64_t to)
{
    if (to <= from) {
        return;
    }
    SplitAt(from);
    SplitAt(to);
    for (auto it = m_spans.lower_bound(from); it != m_spans.end() && it->first < to; ++it) {
        it->second.vouched = true;
    }
    MergeAround(from, to);
}

std::vector<int> RangeWriters::Doubtful() const
{
    std::vector<int> sources;
    for (const auto& [from, span] : m_spans) {
        if (!span.vouched && std::find(sources.begin(), sources.end(), span.source) == sources.end()) {
            sources.push_back(span.source);
        }
    }
    return sources;
}

std::optional<RangeWriters::Span> RangeWriters::NextDoubt(int source, std::int64_t most) const
{
    for (const auto& [from, span] : m_spans) {
        if (!span.vouched && span.source == source) {
            Span doubt = span;
            doubt.to = std::min(span.to, span.from + std::max<std::int64_t>(most, 1));
            return doubt;
        }
    }
    return std::nullopt;
}

std::vector<RangeWriters::Span> RangeWriters::Unvouched(int source) const
{
    std::vector<Span> spans;
    for (const auto& [from, span] : m_spans) {
        if (!span.vouched && span.source == source) {
            spans.push_back(span);
        }
    }
    return spans;
}

std::vector<RangeWriters::Span> RangeWriters::Spans() const
{
    std::vector<Span> spans;
    for (const auto& [from, span] : m_spans) {
        spans.push_back(span);
    }
    return spans;
}

}  // namespace dromo
