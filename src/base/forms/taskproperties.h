#pragma once

#include <cstdint>

#include "base/values/taskid.h"

namespace dromo {

class Messages;
class TaskTable;
struct TaskPageValues;

enum class PropertiesResult {
    Stored,
    InvalidUrl,   // "invalid url" was shown; the task is unchanged
    TaskGone,     // the task left the list while the sheet was open
    TaskRunning,  // a worker took the task up while the sheet was open
    NameHeld,     // "Save as" names a file another task of the list saves to
};

// After OK of "Task Properties": the URL text split again, the pages'
// fields, the row's first column and icon, and the state when the schedule
// was switched on or off. The task is found by its identifier and copied
// afresh, so a worker's changes made while the sheet was open are kept.
PropertiesResult ApplyTaskProperties(TaskTable& table, TaskId taskId, const TaskPageValues& edited, Messages& messages);

}  // namespace dromo
