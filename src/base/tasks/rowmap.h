#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace dromo {

// Maps a task's permanent 16-bit identifier to its current row. It only
// grows: entries of deleted tasks stay behind with stale values and are
// never looked up again through a live task.
//
// Identifiers are 16-bit signed, so one run of the program can hand out
// 32768 of them (0..32767). Past that, Append refuses instead of wrapping:
// a wrapped identifier would alias a live task.
class RowMap {
public:
    static constexpr int kMaxEntries = 32768;

    int Size() const { return static_cast<int>(m_rows.size()); }
    bool Full() const { return Size() >= kMaxEntries; }

    // Adds the row of the next identifier; returns that identifier, or
    // nothing when every identifier of this run is used.
    std::optional<std::int16_t> Append(int row);

    // The raw entry for an identifier (stale for a deleted task); -1 for an
    // identifier that was never handed out.
    int EntryOf(int taskId) const;

    // A task's row went away: every entry after its identifier moves up one.
    void RemovedTask(int taskId);

private:
    std::vector<std::int16_t> m_rows;
};

}  // namespace dromo
