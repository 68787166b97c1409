#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dromo {

// Which bytes of a file are still missing while several connections fetch
// it: a list of open ranges, each running from the next byte to fetch to its
// end (exclusive). Everything outside the open ranges is on disk. A range
// belongs to at most one connection at a time; a connection without work
// takes an unowned range, or else the upper half of the largest owned one.
class SegmentPlan {
public:
    struct Range {
        std::int64_t next = 0;  // the next byte this range needs
        std::int64_t end = 0;   // one past its last byte
        int owner = -1;         // the connection fetching it; -1 for none
        std::int64_t Left() const { return end - next; }
    };

    SegmentPlan() = default;
    // A file of `total` bytes whose first `present` bytes are on disk.
    SegmentPlan(std::int64_t total, std::int64_t present);

    // The stored form: "ranges 1 TOTAL\n" and one "NEXT-END\n" per open range.
    std::string Serialize() const;
    // Nothing when the text is not a plan (malformed, overlapping or
    // outside the file).
    static std::optional<SegmentPlan> Parse(const std::string& text);

    std::int64_t Total() const { return m_total; }
    std::int64_t Present() const;
    bool Complete() const;
    const Range& At(int index) const { return m_ranges[static_cast<std::size_t>(index)]; }
    // Ranges ever made, open or not: the indices At takes run below it.
    int RangeCount() const { return static_cast<int>(m_ranges.size()); }
    // The open range with the lowest start; -1 when complete.
    int FirstOpen() const;
    // The longest run of bytes on disk that no range still needs, as
    // [first, second); {0, 0} when there is none. A file fetched over
    // several connections may hold its longest run anywhere.
    std::pair<std::int64_t, std::int64_t> LongestPresentRun() const;

    // Bytes at an owned range's next byte that stay with its connection
    // whatever happens: what it holds and what is on its way to it. A
    // range is split only beyond them, or the new owner fetches bytes that
    // have already crossed the network.
    using Reserve = std::function<std::int64_t(int index)>;

    // Hands the connection work: an unowned open range first; else the upper
    // half of the largest owned range, past what its connection has on the
    // way (`reserve`, none when empty), when that leaves both halves at
    // least `minPiece` bytes. The index of its range, or -1 when there is none.
    int Assign(int connection, std::int64_t minPiece, const Reserve& reserve = {});
    // Whether Assign would find work now.
    bool HasWork(std::int64_t minPiece, const Reserve& reserve = {}) const;
    // Ends the range at `at`, inside it; the rest becomes a new range that
    // waits for an owner. Its index, or -1 when `at` is not inside.
    int Cut(int index, std::int64_t at);
    // Cuts the range into up to `pieces` equal ranges of at least
    // `minPiece` bytes; the first keeps its owner, the others wait for one.
    void Divide(int index, int pieces, std::int64_t minPiece);
    // Splits the owned range for `joining` connections about to open, so
    // that all end together on a server that sends each connection a burst
    // at once and then holds it to a rate: the new ones have their burst to
    // come, its owner has had its own (`fetched`, the bytes it brought). The
    // owner keeps an equal share of the whole less what it fetched, never
    // less than what it has on its way (`kept`) nor than `minPiece`; the
    // rest becomes up to `joining` equal ranges of at least `minPiece` that
    // wait for an owner. The number of those ranges.
    int Share(int index, int joining, std::int64_t fetched, std::int64_t kept, std::int64_t minPiece);
    // Joins the open ranges that wait for an owner where they meet and cuts
    // them into about `pieces` equal ranges of at least `minPiece` bytes,
    // for as many connections about to open at once: each then asks for an
    // equal share of what nobody fetches. The number of those ranges.
    int Spread(int pieces, std::int64_t minPiece);
    // Cuts from now on fall on multiples of `unit` where the range allows:
    // each piece of a file checked piece by piece then comes from one
    // connection, so a bad one names its mirror.
    void AlignCuts(std::int64_t unit) { m_align = std::max<std::int64_t>(unit, 1); }
    // Marks `bytes` at the range's next byte as on disk.
    void Advance(int index, std::int64_t bytes);
    // The connection of the range went away; the range waits for another.
    void Release(int index);
    // Whether every byte of [from, to) is on disk: no open range meets it.
    bool Holds(std::int64_t from, std::int64_t to) const;
    // Whether any byte of [from, to) is on disk: the open ranges leave a gap in it.
    bool HoldsSome(std::int64_t from, std::int64_t to) const;
    // Bytes of [from, to), which the plan holds, are missing again (they
    // proved bad): a new range that waits for an owner. Its index.
    int Reopen(std::int64_t from, std::int64_t to);
    // Nothing on disk counts any more (the file is to come again from zero):
    // every range closes where it stands, unowned, and one open range
    // covers the file. Indices stay valid; a closed range takes no bytes.
    void Forget();

private:
    std::int64_t m_total = 0;
    std::int64_t m_align = 1;
    std::vector<Range> m_ranges;  // never erased while the plan runs: indices stay valid
};

}  // namespace dromo
