#include "base/commands/taskcommands.h"

#include <algorithm>
#include <string>

#include "base/ports/completionactions.h"
#include "base/ports/messages.h"
#include "base/ports/shell.h"
#include "base/ports/tasklistobserver.h"
#include "base/ports/transferengine.h"
#include "base/ports/workerstarter.h"
#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/values/globaloptions.h"
#include "base/values/taskrecord.h"
#include "base/view/statuspanes.h"

namespace dromo {
namespace {

constexpr const char* kRunningCannotDelete = "The selected task is running, stop it first.";
constexpr const char* kNotComplete = "This file is not downloaded completely, you had better leave it alone.";
constexpr const char* kBeingDownloaded = "This file is being downloaded, you cannot open it now.";
constexpr const char* kNotFound = "File not found or moved";

int StateValue(TaskState s)
{
    return static_cast<int>(s);
}

}  // namespace

TaskCommands::TaskCommands(TaskTable& table, GlobalOptions& options, WorkerState& workers, WorkerStarter& starter,
                           CompletionActions& completion, Messages& messages, Shell& shell, TaskListObserver& observer)
    : m_table(table), m_options(options), m_workers(workers), m_starter(starter), m_completion(completion),
      m_messages(messages), m_shell(shell), m_observer(observer)
{
}

void TaskCommands::UpdateStatusPanes()
{
    dromo::UpdateStatusPanes(m_table, m_observer);
}

void TaskCommands::RemoveTaskRow(TaskId taskId, bool force)
{
    auto guard = m_table.Lock();
    const int row = m_table.RowOf(taskId);
    if (row >= 0 && (force || m_options.deleteIfDone)) {
        m_table.Remove(row);
    }
    if (!force && m_workers.Counts(guard).activeCount == 0) {
        m_completion.CompletionCheck();
    }
}

std::vector<int> TaskCommands::RowsOf(const std::vector<TaskId>& taskIds) const
{
    std::vector<int> rows;
    auto guard = m_table.Lock();
    for (TaskId taskId : taskIds) {
        const int row = m_table.RowOf(taskId);
        if (row >= 0) {
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void TaskCommands::Resume(const std::vector<TaskId>& taskIds)
{
    // Each task in list order; StartWorkerIfAllBusy after each one, as the user would get
    // by resuming them one at a time.
    std::vector<TaskId> ordered;
    {
        auto guard = m_table.Lock();
        for (int row : RowsOf(taskIds)) {
            ordered.push_back(m_table.TaskIdAt(row));
        }
    }
    for (TaskId taskId : ordered) {
        {
            auto guard = m_table.Lock();
            const int row = m_table.RowOf(taskId);
            const std::int32_t state = m_table.StateAt(row);
            if (state == StateValue(TaskState::Paused) || state == StateValue(TaskState::Error) ||
                state == StateValue(TaskState::Scheduled)) {
                m_table.Update(taskId, [](TaskRecord& r) {
                    r.SetState(TaskState::Queued);
                    r.scheduled = 0;
                });
            }
        }
        m_starter.StartWorkerIfAllBusy();
        UpdateStatusPanes();
    }
}

void TaskCommands::Stop(const std::vector<TaskId>& taskIds)
{
    auto guard = m_table.Lock();
    StopRows(RowsOf(taskIds));
}

void TaskCommands::StopRows(const std::vector<int>& rows)
{
    auto guard = m_table.Lock();
    for (int row : rows) {
        auto record = m_table.CopyOut(row);
        if (!record) {
            continue;
        }
        if (record->Is(TaskState::Running)) {
            if (record->engine) {
                record->engine->Abort();  // the worker sets the final state
            }
        } else if (record->Is(TaskState::Queued) || record->Is(TaskState::Error)) {
            m_table.SetState(row, TaskState::Paused);
        }
        if (m_table.CopyOut(row)->scheduled) {
            m_table.Update(m_table.TaskIdAt(row), [](TaskRecord& r) {
                r.scheduled = 0;
                // A running task is only told to stop; with its schedule gone
                // the worker ends it Paused. Marking it Paused before the
                // transfer has ended would let a Resume start a second worker
                // on its file.
                if (!r.Is(TaskState::Running)) {
                    r.SetState(TaskState::Paused);
                }
            });
        }
    }
}

void TaskCommands::StopAll()
{
    auto guard = m_table.Lock();
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(m_table.Count()));
    for (int row = 0; row < m_table.Count(); ++row) {
        rows.push_back(row);
    }
    StopRows(rows);
}

void TaskCommands::AbortRunning()
{
    auto guard = m_table.Lock();
    for (int row = m_table.FindRow([](const TaskRecord& r) { return r.Is(TaskState::Running); }); row >= 0;
         row = m_table.FindRow([](const TaskRecord& r) { return r.Is(TaskState::Running); }, row + 1)) {
        if (const auto record = m_table.CopyOut(row); record && record->engine) {
            record->engine->Abort();
        }
    }
}

int TaskCommands::Delete(const std::vector<TaskId>& taskIds)
{
    // The tasks in list order, taken once: removing one does not change the
    // order of the others.
    std::vector<TaskId> left;
    {
        auto guard = m_table.Lock();
        for (int row : RowsOf(taskIds)) {
            left.push_back(m_table.TaskIdAt(row));
        }
    }
    int deleted = 0;
    for (TaskId taskId : left) {
        bool running = false;
        {
            auto guard = m_table.Lock();
            const auto record = m_table.CopyOut(m_table.RowOf(taskId));
            if (!record) {
                continue;  // gone meanwhile (a worker removed it)
            }
            running = record->Is(TaskState::Running);
            if (!running) {
                RemoveTaskRow(taskId, true);  // the file stays on disk
                ++deleted;
            }
        }
        if (running) {
            m_messages.Warning(kRunningCannotDelete);  // not while holding the lock
            break;
        }
    }
    UpdateStatusPanes();
    return deleted;
}

std::vector<TaskId> TaskCommands::RunningTaskIds() const
{
    std::vector<TaskId> taskIds;
    auto guard = m_table.Lock();
    for (int row = m_table.FindRow([](const TaskRecord& r) { return r.Is(TaskState::Running); }); row >= 0;
         row = m_table.FindRow([](const TaskRecord& r) { return r.Is(TaskState::Running); }, row + 1)) {
        taskIds.push_back(m_table.TaskIdAt(row));
    }
    return taskIds;
}

void TaskCommands::OpenDone(int row)
{
    const auto record = m_table.CopyOut(row);
    if (record && !m_shell.Open(record->saveAs)) {
        m_messages.Warning(kNotFound);
    }
}

void TaskCommands::Open(TaskId clickedTaskId)
{
    ActOnFinished(clickedTaskId, [this](const std::string& path) { return m_shell.Open(path); });
}

void TaskCommands::OpenFolder(TaskId clickedTaskId)
{
    ActOnFinished(clickedTaskId, [this](const std::string& path) { return m_shell.ShowItem(path); });
}

void TaskCommands::ActOnFinished(TaskId taskId, const std::function<bool(const std::string&)>& act)
{
    const auto record = m_table.CopyOut(m_table.RowOf(taskId));
    if (!record) {
        return;
    }
    if (!record->Is(TaskState::Done)) {
        m_messages.Warning(kNotComplete);
    } else if (!act(record->saveAs)) {
        m_messages.Warning(kNotFound);
    }
}

void TaskCommands::DoubleClick(TaskId taskId)
{
    const int row = m_table.RowOf(taskId);
    const auto record = m_table.CopyOut(row);
    if (!record) {
        return;
    }
    if (record->Is(TaskState::Done)) {
        OpenDone(row);
    } else if (record->Is(TaskState::Running)) {
        m_messages.Warning(kBeingDownloaded);
    } else {
        m_messages.Warning(kNotComplete);
    }
}

bool TaskCommands::AnySelectedIn(const std::vector<TaskId>& taskIds, std::initializer_list<TaskState> states) const
{
    auto guard = m_table.Lock();
    for (TaskId taskId : taskIds) {
        const std::int32_t state = m_table.StateAt(m_table.RowOf(taskId));  // 0 for a task gone
        for (TaskState s : states) {
            if (state == StateValue(s)) {
                return true;
            }
        }
    }
    return false;
}

bool TaskCommands::Enabled(CommandId id, const std::vector<TaskId>& selectedTaskIds, TaskId clickedTaskId) const
{
    auto guard = m_table.Lock();
    // Only tasks still in the table count as selected. Worked out only for
    // the commands that look at the selection: this runs for every command
    // whenever the list changes.
    auto selected = [&] { return RowsOf(selectedTaskIds).size(); };
    auto clicked = [&] { return m_table.CopyOut(m_table.RowOf(clickedTaskId)); };
    switch (id) {
    case CommandId::Resume: return AnySelectedIn(selectedTaskIds, {TaskState::Paused, TaskState::Scheduled});
    case CommandId::Stop:
        return AnySelectedIn(selectedTaskIds, {TaskState::Running, TaskState::Queued, TaskState::Error});
    case CommandId::StopAll:
        return m_table.CountIn(TaskState::Running) + m_table.CountIn(TaskState::Queued) +
                   m_table.CountIn(TaskState::Error) >
               0;
    case CommandId::DeleteSelected:
    case CommandId::SaveDownloadList: return selected() > 0;
    case CommandId::SelectAll: return m_table.Count() > 0;
    case CommandId::SelectAllInProgress: return m_table.CountIn(TaskState::Running) > 0;
    case CommandId::Properties: {
        const auto record = clicked();
        return record && selected() == 1 && !record->Is(TaskState::Running);
    }
    case CommandId::Open:
    case CommandId::OpenFolder: {
        const auto record = clicked();
        return record && selected() == 1 && record->Is(TaskState::Done);
    }
    case CommandId::RefreshAddress: {
        const auto record = clicked();
        return record && selected() == 1 && record->WaitsForNewAddress();
    }
    case CommandId::HangUpWhenDone:
    case CommandId::AutoDialUp: return m_options.modemConnection;
    default: return true;
    }
}

bool TaskCommands::Checked(CommandId id) const
{
    switch (id) {
    case CommandId::GridLine: return m_options.showGridLine != 0;
    case CommandId::ShutDownWhenDone: return m_options.shutDownIfDone != 0;
    case CommandId::HangUpWhenDone: return m_options.hangupIfDone != 0;
    case CommandId::AutoDialUp: return m_options.redialIfDisconnected != 0;
    default: return false;
    }
}

bool TaskCommands::Toggle(CommandId id)
{
    // A power action acts when nobody may be at the machine: it is switched
    // on only when the user says so (the question's default is Cancel, so a
    // Return meant for something else does not say yes); off needs no word.
    if (const char* question = PowerActionQuestion(id);
        question != nullptr && !Checked(id) && !m_messages.AskOkCancel(question, Ask::Question)) {
        return false;
    }
    auto guard = m_table.Lock();  // workers read the options under it
    auto flip = [](std::int32_t& flag) { flag = flag ? 0 : 1; };
    switch (id) {
    case CommandId::GridLine: flip(m_options.showGridLine); break;
    case CommandId::ShutDownWhenDone: flip(m_options.shutDownIfDone); break;
    case CommandId::HangUpWhenDone: flip(m_options.hangupIfDone); break;
    case CommandId::AutoDialUp: flip(m_options.redialIfDisconnected); break;
    default: break;
    }
    return true;
}

const char* TaskCommands::PowerActionQuestion(CommandId id)
{
    switch (id) {
    case CommandId::ShutDownWhenDone:
        return "Shut down the computer when all downloads are done? Dromo counts down 15 seconds first, and you "
               "can cancel then.";
    case CommandId::HangUpWhenDone:
        return "Hang up the Internet connection when all downloads are done? Dromo counts down 15 seconds first, "
               "and you can cancel then.";
    default: return nullptr;
    }
}

}  // namespace dromo
