#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace dromo {

// Which mirror wrote each byte of a file moved over several mirrors, and
// which of those bytes another mirror has since been seen to give alike.
// When the whole file fails its digest and no piece digests tell where,
// this is what finds the mirror to blame: the bytes of each are fetched
// again elsewhere and compared, a little of each first.
class RangeWriters {
public:
    // The writer of bytes that were on disk before the call.
    static constexpr int kBefore = -1;

    struct Span {
        std::int64_t from = 0;
        std::int64_t to = 0;  // exclusive
        int source = kBefore;
        bool vouched = false;  // another mirror gave the same bytes
    };

    // A file of `total` bytes, every one of them from before the call.
    explicit RangeWriters(std::int64_t total = 0);

    // `source` wrote [from, from + length): nobody vouched for them yet.
    void Wrote(std::int64_t from, std::int64_t length, int source);
    // Another mirror gave [from, to) as they are on disk.
    void Vouch(std::int64_t from, std::int64_t to);

    // The writers of bytes nobody vouched for, in the order of their first byte.
    std::vector<int> Doubtful() const;
    // The first bytes of `source` nobody vouched for, at most `most` of them.
    std::optional<Span> NextDoubt(int source, std::int64_t most) const;
    // Every span `source` wrote that nobody vouched for.
    std::vector<Span> Unvouched(int source) const;
    // Every span, in order; neighbours alike are one.
    std::vector<Span> Spans() const;

private:
    void Set(std::int64_t from, std::int64_t to, int source, bool vouched);
    void SplitAt(std::int64_t at);
    void MergeAround(std::int64_t from, std::int64_t to);

    std::map<std::int64_t, Span> m_spans;  // by their first byte
};

}  // namespace dromo
