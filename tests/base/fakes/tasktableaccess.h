#pragma once

#include <mutex>

#include "base/tasks/tasktable.h"

namespace dromo {

// What tests reach inside the task table: the lock itself (to see from
// another thread whether a call holds it) and a whole-record write (to put
// a task into a state no command makes).
struct TaskTableTestAccess {
    static std::recursive_mutex& Mutex(const TaskTable& table) { return table.m_mutex; }
    static bool WriteBack(TaskTable& table, int row, const TaskRecord& record) { return table.WriteBack(row, record); }
};

}  // namespace dromo
