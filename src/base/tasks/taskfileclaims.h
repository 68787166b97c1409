#pragma once

#include <cstdint>
#include <string>

#include "base/ports/fileclaims.h"
#include "base/values/taskid.h"

namespace dromo {

class TaskTable;

// The task list's answer to one task's transfer about the files it may
// write, decided under the task-table lock: a name another task holds is
// never claimed, and a claimed name is in the list the moment it is
// chosen, so no add and no other transfer can take it after.
class TaskFileClaims : public FileClaims {
public:
    TaskFileClaims(TaskTable& table, TaskId taskId) : m_table(table), m_taskId(taskId) {}

    bool Claim(const std::string& path) override;
    bool OwnsPartialFile(const std::string& path) override;
    void WritingPartialFile(const std::string& path) override;

private:
    TaskTable& m_table;
    TaskId m_taskId;
};

// True when a task of the list other than `taskId` names `path` as its file.
bool HeldByAnotherTask(const TaskTable& table, const std::string& path, TaskId taskId = kNoTask);

// The path itself when no task of the list names it, else the first free
// numbered name beside it; "" when there is none. The caller holds the
// table's lock until the name is in the list.
std::string FreeNameInList(const TaskTable& table, const std::string& path);

}  // namespace dromo
