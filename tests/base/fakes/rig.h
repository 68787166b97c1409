#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "base/core/settingsstore.h"
#include "base/core/tasktable.h"
#include "base/download/progresshandler.h"
#include "base/download/workerpool.h"
#include "base/download/workerstate.h"
#include "base/mainwindow/taskadder.h"
#include "base/mainwindow/taskcommands.h"
#include "tests/base/fakes/fakes.h"
#include "tests/base/fakes/scriptedengine.h"

namespace dromo::test {

// The download machinery of the main view, wired with fakes for every port
// and a scripted engine: what the program builds at start-up, minus the window.
struct Rig {
    ViewSettings settings;
    GlobalOptions& options = settings.options;
    TaskTable table;
    WorkerState state;
    FakeClock clock;
    FakeCompletion completion;
    FakeMessages messages;
    FakeShell shell;
    FakeSound sound;
    RecordingObserver observer;
    ScriptedEngineFactory engines;
    WorkerPool pool{table, state, options};
    TaskCommands commands{table, options, state, pool, completion, messages, shell, observer};
    ProgressHandler progress{table, options, state, clock, sound};
    TaskAdder adder{table, settings, pool, observer, messages, sound};

    Rig()
    {
        table.SetObserver(&observer);
        options.saveTo = "/dl/";
        options.retryInterval = 0;
        pool.SetContext(WorkerContext{table, state, options, settings.proxies, engines, progress, completion,
                                      completion, commands, clock});
    }
    ~Rig()
    {
        // Workers use the members declared after the pool: joined before those go.
        state.stop = true;
        commands.StopAll();
        pool.StopAndJoin();
    }

    TaskRecord Task(int row) { return *table.CopyOut(row); }
    TaskState StateOf(int row) { return Task(row).State(); }
    int RowImage(int row) { return table.RowCopy(row).stateImage; }
    int Active()
    {
        auto guard = table.Lock();
        return state.activeCount;
    }
    int Workers()
    {
        auto guard = table.Lock();
        return state.workerCount;
    }

    // Waits (really) until the condition holds; false after five seconds.
    bool WaitUntil(const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    bool WaitIdle()
    {
        return WaitUntil([this] {
            auto guard = table.Lock();
            return state.activeCount == 0 && table.CountIn(TaskState::Queued) == 0 &&
                   table.CountIn(TaskState::Running) == 0 && table.CountIn(TaskState::Error) == 0;
        });
    }
};

}  // namespace dromo::test
