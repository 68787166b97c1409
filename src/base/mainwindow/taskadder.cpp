#include "mainwindow/taskadder.h"

#include "core/globaloptions.h"
#include "core/tasktable.h"
#include "download/workerpool.h"
#include "mainwindow/filetypeicon.h"
#include "mainwindow/parseurl.h"
#include "mainwindow/statuspanes.h"

namespace dromo {

TaskAdder::TaskAdder(TaskTable& table, const GlobalOptions& options, WorkerPool& workers,
                     TaskListObserver& observer, std::uintptr_t ownerWindow)
    : m_table(table), m_options(options), m_workers(workers), m_observer(observer),
      m_ownerWindow(ownerWindow)
{
}

bool TaskAdder::RestoreTask(const std::string& target, const std::string& sizeText,
                            const std::string& resumeText, const std::string& progressText,
                            TaskRecord record)
{
    const auto url = ParseUrl(target);
    if (!url) {
        return false;
    }
    record.protocol = url->protocol;
    record.host = url->host;
    record.port = url->port;
    record.remotePath = url->remotePath;
    record.ownerWindow = m_ownerWindow;
    record.engine.reset();

    if (!record.Is(TaskState::Done)) {
        record.SetState(m_options.resumeIfStart ? TaskState::Queued : TaskState::Paused);
    }
    if (record.scheduled) {
        record.SetState(TaskState::Scheduled);
    }

    TaskRow row;
    row.stateImage = StateImageOf(record.state);
    row.icon = FileTypeIcon(record.remotePath);
    row.texts[kColTarget] = target;
    row.texts[kColSize] = sizeText;
    row.texts[kColResume] = resumeText;
    row.texts[kColProgress] = progressText;

    if (!m_table.Append(std::move(record), std::move(row))) {
        return false;  // every task identifier of this run is used
    }
    UpdateStatusPanes(m_table, m_observer);
    if (m_options.resumeIfStart) {
        m_workers.ApplyRuleB();
    }
    return true;
}

}  // namespace dromo
