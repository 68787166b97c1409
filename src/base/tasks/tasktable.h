#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/ports/tasklistobserver.h"
#include "base/tasks/rowmap.h"
#include "base/values/taskid.h"
#include "base/values/taskrecord.h"
#include "base/values/taskrow.h"

namespace dromo {

// The ordered task records (element i is row i of the task list), their
// rows, the identifier-to-row map, and the one recursive task-table lock
// that guards them (and the worker counters, see WorkerState).
//
// Every operation takes the lock itself, so a single call is safe from any
// thread; a read-modify-write of one record goes through Update, which holds
// the lock from the copy out to the write back.
//
// What else the lock guards (the options and lists, the worker counts) opens
// only with a Guard in hand (`Guarded`, `WorkerState::Counts`): a Guard is
// the proof that the lock is held, and only Lock() makes one.
class TaskTable {
public:
    class Guard : public std::unique_lock<std::recursive_mutex> {
    public:
        Guard(Guard&&) noexcept = default;
        Guard& operator=(Guard&&) noexcept = default;

    private:
        friend class TaskTable;
        explicit Guard(std::recursive_mutex& mutex) : std::unique_lock<std::recursive_mutex>(mutex) {}
    };

    explicit TaskTable(TaskListObserver* observer = nullptr) : m_observer(observer) {}
    TaskTable(const TaskTable&) = delete;
    TaskTable& operator=(const TaskTable&) = delete;

    void SetObserver(TaskListObserver* observer);
    Guard Lock() const { return Guard(m_mutex); }

    int Count() const;
    bool ValidRow(int row) const;

    // The state of the record in a row, without copying it; 0 for no such row.
    std::int32_t StateAt(int row) const;
    // The identifier of the task in a row; -1 for no such row.
    TaskId TaskIdAt(int row) const;
    // A full copy of the record in a row; nothing for a row that is not there.
    std::optional<TaskRecord> CopyOut(int row) const;
    // Copies the task's record out, lets `change` change the copy and writes
    // it back, all under the lock, so no other thread sees half a change or
    // writes between the copy and the write back. False, and `change` is not
    // called, when the task is no longer in the table.
    bool Update(TaskId taskId, const std::function<void(TaskRecord&)>& change);

    // The identifier the next append hands out (how many this run has);
    // RowMap::kMaxEntries once every identifier of this run is used.
    TaskId NextTaskId() const;
    bool CanAppend() const;
    // Room for this many more rows (no more than can still be appended).
    void Reserve(int more);
    // Sets the record's taskId, appends its row and the record at the end and
    // maps the identifier to that row. Nothing is appended, and nothing is
    // returned, once every identifier of this run has been handed out.
    std::optional<TaskId> Append(TaskRecord record, TaskRow row);

    // The current row of a task, or -1 when the task is no longer in the
    // table (the map's stale entry is checked against the record there).
    int RowOf(TaskId taskId) const;
    // The map's entry as it stands, stale or not.
    int RawRowOf(TaskId taskId) const;

    // Removes the record and the row and moves the map entries of every later
    // identifier up one row. False when no such row.
    bool Remove(int row);

    TaskRow RowCopy(int row) const;
    // Lets `read` look at a row's record and texts where they are, under the
    // lock, without copying either (a worker's progress does this many
    // times a second); false, and `read` is not called, for no such row.
    bool Read(int row, const std::function<void(const TaskRecord&, const TaskRow&)>& read) const;
    bool SetStateImage(int row, int image);
    bool SetText(int row, Column column, std::string text);
    // The file-type icon, shown in the first column.
    bool SetIcon(int row, int icon);
    // Sets the state and, in the same locked section, the matching image.
    // (Every write of a record does the same: a row always shows its
    // record's state, failure and verification.)
    bool SetState(int row, TaskState state);

    // Counts the records in a state.
    int CountIn(TaskState state) const;

    // Whether a record saves to exactly this path. Kept as records change,
    // so an add costs the same however long the list is.
    bool HoldsSaveAs(const std::string& path) const;
    // Whether a Running record saves to this path, letters in any case.
    bool RunningSavesTo(const std::string& path) const;
    // A task whose record saves to exactly this path, other than
    // `exceptTaskId`; of several, the one in the first row. -1 when none.
    TaskId TaskSavingAs(const std::string& path, TaskId exceptTaskId = kNoTask) const;
    // Whether a Running record fetches the same remote file (protocol, host
    // in any case, port, path) into the folder `like` saves to.
    bool RunningFetches(const TaskRecord& like) const;
    // The tasks whose records are scheduled, in identifier order: what the
    // once-a-second schedule check looks at, so an idle list costs nothing.
    std::vector<TaskId> ScheduledTasks() const;

    // The first row, from `from` on, whose record satisfies the test; -1 when
    // none. The test sees the record in place, under the lock, and must not
    // keep it: this is for scans that would otherwise copy every record.
    int FindRow(const std::function<bool(const TaskRecord&)>& test, int from = 0) const;

    // Where a search for a free numbered name beside `path` may start:
    // every lower number was held when it was last searched. Forgotten as
    // soon as any name leaves the list, so the search still finds the first
    // free number, and many adds of one name cost the same each.
    int NumberedFrom(const std::string& path) const;
    void NoteNumberedFrom(const std::string& path, int number) const;

    // Shows every record with its row, in row order, all under one hold of
    // the lock: a saver's snapshot copies what it stores in a few
    // milliseconds. `visit` must not keep them or call back into the table.
    void ForEachRow(const std::function<void(const TaskRecord&, const TaskRow&)>& visit) const;

    // Goes up with every append, removal and record or state change (not
    // with column texts): what a saver compares to know the list changed.
    std::uint64_t ChangeCount() const;

private:
    // The tests' way to the lock itself and to a whole-record write.
    friend struct TaskTableTestAccess;

    // Replaces every field of the record in that row; false when no such row.
    // Only Update writes a record back: a caller's copy may be stale.
    bool WriteBack(int row, const TaskRecord& record);
    // Puts the image of the record's state on its row.
    void ShowStateOf(int row);
    void Changed(int row, RowParts parts) const;
    // Counts a record in (delta 1) or out of (delta -1) the per-state counts
    // and the path indexes.
    void Count(const TaskRecord& record, int delta);

    mutable std::recursive_mutex m_mutex;
    std::vector<TaskRecord> m_records;
    std::vector<TaskRow> m_rows;
    RowMap m_rowMap;
    TaskListObserver* m_observer;
    std::uint64_t m_changes = 0;
    // Records per state (bit position of the state value), kept as records
    // change, so the status bar's counts cost nothing with many tasks.
    std::array<int, 33> m_inState{};
    // The tasks per saveAs; Running records per saveAs in lower case, and
    // per remote file and folder (FetchKey). Kept as records change, so no
    // add or claim walks the whole list.
    std::unordered_multimap<std::string, TaskId> m_saveAs;
    std::unordered_map<std::string, int> m_runningSaveAs;
    std::unordered_map<std::string, int> m_runningFetches;
    std::set<TaskId> m_scheduled;
    mutable std::unordered_map<std::string, int> m_numberedFrom;
};

}  // namespace dromo
