#include "base/tasks/rowmap.h"

#include <algorithm>

namespace dromo {

std::optional<TaskId> RowMap::Append(int row)
{
    if (Full() || row != Listed()) {
        return std::nullopt;
    }
    const TaskId id = m_next++;
    m_listed.push_back(id);
    return id;
}

int RowMap::EntryOf(TaskId taskId) const
{
    if (taskId < 0 || taskId >= m_next) {
        return -1;
    }
    // Rows before the task's are exactly the listed tasks with smaller
    // identifiers; for a listed task that is its row, for a removed one the
    // value its entry would have been moved to.
    return static_cast<int>(std::lower_bound(m_listed.begin(), m_listed.end(), taskId) - m_listed.begin());
}

void RowMap::RemovedTask(TaskId taskId)
{
    const auto it = std::lower_bound(m_listed.begin(), m_listed.end(), taskId);
    if (it != m_listed.end() && *it == taskId) {
        m_listed.erase(it);
    }
}

}  // namespace dromo
