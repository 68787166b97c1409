#pragma once

#include <optional>
#include <vector>

#include "base/values/taskid.h"

namespace dromo {

// Maps a task's permanent identifier to its current row.
//
// Tasks only join the list at its end and identifiers are handed out in
// order, so the rows hold their tasks in identifier order and a task's row
// is the number of listed tasks with a smaller identifier. The map keeps
// just the listed identifiers, sorted, and answers by binary search: its
// memory follows the list, not every identifier handed out in a run, and a
// removal moves the later entries up in one block move. A removed task's
// entry reads as its classic stale value (its row when removed, less the
// tasks removed above it since).
//
// One run hands out identifiers 0..kLastTaskId; past that, Append refuses
// instead of wrapping: a wrapped identifier would alias a live task.
class RowMap {
public:
    // The identifiers one run can hand out.
    static constexpr TaskId kMaxEntries = kLastTaskId + 1;

    // How many identifiers this run has handed out: the next one.
    TaskId Size() const { return m_next; }
    bool Full() const { return m_next >= kMaxEntries; }
    // How many tasks the map lists now.
    int Listed() const { return static_cast<int>(m_listed.size()); }

    // Adds the next identifier at `row`, which must be the end of the list
    // (tasks only join there); returns that identifier, or nothing when
    // every identifier of this run is used or the row is not the end.
    std::optional<TaskId> Append(int row);

    // The entry for an identifier: its row, or for a removed task its stale
    // row; -1 for an identifier that was never handed out.
    int EntryOf(TaskId taskId) const;

    // A task's row went away: every entry after its identifier moves up one.
    void RemovedTask(TaskId taskId);

private:
    // Lets tests start a run near the last identifier.
    friend struct TaskTableTestAccess;

    std::vector<TaskId> m_listed;  // ascending: the identifier of each row
    TaskId m_next = 0;
};

}  // namespace dromo
