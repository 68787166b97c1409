#pragma once

namespace dromo {

class TaskTable;
class TaskListObserver;

// Tells the status bar how many tasks run and wait: pane 1 "N tasks is
// running", pane 2 "N tasks is in queue", pane 0 left as it is.
void UpdateStatusPanes(const TaskTable& table, TaskListObserver& observer);

}  // namespace dromo
