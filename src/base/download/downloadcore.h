#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/commands/taskadder.h"
#include "base/commands/taskcommands.h"
#include "base/download/progresshandler.h"
#include "base/download/workerpool.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/workerstate.h"

namespace dromo {

class Clock;
class Completion;
class Countdown;
class EngineFactory;
class HistoryPage;
class Messages;
class Network;
class Power;
class Shell;
class Sound;
class TaskListObserver;

// The ports the download machinery works through.
struct DownloadPorts {
    Clock& clock;
    Messages& messages;
    Shell& shell;
    Sound& sound;
    EngineFactory& engines;
    TaskListObserver& observer;
};

// What the program's end of the downloads needs: the connection and power
// to hang up and shut down with, the countdown that asks first, the way out
// of the program, and the file the history page is written to.
struct CompletionPorts {
    Network& network;
    Power& power;
    Countdown& countdown;
    std::function<void()> exitProgram;
    std::string historyPath;
};

// The download machinery of the main view on the standard library alone:
// the settings, the worker state, the end of the downloads, the progress
// handler, the worker pool, the task commands and the task adder, built in
// one place over the task table and the ports. The program puts the window
// on top of it; tests and benchmarks build it with fakes.
//
// The members are declared in the order they are built, so they go in the
// reverse order; the destructor first stops every transfer and joins every
// worker, which use all of them (and the table's observer).
class DownloadCore {
public:
    // The program's: the end of the downloads (completion actions, history
    // page) is built here.
    DownloadCore(TaskTable& taskTable, const DownloadPorts& ports, CompletionPorts end);
    // A test's or a benchmark's: the end of the downloads goes to these.
    DownloadCore(TaskTable& taskTable, const DownloadPorts& ports, CompletionActions& endActions,
                 HistoryWriter& historyWriter);
    ~DownloadCore();
    DownloadCore(const DownloadCore&) = delete;
    DownloadCore& operator=(const DownloadCore&) = delete;

    // The exit of tests and of the program's destruction: the stop flag
    // set, every transfer stopped, every worker joined. Nothing starts after;
    // only the first call does anything.
    void StopAndJoin();

    // The program's completion and history page; only after the program's
    // constructor.
    Completion& ProgramCompletion() { return *m_programCompletion; }
    HistoryPage& ProgramHistory() { return *m_programHistory; }

private:
    DownloadCore(TaskTable& taskTable, const DownloadPorts& ports, CompletionPorts* program,
                 CompletionActions* endActions, HistoryWriter* historyWriter);

public:
    TaskTable& table;
    ViewSettings settings;
    GlobalOptions& options = settings.options;
    WorkerState state;  // stop flag clear, no workers, the end event signalled

private:
    // The program's, built over the state above; null for a test's.
    std::unique_ptr<Completion> m_programCompletion;
    std::unique_ptr<HistoryPage> m_programHistory;
    bool m_joined = false;

public:
    CompletionActions& completion;
    HistoryWriter& history;
    ProgressHandler progress;
    WorkerPool pool;
    TaskCommands commands;
    TaskAdder adder;
};

}  // namespace dromo
