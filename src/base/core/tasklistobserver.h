#pragma once

#include <string>

namespace dromo {

// What base tells the task list's presenter. Calls arrive on any thread and
// with the task-table lock held: an implementation must only note or queue
// the change and never wait for another thread.
class TaskListObserver {
public:
    virtual ~TaskListObserver() = default;
    virtual void RowInserted(int row) = 0;
    virtual void RowRemoved(int row) = 0;
    virtual void RowChanged(int row) = 0;
    // The status bar's panes; an empty text leaves that pane unchanged.
    virtual void StatusTexts(const std::string& pane0, const std::string& pane1,
                             const std::string& pane2) = 0;
};

}  // namespace dromo
