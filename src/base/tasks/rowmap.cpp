#include "base/tasks/rowmap.h"

namespace dromo {

std::optional<std::int16_t> RowMap::Append(int row)
{
    if (Full() || row < 0 || row >= kMaxEntries) {
        return std::nullopt;
    }
    const auto id = static_cast<std::int16_t>(m_rows.size());
    m_rows.push_back(static_cast<std::int16_t>(row));
    return id;
}

int RowMap::EntryOf(int taskId) const
{
    if (taskId < 0 || taskId >= Size()) {
        return -1;
    }
    return m_rows[static_cast<std::size_t>(taskId)];
}

void RowMap::RemovedTask(int taskId)
{
    if (taskId < 0) {
        return;
    }
    // Entries only ever go down by the number of tasks removed before them,
    // which is less than their starting value plus 32768: no overflow.
    for (std::size_t i = static_cast<std::size_t>(taskId) + 1; i < m_rows.size(); ++i) {
        m_rows[i] = static_cast<std::int16_t>(m_rows[i] - 1);
    }
}

}  // namespace dromo
