#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "base/download/downloadcore.h"
#include "base/tasks/tasktable.h"
#include "tests/base/fakes/fakes.h"
#include "tests/base/fakes/scriptedengine.h"
#include "tests/base/fakes/tasktableaccess.h"

namespace dromo::test {

// The download machinery of the main view, built as the program builds it
// but with fakes for every port and a scripted engine: what the program
// builds at start-up, minus the window.
struct Rig {
    TaskTable table;
    FakeClock clock;
    FakeCompletion completion;
    FakeMessages messages;
    FakeShell shell;
    FakeSound sound;
    RecordingObserver observer;
    ScriptedEngineFactory engines;
    DownloadCore core{table, DownloadPorts{clock, messages, shell, sound, engines, observer}, completion, completion};
    ViewSettings& settings = core.settings;
    GlobalOptions& options = core.options;
    WorkerState& state = core.state;
    WorkerPool& pool = core.pool;
    TaskCommands& commands = core.commands;
    ProgressHandler& progress = core.progress;
    TaskAdder& adder = core.adder;

    Rig()
    {
        options.saveTo = "/dl/";
        options.retryInterval = 0;
    }
    // The core joins its workers before any member here goes.
    ~Rig() { core.StopAndJoin(); }

    TaskRecord Task(int row) { return *table.CopyOut(row); }
    TaskState StateOf(int row) { return Task(row).State(); }
    int RowImage(int row) { return table.RowCopy(row).stateImage; }
    TaskRow Row(int row) { return table.RowCopy(row); }
    int Active()
    {
        auto guard = table.Lock();
        return state.Counts(guard).activeCount;
    }
    int Workers()
    {
        auto guard = table.Lock();
        return state.Counts(guard).workerCount;
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
            return state.Counts(guard).activeCount == 0 && table.CountIn(TaskState::Queued) == 0 &&
                   table.CountIn(TaskState::Running) == 0 && table.CountIn(TaskState::Error) == 0;
        });
    }
};

}  // namespace dromo::test
