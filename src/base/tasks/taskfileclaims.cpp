#include "base/tasks/taskfileclaims.h"

#include "base/tasks/tasktable.h"
#include "base/text/filenames.h"

namespace dromo {

bool HeldByAnotherTask(const TaskTable& table, const std::string& path, TaskId taskId)
{
    // The table's index answers at once, however long the list.
    return taskId < 0 ? table.HoldsSaveAs(path) : table.TaskSavingAs(path, taskId) >= 0;
}

std::string FreeNameInList(const TaskTable& table, const std::string& path)
{
    const auto held = [&table](const std::string& p) { return table.HoldsSaveAs(p); };
    const int n = FirstFreeNumber(path, held, table.NumberedFrom(path));
    if (n < 0) {
        return {};
    }
    if (n > 0) {
        // The number found is about to be held too: the next search starts after it.
        table.NoteNumberedFrom(path, n + 1);
        return NumberedPath(path, n);
    }
    return path;
}

bool TaskFileClaims::Claim(const std::string& path)
{
    auto guard = m_table.Lock();
    if (HeldByAnotherTask(m_table, path, m_taskId)) {
        return false;
    }
    // A task deleted meanwhile holds nothing, and its transfer may still
    // finish the file it has begun: the name is free for it.
    m_table.Update(m_taskId, [&path](TaskRecord& r) {
        if (r.saveAs != path) {
            r.saveAs = path;
            r.ownsPartialFile = 0;  // the partial file of the new name is not yet written
        }
    });
    return true;
}

bool TaskFileClaims::OwnsPartialFile(const std::string& path)
{
    auto guard = m_table.Lock();
    const auto record = m_table.CopyOut(m_table.RowOf(m_taskId));
    return record && record->saveAs == path && record->ownsPartialFile != 0;
}

void TaskFileClaims::WritingPartialFile(const std::string& path)
{
    auto guard = m_table.Lock();
    const auto record = m_table.CopyOut(m_table.RowOf(m_taskId));
    if (record && record->saveAs == path && record->ownsPartialFile == 0) {
        // Stored with the task: where files keep no extended attributes,
        // this is the only record that the partial file is Dromo's.
        m_table.Update(m_taskId, [](TaskRecord& r) { r.ownsPartialFile = 1; });
    }
}

}  // namespace dromo
