#pragma once

#include <cstdint>
#include <string>

namespace dromo {

// What the engine found when it set a new address beside a task's partial
// file: what lies on disk, and what the new address answered to a range
// request for the bytes just before the resume point. The rule on it is
// JudgeSameFile (base/commands/samefile.h).
struct AddressSample {
    // On disk.
    // Where the bytes compared end: a plain partial file's end, or the end
    // of the longest run on disk of one fetched over several connections;
    // -1: no partial file, or no run long enough.
    std::int64_t resumePoint = -1;
    std::string keptValidator;  // stored with the partial file ("" when none)
    std::string keptTail;       // the bytes before the resume point, up to kSameFileTail
    // From the new address. `code` 0: no answer (the reason in `error`).
    int code = 0;
    std::int64_t rangeFirst = -1;  // its Content-Range; -1 when it sent none
    std::int64_t rangeLast = -1;
    std::int64_t total = -1;  // the whole file's length it names; -1 unknown
    std::string validator;    // what it says of its file, as validator lines
    std::string tail;         // the body, at most one byte past what was asked
    std::string error;
};

// How many bytes before the resume point must be equal on both sides.
inline constexpr std::int64_t kSameFileTail = 64 * 1024;

}  // namespace dromo
