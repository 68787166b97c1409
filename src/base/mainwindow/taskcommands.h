#pragma once

#include <cstdint>
#include <vector>

#include "mainwindow/commandid.h"

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
// double-click, with their enabling rules. Selection is the window's: the
// commands take the selected rows (ascending) and the clicked row (-1: none).
class TaskCommands {
public:
    TaskCommands(TaskTable& table, GlobalOptions& options, WorkerState& workers, WorkerStarter& starter,
                 CompletionActions& completion, Messages& messages, Shell& shell, TaskListObserver& observer);

    // "N tasks is running" and "N tasks is in queue" to the status bar.
    void UpdateStatusPanes();
    // Removes a task's row when forced or when finished tasks leave the list;
    // without force it then runs the completion check when nothing is active.
    void RemoveTaskRow(int taskId, bool force);

    void Resume(const std::vector<int>& rows);
    void Stop(const std::vector<int>& rows);
    void StopAll();
    // Deletes the selected rows from the top until it meets a running task,
    // which it reports and keeps. Returns how many rows it deleted.
    int Delete(const std::vector<int>& rows);
    // The rows "Select All in Progress" selects.
    std::vector<int> RunningRows() const;
    // Context menu "Open" on the clicked row.
    void Open(int clickedRow);
    // A double-click on a row (-1: empty space, which does nothing).
    void DoubleClick(int row);

    bool Enabled(CommandId id, const std::vector<int>& selection, int clickedRow) const;
    // Whether the command shows a check mark now.
    bool Checked(CommandId id) const;
    // The three completion toggles and "Grid Line" flip their option.
    void Toggle(CommandId id);

private:
    bool AnySelectedIn(const std::vector<int>& selection, std::initializer_list<int> states) const;
    void OpenDone(int row);

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
