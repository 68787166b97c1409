#pragma once

#include <cstdint>
#include <vector>

namespace dromo {

// A range a connection is bringing, as the end-game of a segmented
// transfer sees it.
struct RunningRange {
    int mirror = 0;
    std::int64_t next = 0;  // the range's next byte
    std::int64_t end = 0;   // one past its last byte
    // What its connection holds and has on its way beyond the next byte:
    // bytes that already crossed the network.
    std::int64_t kept = 0;
    // Bytes a second its connection brought over the last window; below 0
    // until a whole window was watched (or while it is held back on purpose).
    double pace = -1;
};

// What a free connection takes over.
struct TakeOver {
    int which = -1;  // of the running ranges; -1: none is worth taking
    // Where the range is cut: what lies beyond goes to the free connection.
    // At the range's next byte the connection goes and the whole range is
    // taken.
    std::int64_t cutAt = -1;
    bool leave = false;  // its mirror is far below another: it is left
    double against = 0;  // the speed it fell behind, bytes a second
};

// The end-game: a connection is free and no range is large enough to halve,
// so the download waits for the slowest range. A range whose connection is
// far slower than another connection or another mirror (kLagFactor) goes to
// the free connection, all of it beyond what its connection has on its way
// (it keeps a byte at least, so that the range is not handed straight back
// to it); when another mirror is faster still (kLeaveFactor) the connection
// goes at once with its range and its mirror is left. A range its
// connection finishes within a second is left to it. Of several, the one
// that would take longest. `mirrorSpeeds`: bytes a second per connection of
// each mirror so far, below 0 while unknown.
TakeOver ChooseTakeOver(const std::vector<RunningRange>& running, const std::vector<double>& mirrorSpeeds);

inline constexpr double kLagFactor = 4;
inline constexpr double kLeaveFactor = 16;

}  // namespace dromo
