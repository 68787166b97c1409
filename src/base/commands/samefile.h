#pragma once

#include <string>

#include "base/values/addresssample.h"

namespace dromo {

// Whether a new address provably serves the file a waiting task's partial
// file holds, so the task may continue from it; `reason` says why not.
struct SameFileVerdict {
    bool same = false;
    std::string reason;
};

// A new address is the same file only when everything Dromo can compare
// agrees and nothing is left to chance: the bytes on disk end at a known
// resume point and the last kSameFileTail of them (all of them when fewer)
// are there to compare; the answer is a range that starts and ends where
// they do and brings exactly them; it names the length the partial file
// was started with (kept as "size="), and that length is known; no ETag
// or Last-Modified both sides name differs; and its bytes equal those on
// disk. A server that ignores the range, a length either side leaves out,
// or a partial file with nothing before its resume point is not proof.
SameFileVerdict JudgeSameFile(const AddressSample& sample);

// What the user reads when an address given for a waiting task is not
// provably its file: the reason, and that nothing changed.
std::string NotSameFileMessage(const std::string& reason);

}  // namespace dromo
