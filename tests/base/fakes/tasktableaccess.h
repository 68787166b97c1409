#pragma once

#include <mutex>

#include "base/tasks/tasktable.h"

namespace dromo {

// What tests reach inside the task table: the lock itself (to see from
// another thread whether a call holds it) and a whole-record write (to put
// a task into a state no command makes), and a run near its last identifier.
struct TaskTableTestAccess {
    static std::recursive_mutex& Mutex(const TaskTable& table) { return table.m_mutex; }
    static bool WriteBack(TaskTable& table, int row, const TaskRecord& record) { return table.WriteBack(row, record); }
    // Makes the table's run look as if `next` identifiers had been handed
    // out already (never fewer than it has), so the end of the identifiers
    // is in reach without two thousand million adds.
    static void SkipIdentifiersTo(TaskTable& table, TaskId next)
    {
        auto guard = table.Lock();
        if (next > table.m_rowMap.m_next) {
            table.m_rowMap.m_next = next;
        }
    }
};

}  // namespace dromo
