#include "base/view/statuspanes.h"

#include <string>

#include "base/ports/tasklistobserver.h"
#include "base/tasks/tasktable.h"

namespace dromo {

void UpdateStatusPanes(const TaskTable& table, TaskListObserver& observer)
{
    int running = 0;
    int queued = 0;
    {
        auto guard = table.Lock();
        running = table.CountIn(TaskState::Running);
        queued = table.CountIn(TaskState::Queued);
    }
    observer.StatusTexts("", std::to_string(running) + " tasks is running",
                         std::to_string(queued) + " tasks is in queue");
}

}  // namespace dromo
