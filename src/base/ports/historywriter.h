#pragma once

#include "base/values/taskid.h"

namespace dromo {

// Writes a finished run into the download history (task-table lock held).
class HistoryWriter {
public:
    virtual ~HistoryWriter() = default;
    virtual void WriteHistoryEntry(TaskId taskId) = 0;
};

}  // namespace dromo
