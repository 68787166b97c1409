#pragma once

#include <cstdint>
#include <string>

#include "core/taskrecord.h"

namespace dromo {

class TaskTable;
class TaskListObserver;
class WorkerPool;
struct GlobalOptions;

// The paths by which a task enters the table.
class TaskAdder {
public:
    TaskAdder(TaskTable& table, const GlobalOptions& options, WorkerPool& workers,
              TaskListObserver& observer, std::uintptr_t ownerWindow = 0);

    // Puts back a task saved in the profile: the URL is parsed again, the
    // state follows "Resume if Start" and the schedule, and with "Resume if
    // Start" on a worker may start. A task whose URL does not parse is
    // dropped without a message; false then.
    bool RestoreTask(const std::string& target, const std::string& sizeText,
                     const std::string& resumeText, const std::string& progressText,
                     TaskRecord record);

private:
    TaskTable& m_table;
    const GlobalOptions& m_options;
    WorkerPool& m_workers;
    TaskListObserver& m_observer;
    std::uintptr_t m_ownerWindow;
};

}  // namespace dromo
