#include "mainwindow/taskcommands.h"

#include <algorithm>
#include <string>

#include "core/globaloptions.h"
#include "core/tasklistobserver.h"
#include "core/tasktable.h"
#include "download/completionactions.h"
#include "download/transferengine.h"
#include "download/workerstarter.h"
#include "download/workerstate.h"
#include "mainwindow/messages.h"
#include "mainwindow/shell.h"
#include "mainwindow/statuspanes.h"

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

TaskCommands::TaskCommands(TaskTable& table, GlobalOptions& options, WorkerState& workers,
                           WorkerStarter& starter, CompletionActions& completion, Messages& messages,
                           Shell& shell, TaskListObserver& observer)
    : m_table(table), m_options(options), m_workers(workers), m_starter(starter),
      m_completion(completion), m_messages(messages), m_shell(shell), m_observer(observer)
{
}

void TaskCommands::UpdateStatusPanes()
{
    dromo::UpdateStatusPanes(m_table, m_observer);
}

void TaskCommands::RemoveTaskRow(int taskId, bool force)
{
    auto guard = m_table.Lock();
    const int row = m_table.RowOf(taskId);
    if (row >= 0 && (force || m_options.deleteIfDone)) {
        m_table.Remove(row);
    }
    if (!force && m_workers.activeCount == 0) {
        m_completion.CompletionCheck();
    }
}

void TaskCommands::Resume(const std::vector<int>& rows)
{
    for (int row : rows) {
        {
            auto guard = m_table.Lock();
            auto record = m_table.CopyOut(row);
            if (record && (record->Is(TaskState::Paused) || record->Is(TaskState::Error) ||
                           record->Is(TaskState::Scheduled))) {
                record->SetState(TaskState::Queued);
                record->scheduled = 0;
                m_table.WriteBack(row, *record);
                m_table.SetStateImage(row, kImageQueued);
            }
        }
        m_starter.ApplyRuleA();
        UpdateStatusPanes();
    }
}

void TaskCommands::Stop(const std::vector<int>& rows)
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
        record = m_table.CopyOut(row);
        if (record->scheduled) {
            record->scheduled = 0;
            // A running task is only told to stop; with its schedule gone the
            // worker ends it Paused. Marking it Paused before the transfer has
            // ended would let a Resume start a second worker on its file.
            if (!record->Is(TaskState::Running)) {
                record->SetState(TaskState::Paused);
            }
            m_table.WriteBack(row, *record);
            m_table.SetStateImage(row, StateImageOf(record->state));
        }
    }
}

void TaskCommands::StopAll()
{
    std::vector<int> rows;
    {
        auto guard = m_table.Lock();
        for (int row = 0; row < m_table.Count(); ++row) {
            rows.push_back(row);
        }
        Stop(rows);
    }
}

int TaskCommands::Delete(const std::vector<int>& rows)
{
    std::vector<int> left(rows);
    std::sort(left.begin(), left.end());
    int deleted = 0;
    while (!left.empty()) {
        bool running = false;
        {
            auto guard = m_table.Lock();
            const auto record = m_table.CopyOut(left.front());
            if (!record) {
                left.erase(left.begin());
                continue;
            }
            running = record->Is(TaskState::Running);
            if (!running) {
                RemoveTaskRow(record->taskId, true);  // the file stays on disk
                ++deleted;
                left.erase(left.begin());
                for (int& r : left) {
                    --r;  // every later row moved up one
                }
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

std::vector<int> TaskCommands::RunningRows() const
{
    std::vector<int> rows;
    auto guard = m_table.Lock();
    for (int row = 0; row < m_table.Count(); ++row) {
        if (m_table.StateAt(row) == StateValue(TaskState::Running)) {
            rows.push_back(row);
        }
    }
    return rows;
}

void TaskCommands::OpenDone(int row)
{
    const auto record = m_table.CopyOut(row);
    if (record && !m_shell.Open(record->saveAs)) {
        m_messages.Warning(kNotFound);
    }
}

void TaskCommands::Open(int clickedRow)
{
    const auto record = m_table.CopyOut(clickedRow);
    if (!record) {
        return;
    }
    if (!record->Is(TaskState::Done)) {
        m_messages.Warning(kNotComplete);
        return;
    }
    OpenDone(clickedRow);
}

void TaskCommands::DoubleClick(int row)
{
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

bool TaskCommands::AnySelectedIn(const std::vector<int>& selection, std::initializer_list<int> states) const
{
    auto guard = m_table.Lock();
    for (int row : selection) {
        if (std::find(states.begin(), states.end(), m_table.StateAt(row)) != states.end()) {
            return true;
        }
    }
    return false;
}

bool TaskCommands::Enabled(CommandId id, const std::vector<int>& selection, int clickedRow) const
{
    auto guard = m_table.Lock();
    const int count = m_table.Count();
    std::vector<int> all;
    for (int row = 0; row < count; ++row) {
        all.push_back(row);
    }
    const bool oneSelected = selection.size() == 1;
    const auto clicked = m_table.CopyOut(clickedRow);
    switch (id) {
    case CommandId::Resume:
        return AnySelectedIn(selection, {StateValue(TaskState::Paused), StateValue(TaskState::Scheduled)});
    case CommandId::Stop:
        return AnySelectedIn(selection, {StateValue(TaskState::Running), StateValue(TaskState::Queued),
                                         StateValue(TaskState::Error)});
    case CommandId::StopAll:
        return AnySelectedIn(all, {StateValue(TaskState::Running), StateValue(TaskState::Queued),
                                   StateValue(TaskState::Error)});
    case CommandId::DeleteSelected:
    case CommandId::SaveDownloadList:
        return !selection.empty();
    case CommandId::SelectAll:
        return count > 0;
    case CommandId::SelectAllInProgress:
        return AnySelectedIn(all, {StateValue(TaskState::Running)});
    case CommandId::Properties:
        return clicked && oneSelected && !clicked->Is(TaskState::Running);
    case CommandId::Open:
        return clicked && oneSelected && clicked->Is(TaskState::Done);
    case CommandId::HangUpWhenDone:
    case CommandId::AutoDialUp:
        return m_options.modemConnection;
    default:
        return true;
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

void TaskCommands::Toggle(CommandId id)
{
    auto guard = m_table.Lock();  // workers read the options under it
    auto flip = [](std::int32_t& flag) { flag = flag ? 0 : 1; };
    switch (id) {
    case CommandId::GridLine: flip(m_options.showGridLine); break;
    case CommandId::ShutDownWhenDone: flip(m_options.shutDownIfDone); break;
    case CommandId::HangUpWhenDone: flip(m_options.hangupIfDone); break;
    case CommandId::AutoDialUp: flip(m_options.redialIfDisconnected); break;
    default: break;
    }
}

}  // namespace dromo
