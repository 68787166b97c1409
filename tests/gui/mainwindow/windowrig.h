#pragma once

// The program's objects around a main window, with fakes for the ports.

#include <memory>

#include "base/core/autosaver.h"
#include "base/core/settingsstore.h"
#include "base/core/tasktable.h"
#include "base/download/downloadcore.h"
#include "base/download/progresshandler.h"
#include "base/download/refreshtimer.h"
#include "base/download/schedulecheck.h"
#include "base/download/workerpool.h"
#include "base/download/workerstate.h"
#include "base/files/historypage.h"
#include "base/mainwindow/addresshistory.h"
#include "base/mainwindow/completion.h"
#include "base/mainwindow/speedsamples.h"
#include "base/mainwindow/taskadder.h"
#include "base/mainwindow/taskcommands.h"
#include "gui/mainwindow/cmainframe.h"
#include "gui/mainwindow/tasklistmodel.h"
#include "tests/base/fakes/fakeprofile.h"
#include "tests/base/fakes/fakes.h"
#include "tests/base/fakes/scriptedengine.h"

namespace dromo::test {

class NoCountdown : public Countdown {
public:
    void Start(const std::string&, std::function<void(bool)>) override {}
};

struct Window {
    FakeProfile profile;
    SettingsStore store{profile, PlatformDefaults{"/tmp/dl/", "/tmp/share/"}};
    TaskTable table;
    TaskListModel model{table};
    FakeClock clock;
    FakeMessages messages;
    FakeShell shell;
    FakeSound sound;
    FakeNetwork network;
    NoCountdown countdown;
    ScriptedEngineFactory engines;
    DownloadCore core{table, DownloadPorts{clock, messages, shell, sound, engines, model},
                      CompletionPorts{network, network, countdown, nullptr, "/nonexistent/history.htm"}};
    ViewSettings& settings = core.settings;
    WorkerState& state = core.state;
    WorkerPool& pool = core.pool;
    Completion& completion = core.ProgramCompletion();
    TaskCommands& commands = core.commands;
    ProgressHandler& progress = core.progress;
    HistoryPage& history = core.ProgramHistory();
    TaskAdder& adder = core.adder;
    AddressHistory addresses{adder, settings.options};
    ScheduleCheck schedule{table, clock, pool, completion};
    SpeedSamples samples;
    RefreshTimer refresh{schedule, progress, samples, table, state, clock, model};
    AutoSaver autoSaver{store, settings, table};
    AppContext context{profile,   store,      settings,  table,   state, pool,  commands, adder,
                       addresses, history,    completion, autoSaver, refresh, samples, shell, messages, sound};
    std::unique_ptr<CMainFrame> frame;

    Window()
    {
        settings.options.maxThreadNumber = 0;  // tasks stay queued unless a test wants workers
        settings.options.saveTo = "/tmp/dl/";
        frame = std::make_unique<CMainFrame>(context, model);
        model.SetForwarding(frame.get());
    }
    ~Window()
    {
        // Workers call into the model, the window and the members declared
        // after the pool: every one is joined before any of those goes.
        core.StopAndJoin();
        frame.reset();
    }
};

}  // namespace dromo::test
