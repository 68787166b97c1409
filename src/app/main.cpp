// Dromo's start-up and, until the main window exists, a console front end
// over the same machinery the window will drive: the profile with its saved
// tasks, URLs from the command line, the workers with the libcurl engine,
// the one-second timer, auto-save, completion actions and the history page.

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "core/autosaver.h"
#include "core/settingsstore.h"
#include "core/startup.h"
#include "core/tasklistobserver.h"
#include "core/tasktable.h"
#include "curlengine.h"
#include "desktopshell.h"
#include "download/progresshandler.h"
#include "download/refreshtimer.h"
#include "download/schedulecheck.h"
#include "download/workerpool.h"
#include "download/workerstate.h"
#include "files/historypage.h"
#include "instancelock.h"
#include "logindpower.h"
#include "mainwindow/addresshistory.h"
#include "mainwindow/completion.h"
#include "mainwindow/messages.h"
#include "mainwindow/speedsamples.h"
#include "mainwindow/taskadder.h"
#include "mainwindow/taskcommands.h"
#include "networkmanagernetwork.h"
#include "platformpaths.h"
#include "settingsprofile.h"
#include "systemclock.h"
#include "systemmemory.h"
#include "wavesound.h"

namespace {

using namespace dromo;

std::atomic<bool> g_interrupted{false};

void OnSignal(int)
{
    g_interrupted = true;
}

const char* StateName(std::int32_t state)
{
    switch (static_cast<TaskState>(state)) {
    case TaskState::Queued: return "queued";
    case TaskState::Paused: return "paused";
    case TaskState::Running: return "running";
    case TaskState::Done: return "done";
    case TaskState::Error: return "error";
    case TaskState::Scheduled: return "scheduled";
    }
    return "?";
}

// Prints what changes: a task's state and its status texts. Called under the
// task-table lock from any thread, so it only reads the row and prints.
class ConsoleObserver : public TaskListObserver {
public:
    void SetTable(const TaskTable* table) { m_table = table; }
    void RowInserted(int) override {}
    void RowRemoved(int) override {}
    void RowChanged(int row, RowParts parts) override
    {
        if (m_table == nullptr || !(parts & (kStateImagePart | (1u << kColStatus)))) {
            return;
        }
        const auto record = m_table->CopyOut(row);
        const TaskRow texts = m_table->RowCopy(row);
        if (!record) {
            return;
        }
        std::lock_guard lock(m_mutex);
        if (parts & kStateImagePart) {
            std::printf("[%s] %s\n", StateName(record->state), texts.texts[kColTarget].c_str());
        } else {
            std::printf("    %s\n", texts.texts[kColStatus].c_str());
        }
        std::fflush(stdout);
    }
    void StatusTexts(const std::string&, const std::string&, const std::string&) override {}
    void TrayStateChanged(const TrayState& state) override { m_tip = state.tip; }
    std::string Tip() const { return m_tip; }

private:
    const TaskTable* m_table = nullptr;
    std::mutex m_mutex;
    std::string m_tip;
};

class ConsoleMessages : public Messages {
public:
    void Warning(const std::string& text) override { std::cerr << text << '\n'; }
    bool AskOkCancel(const std::string& text) override
    {
        std::cerr << text << " (no window to ask: cancelled)\n";
        return false;
    }
};

// The countdown as lines on the terminal; Ctrl+C during it cancels.
class ConsoleCountdown : public Countdown {
public:
    void Start(const std::string& message, std::function<void(bool)> done) override
    {
        std::printf("%s (Ctrl+C cancels)\n", message.c_str());
        auto left = std::make_shared<int>(kSeconds);
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, left, done] {
            if (g_interrupted.exchange(false)) {
                timer->deleteLater();
                done(false);
            } else if (--*left == 0) {
                timer->deleteLater();
                done(true);
            }
        });
        QMetaObject::invokeMethod(timer, [timer] { timer->start(1000); }, Qt::QueuedConnection);
    }
};

void PrintHelp()
{
    std::cout << "Usage: dromo [--automation | --embedding] [URL...]\n\n"
                 "Dromo is a download manager for HTTP, HTTPS and FTP. Until its window\n"
                 "arrives, this front end runs in the terminal: it loads the saved tasks,\n"
                 "adds every URL given, downloads the queued tasks and prints their progress,\n"
                 "saving the task list as it goes. It ends when no task is left to run, or on\n"
                 "Ctrl+C, which stops the downloads (they resume later) and saves.\n\n"
                 "  --automation, --embedding  started by D-Bus activation (window minimised)\n"
                 "  --help                     show this text\n";
}

}  // namespace

int main(int argc, char** argv)
{
    const StartupOptions args = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (args.help) {
        PrintHelp();
        return 0;
    }
    if (!args.error.empty()) {
        std::cerr << "dromo: " << args.error << " (see dromo --help)\n";
        return 2;
    }
    QCoreApplication app(argc, argv);

    SettingsProfile profile;
    InstanceLock instance;
    const bool otherRunning = !instance.TryAcquire();
    if (!MayStart(profile.GetInt("Settings", "Allow Multi Instance", 0), otherRunning)) {
        std::cerr << kAlreadyRunningMessage << '\n';
        return 1;
    }

    WorkerState state;  // stop flag clear, no workers, the end event signalled
    SystemClock clock;
    ConsoleObserver observer;
    ConsoleMessages messages;
    ConsoleCountdown countdown;
    WaveSound sound;
    DesktopShell shell;
    NetworkManagerNetwork network;
    LogindPower power;
    CurlEngineFactory engines;
    ViewSettings settings;
    TaskTable table(&observer);
    observer.SetTable(&table);
    WorkerPool pool(table, state, settings.options);
    Completion completion(table, settings.options, state, network, power, shell, messages, countdown,
                          [] { g_interrupted = true; });
    TaskCommands commands(table, settings.options, state, pool, completion, messages, shell, observer);
    ProgressHandler progress(table, settings.options, state, clock, sound);
    HistoryPage history(PlatformPaths::UserDataFolder() + "history.htm", table, settings.options, clock);
    TaskAdder adder(table, settings, pool, observer, messages, sound);
    pool.SetContext(WorkerContext{table, state, settings.options, settings.proxies, engines, progress, completion,
                                  history, commands, clock});

    SettingsStore store(profile, PlatformPaths::Defaults());
    store.Load(settings, adder, network);
    // A fresh account may have no download folder yet; like the options
    // sheet's OK, make "Save to" (one level; a failure shows in the tasks).
    QDir().mkdir(QString::fromStdString(settings.options.saveTo));
    AddressHistory addresses(adder, settings.options);
    addresses.Load(profile);
    std::cout << kAppTitle << " - " << FormatMemoryText(PhysicalMemoryBytes()) << " of memory\n"
              << "Profile: " << profile.FileName().toStdString() << "\n"
              << "Saving to: " << settings.options.saveTo << "\n"
              << "Tasks: " << table.Count() << "\n";
    for (const std::string& url : args.urls) {
        addresses.QuickAdd(url);
    }

    ScheduleCheck schedule(table, clock, pool, completion);
    SpeedSamples samples;
    RefreshTimer refresh(schedule, progress, samples, table, state, clock, observer);
    AutoSaver autoSaver(store, settings, table);
    refresh.Start();

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        refresh.Tick();
        autoSaver.Tick();
        bool busy = false;
        {
            auto guard = table.Lock();
            busy = state.activeCount > 0 || table.CountIn(TaskState::Queued) > 0 ||
                   table.CountIn(TaskState::Running) > 0 || table.CountIn(TaskState::Error) > 0 ||
                   table.CountIn(TaskState::Scheduled) > 0;
        }
        if (g_interrupted || !busy) {
            app.quit();
        } else if (!observer.Tip().empty() && observer.Tip() != kAppTitle) {
            std::printf("  %s\n", observer.Tip().c_str());
            std::fflush(stdout);
        }
    });
    tick.start(1000);
    app.exec();

    // The exit path: every transfer stopped, everything saved, the workers
    // given at most five seconds.
    const bool ended = pool.StopAllWorkers(commands, [&] {
        addresses.Save(profile);
        if (!store.Save(settings, table)) {
            std::cerr << "dromo: could not write the profile " << profile.FileName().toStdString() << '\n';
        }
    });
    std::printf("%d done, %d waiting.%s\n", table.CountIn(TaskState::Done),
                table.Count() - table.CountIn(TaskState::Done), ended ? "" : " (some transfers did not stop in time)");
    return 0;
}
