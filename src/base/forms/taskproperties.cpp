#include "base/forms/taskproperties.h"

#include "base/forms/taskpagevalues.h"
#include "base/ports/messages.h"
#include "base/tasks/taskfileclaims.h"
#include "base/tasks/tasktable.h"
#include "base/text/parseurl.h"
#include "base/view/filetypeicon.h"

namespace dromo {

PropertiesResult ApplyTaskProperties(TaskTable& table, TaskId taskId, const TaskPageValues& edited, Messages& messages)
{
    const auto url = ParseUrl(edited.url);
    if (!url) {
        messages.Warning("invalid url");
        return PropertiesResult::InvalidUrl;
    }
    auto guard = table.Lock();
    const int row = table.RowOf(taskId);
    if (row < 0) {
        return PropertiesResult::TaskGone;
    }
    if (table.StateAt(row) == static_cast<std::int32_t>(TaskState::Running)) {
        // A scheduled task may have started while the sheet was open; its
        // worker holds the old settings, and changing the address under it
        // would mix two downloads in one file.
        guard.unlock();
        messages.Warning("The task has started meanwhile; its properties were not changed.");
        return PropertiesResult::TaskRunning;
    }
    if (HeldByAnotherTask(table, edited.saveAs, taskId)) {
        // Two tasks of the list never write one file: the user chose this
        // name, so it is not numbered as an add's would be, but refused.
        guard.unlock();
        messages.Warning("Another task in the list saves to this file; its properties were not changed.");
        return PropertiesResult::NameHeld;
    }
    std::int32_t scheduledBefore = 0;
    std::int32_t scheduledAfter = 0;
    table.Update(taskId, [&](TaskRecord& record) {
        scheduledBefore = record.scheduled;
        record.protocol = url->protocol;
        record.host = url->host;
        record.port = url->port;
        record.remotePath = url->remotePath;
        edited.ApplyTo(record);
        scheduledAfter = record.scheduled;
    });
    table.SetText(row, kColTarget, edited.url);
    table.SetIcon(row, FileTypeIcon(url->remotePath));
    if ((scheduledAfter != 0) != (scheduledBefore != 0)) {
        table.SetState(row, scheduledAfter != 0 ? TaskState::Scheduled : TaskState::Paused);
    }
    return PropertiesResult::Stored;
}

}  // namespace dromo
