#include "base/tasks/tasktable.h"

#include <algorithm>
#include <bit>
#include <cctype>

#include "base/text/filenames.h"
#include "base/text/trace.h"

namespace dromo {
namespace {

// Letters folded as EqualsIgnoreCase compares them.
std::string FoldedCase(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

void CountPath(std::unordered_map<std::string, int>& counts, const std::string& path, int delta)
{
    const auto entry = counts.try_emplace(path, 0).first;
    entry->second += delta;
    if (entry->second <= 0) {
        counts.erase(entry);
    }
}

// What makes two records fetch one file into one folder.
std::string FetchKey(const TaskRecord& record)
{
    return std::to_string(record.protocol) + '\n' + std::to_string(record.port) + '\n' + FoldedCase(record.host) +
           '\n' + record.remotePath + '\n' + FolderOfPath(record.saveAs);
}

void Holder(std::unordered_multimap<std::string, TaskId>& holders, const std::string& path, TaskId taskId, int delta)
{
    if (delta > 0) {
        holders.emplace(path, taskId);
        return;
    }
    auto [it, end] = holders.equal_range(path);
    for (; it != end; ++it) {
        if (it->second == taskId) {
            holders.erase(it);
            return;
        }
    }
}

// Every state change passes the table's two writers, so this one place
// traces them all.
void TraceState(const TaskRecord& before, std::int32_t after)
{
    if (trace::On() && before.state != after) {
        trace::Line("task " + std::to_string(before.taskId),
                    StateName(before.state) + " -> " + StateName(after) + " (" + before.saveAs + ")");
    }
}

}  // namespace

void TaskTable::SetObserver(TaskListObserver* observer)
{
    Guard guard(m_mutex);
    m_observer = observer;
}

int TaskTable::Count() const
{
    Guard guard(m_mutex);
    return static_cast<int>(m_records.size());
}

bool TaskTable::ValidRow(int row) const
{
    Guard guard(m_mutex);
    return row >= 0 && row < static_cast<int>(m_records.size());
}

std::int32_t TaskTable::StateAt(int row) const
{
    Guard guard(m_mutex);
    return ValidRow(row) ? m_records[static_cast<std::size_t>(row)].state : 0;
}

TaskId TaskTable::TaskIdAt(int row) const
{
    Guard guard(m_mutex);
    return ValidRow(row) ? m_records[static_cast<std::size_t>(row)].taskId : kNoTask;
}

std::optional<TaskRecord> TaskTable::CopyOut(int row) const
{
    Guard guard(m_mutex);
    if (!ValidRow(row)) {
        return std::nullopt;
    }
    return m_records[static_cast<std::size_t>(row)];
}

bool TaskTable::WriteBack(int row, const TaskRecord& record)
{
    Guard guard(m_mutex);
    if (!ValidRow(row)) {
        return false;
    }
    Count(m_records[static_cast<std::size_t>(row)], -1);
    Count(record, +1);
    if (m_records[static_cast<std::size_t>(row)].saveAs != record.saveAs) {
        m_numberedFrom.clear();
    }
    TraceState(m_records[static_cast<std::size_t>(row)], record.state);
    m_records[static_cast<std::size_t>(row)] = record;
    ++m_changes;
    std::string& shown = m_rows[static_cast<std::size_t>(row)].saveAs;
    if (shown != record.saveAs) {
        shown = record.saveAs;
        Changed(row, kSaveAsPart);
    }
    ShowStateOf(row);
    return true;
}

void TaskTable::ShowStateOf(int row)
{
    const int image = StateImageOf(m_records[static_cast<std::size_t>(row)]);
    if (m_rows[static_cast<std::size_t>(row)].stateImage != image) {
        m_rows[static_cast<std::size_t>(row)].stateImage = image;
        Changed(row, kStateImagePart);
    }
}

bool TaskTable::Update(TaskId taskId, const std::function<void(TaskRecord&)>& change)
{
    Guard guard(m_mutex);
    const int row = RowOf(taskId);
    if (row < 0) {
        return false;
    }
    TaskRecord record = m_records[static_cast<std::size_t>(row)];
    change(record);
    return WriteBack(row, record);
}

TaskId TaskTable::NextTaskId() const
{
    Guard guard(m_mutex);
    return m_rowMap.Size();
}

bool TaskTable::CanAppend() const
{
    Guard guard(m_mutex);
    return !m_rowMap.Full();
}

void TaskTable::Reserve(int more)
{
    Guard guard(m_mutex);
    const auto room = static_cast<std::size_t>(Count()) +
                      static_cast<std::size_t>(std::clamp(more, 0, RowMap::kMaxEntries - NextTaskId()));
    m_rows.reserve(room);
    m_records.reserve(room);
}

std::optional<TaskId> TaskTable::Append(TaskRecord record, TaskRow row)
{
    Guard guard(m_mutex);
    const int newRow = Count();
    const auto id = m_rowMap.Append(newRow);
    if (!id) {
        return std::nullopt;
    }
    record.taskId = *id;
    row.saveAs = record.saveAs;
    row.stateImage = StateImageOf(record);
    if (trace::On()) {
        trace::Line("task " + std::to_string(record.taskId),
                    "added, " + StateName(record.state) + " (" + record.saveAs + ")");
    }
    m_rows.push_back(std::move(row));
    Count(record, +1);
    m_records.push_back(std::move(record));
    ++m_changes;
    if (m_observer) {
        m_observer->RowInserted(newRow);
    }
    return id;
}

int TaskTable::RowOf(TaskId taskId) const
{
    Guard guard(m_mutex);
    const int row = m_rowMap.EntryOf(taskId);
    if (!ValidRow(row) || m_records[static_cast<std::size_t>(row)].taskId != taskId) {
        return -1;
    }
    return row;
}

int TaskTable::RawRowOf(TaskId taskId) const
{
    Guard guard(m_mutex);
    return m_rowMap.EntryOf(taskId);
}

bool TaskTable::Remove(int row)
{
    Guard guard(m_mutex);
    if (!ValidRow(row)) {
        return false;
    }
    const TaskId taskId = m_records[static_cast<std::size_t>(row)].taskId;
    Count(m_records[static_cast<std::size_t>(row)], -1);
    m_numberedFrom.clear();
    trace::Line("task " + std::to_string(taskId), "removed");
    m_records.erase(m_records.begin() + row);
    m_rows.erase(m_rows.begin() + row);
    m_rowMap.RemovedTask(taskId);
    ++m_changes;
    if (m_observer) {
        m_observer->RowRemoved(row);
    }
    return true;
}

bool TaskTable::Read(int row, const std::function<void(const TaskRecord&, const TaskRow&)>& read) const
{
    Guard guard(m_mutex);
    if (!ValidRow(row)) {
        return false;
    }
    read(m_records[static_cast<std::size_t>(row)], m_rows[static_cast<std::size_t>(row)]);
    return true;
}

TaskRow TaskTable::RowCopy(int row) const
{
    Guard guard(m_mutex);
    if (!ValidRow(row)) {
        return {};
    }
    return m_rows[static_cast<std::size_t>(row)];
}

bool TaskTable::SetStateImage(int row, int image)
{
    Guard guard(m_mutex);
    if (!ValidRow(row)) {
        return false;
    }
    m_rows[static_cast<std::size_t>(row)].stateImage = image;
    ++m_changes;
    Changed(row, kStateImagePart);
    return true;
}

bool TaskTable::SetIcon(int row, int icon)
{
    Guard guard(m_mutex);
    if (!ValidRow(row)) {
        return false;
    }
    m_rows[static_cast<std::size_t>(row)].icon = icon;
    Changed(row, 1u << kColTarget);
    return true;
}

bool TaskTable::SetText(int row, Column column, std::string text)
{
    Guard guard(m_mutex);
    if (!ValidRow(row) || column < 0 || column >= kColumnCount) {
        return false;
    }
    auto& cell = m_rows[static_cast<std::size_t>(row)].texts[static_cast<std::size_t>(column)];
    if (cell != text) {
        cell = std::move(text);
        Changed(row, 1u << column);
    }
    return true;
}

bool TaskTable::SetState(int row, TaskState state)
{
    Guard guard(m_mutex);
    if (!ValidRow(row)) {
        return false;
    }
    TaskRecord& record = m_records[static_cast<std::size_t>(row)];
    Count(record, -1);
    TraceState(record, static_cast<std::int32_t>(state));
    record.SetState(state);
    Count(record, +1);
    ++m_changes;
    ShowStateOf(row);
    return true;
}

int TaskTable::CountIn(TaskState state) const
{
    Guard guard(m_mutex);
    const auto value = static_cast<std::uint32_t>(state);
    return m_inState[static_cast<std::size_t>(std::countr_zero(value))];
}

bool TaskTable::HoldsSaveAs(const std::string& path) const
{
    Guard guard(m_mutex);
    return m_saveAs.count(path) != 0;
}

TaskId TaskTable::TaskSavingAs(const std::string& path, TaskId exceptTaskId) const
{
    Guard guard(m_mutex);
    TaskId first = kNoTask;
    int firstRow = -1;
    auto [it, end] = m_saveAs.equal_range(path);
    for (; it != end; ++it) {
        const int row = RowOf(it->second);
        if (it->second != exceptTaskId && row >= 0 && (firstRow < 0 || row < firstRow)) {
            first = it->second;
            firstRow = row;
        }
    }
    return first;
}

bool TaskTable::RunningFetches(const TaskRecord& like) const
{
    Guard guard(m_mutex);
    return !m_runningFetches.empty() && m_runningFetches.count(FetchKey(like)) != 0;
}

bool TaskTable::RunningSavesTo(const std::string& path) const
{
    Guard guard(m_mutex);
    return m_runningSaveAs.count(FoldedCase(path)) != 0;
}

void TaskTable::Count(const TaskRecord& record, int delta)
{
    // Only the six single-bit states are counted; anything else (a hand-
    // edited value) is in no state.
    const auto value = static_cast<std::uint32_t>(record.state);
    if (std::has_single_bit(value) && value <= 32) {
        m_inState[static_cast<std::size_t>(std::countr_zero(value))] += delta;
    }
    Holder(m_saveAs, record.saveAs, record.taskId, delta);
    if (record.scheduled != 0) {
        if (delta > 0) {
            m_scheduled.insert(record.taskId);
        } else {
            m_scheduled.erase(record.taskId);
        }
    }
    if (record.Is(TaskState::Running)) {
        CountPath(m_runningSaveAs, FoldedCase(record.saveAs), delta);
        CountPath(m_runningFetches, FetchKey(record), delta);
    }
}

std::vector<TaskId> TaskTable::ScheduledTasks() const
{
    Guard guard(m_mutex);
    return {m_scheduled.begin(), m_scheduled.end()};
}

int TaskTable::FindRow(const std::function<bool(const TaskRecord&)>& test, int from) const
{
    Guard guard(m_mutex);
    for (int row = std::max(from, 0); row < static_cast<int>(m_records.size()); ++row) {
        if (test(m_records[static_cast<std::size_t>(row)])) {
            return row;
        }
    }
    return -1;
}

int TaskTable::NumberedFrom(const std::string& path) const
{
    Guard guard(m_mutex);
    const auto it = m_numberedFrom.find(path);
    return it == m_numberedFrom.end() ? 1 : it->second;
}

void TaskTable::NoteNumberedFrom(const std::string& path, int number) const
{
    Guard guard(m_mutex);
    m_numberedFrom[path] = number;
}

void TaskTable::ForEachRow(const std::function<void(const TaskRecord&, const TaskRow&)>& visit) const
{
    Guard guard(m_mutex);
    for (std::size_t row = 0; row < m_records.size(); ++row) {
        visit(m_records[row], m_rows[row]);
    }
}

std::uint64_t TaskTable::ChangeCount() const
{
    Guard guard(m_mutex);
    return m_changes;
}

void TaskTable::Changed(int row, RowParts parts) const
{
    if (m_observer) {
        m_observer->RowChanged(row, parts);
    }
}

}  // namespace dromo
