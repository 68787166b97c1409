#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/values/commandid.h"
#include "base/values/taskid.h"
#include "base/values/taskstate.h"

namespace dromo {

class CompletionActions;
class Messages;
class Shell;
class TaskListObserver;
class TaskTable;
class WorkerStarter;
struct GlobalOptions;
struct WorkerState;

// The task commands of the Edit and Download menus, the context menu and the
// double-click, with their enabling rules. Selection is the window's, and it
// reaches the commands as task identifiers, never as row numbers: the
// window's picture of the rows lags the table (a worker may remove a row the
// user has not yet seen go), so each command finds the rows of its tasks
// under the lock at the moment it runs. A task no longer in the table is
// left out. The clicked task is -1 when there is none.
class TaskCommands {
public:
    TaskCommands(TaskTable& table, GlobalOptions& options, WorkerState& workers, WorkerStarter& starter,
                 CompletionActions& completion, Messages& messages, Shell& shell, TaskListObserver& observer);

    // "N tasks is running" and "N tasks is in queue" to the status bar.
    void UpdateStatusPanes();
    // Removes a task's row when forced or when finished tasks leave the list;
    // without force it then runs the completion check when nothing is active.
    void RemoveTaskRow(TaskId taskId, bool force);

    void Resume(const std::vector<TaskId>& taskIds);
    void Stop(const std::vector<TaskId>& taskIds);
    void StopAll();
    // The exit's stop: every running transfer is told to end, and nothing
    // else changes, so a queued task, a schedule or a failure is kept as it
    // is for the next start (a running one ends Paused, or Scheduled when
    // it has a schedule).
    void AbortRunning();
    // Deletes the selected tasks from the top of the list until it meets a
    // running task, which it reports and keeps. Returns how many it deleted.
    int Delete(const std::vector<TaskId>& taskIds);
    // The tasks "Select All in Progress" selects.
    std::vector<TaskId> RunningTaskIds() const;
    // The current rows of these tasks, ascending; the caller holds the lock
    // for as long as the rows must stay true.
    std::vector<int> RowsOf(const std::vector<TaskId>& taskIds) const;
    // Context menu "Open" on the clicked task.
    void Open(TaskId clickedTaskId);
    // "Open Containing Folder": the clicked task's finished file shown in
    // the file manager.
    void OpenFolder(TaskId clickedTaskId);
    // A double-click on a task's row (-1: empty space, which does nothing).
    void DoubleClick(TaskId taskId);

    bool Enabled(CommandId id, const std::vector<TaskId>& selectedTaskIds, TaskId clickedTaskId) const;
    // Whether the command shows a check mark now.
    bool Checked(CommandId id) const;
    // The three completion toggles and "Grid Line" flip their option. A
    // power action ("Shut Down Computer When Done", "Hang up When Done") is
    // switched on only after the user confirms it; false when he did not.
    bool Toggle(CommandId id);
    // The question asked before a power action is switched on; nullptr for
    // any other command.
    static const char* PowerActionQuestion(CommandId id);

private:
    bool AnySelectedIn(const std::vector<TaskId>& taskIds, std::initializer_list<TaskState> states) const;
    void StopRows(const std::vector<int>& rows);
    void OpenDone(int row);
    // Hands a finished task's file to `act`; says so when the task is not
    // finished or `act` finds no file.
    void ActOnFinished(TaskId taskId, const std::function<bool(const std::string&)>& act);

    TaskTable& m_table;
    GlobalOptions& m_options;
    WorkerState& m_workers;
    WorkerStarter& m_starter;
    CompletionActions& m_completion;
    Messages& m_messages;
    Shell& m_shell;
    TaskListObserver& m_observer;
};

}  // namespace dromo
