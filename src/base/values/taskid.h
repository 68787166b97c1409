#pragma once

#include <cstdint>
#include <limits>

namespace dromo {

// A task's permanent identifier within one run of the program: handed out
// in order as tasks join the list, never reused, never stored (profiles and
// list files keep tasks by their position). -1 names no task.
//
// 32 bits, so a run can list every task a profile can hold ("MRU Num" is a
// 32-bit count).
using TaskId = std::int32_t;

inline constexpr TaskId kNoTask = -1;
// The identifiers one run can hand out: 0 up to this one, no further (an
// identifier never wraps onto a live task).
inline constexpr TaskId kLastTaskId = std::numeric_limits<TaskId>::max() - 1;

}  // namespace dromo
