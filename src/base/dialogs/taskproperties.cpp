#include "base/dialogs/taskproperties.h"

#include "base/core/tasktable.h"
#include "base/dialogs/taskpagevalues.h"
#include "base/mainwindow/filetypeicon.h"
#include "base/mainwindow/parseurl.h"
#include "base/ports/messages.h"

namespace dromo {

PropertiesResult ApplyTaskProperties(TaskTable& table, std::int16_t taskId, const TaskPageValues& edited,
                                     Messages& messages)
{
    const auto url = ParseUrl(edited.url);
    if (!url) {
        messages.Warning("invalid url");
        return PropertiesResult::InvalidUrl;
    }
    auto guard = table.Lock();
    const int row = table.RowOf(taskId);
    auto record = table.CopyOut(row);
    if (!record) {
        return PropertiesResult::TaskGone;
    }
    if (record->Is(TaskState::Running)) {
        // A scheduled task may have started while the sheet was open; its
        // worker holds the old settings, and changing the address under it
        // would mix two downloads in one file.
        guard.unlock();
        messages.Warning("The task has started meanwhile; its properties were not changed.");
        return PropertiesResult::TaskRunning;
    }
    const std::int32_t scheduledBefore = record->scheduled;
    record->protocol = url->protocol;
    record->host = url->host;
    record->port = url->port;
    record->remotePath = url->remotePath;
    edited.ApplyTo(*record);
    table.WriteBack(row, *record);
    table.SetText(row, kColTarget, edited.url);
    table.SetIcon(row, FileTypeIcon(record->remotePath));
    if ((record->scheduled != 0) != (scheduledBefore != 0)) {
        table.SetState(row, record->scheduled != 0 ? TaskState::Scheduled : TaskState::Paused);
    }
    return PropertiesResult::Stored;
}

}  // namespace dromo
