// Dromo's start-up, in its fixed order: the profile, the single-instance
// check, the shared worker state, the objects of the task list, the main
// window, the saved tasks, and the window shown (minimised when started by
// D-Bus activation) with the title "Dromo 1.04".

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sys/socket.h>
#include <unistd.h>

#include "capture/curlhook.h"
#include "connectednetwork.h"
#include "core/autosaver.h"
#include "core/settingsstore.h"
#include "core/startup.h"
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
#include "mainwindow/artwork.h"
#include "mainwindow/cmainframe.h"
#include "mainwindow/cmainview.h"
#include "mainwindow/completion.h"
#include "mainwindow/countdowndialog.h"
#include "mainwindow/guimessages.h"
#include "mainwindow/speedsamples.h"
#include "mainwindow/taskadder.h"
#include "mainwindow/taskcommands.h"
#include "mainwindow/tasklistmodel.h"
#include "networkmanagernetwork.h"
#include "platformpaths.h"
#include "settingsprofile.h"
#include "systemclock.h"
#include "wavesound.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

void PrintHelp()
{
    std::cout << "Usage: dromo [--automation | --embedding] [URL...]\n\n"
                 "Dromo is a download manager for HTTP, HTTPS and FTP.\n\n"
                 "  URL...                     download these; a Dromo already running gets them\n"
                 "                             (over D-Bus, DROMO.URLMonitor.AddURL) and this one ends\n"
                 "  --automation, --embedding  started by D-Bus activation: the window opens minimised\n"
                 "  --help                     show this text\n";
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace dromo;
    const StartupOptions args = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (args.help) {
        PrintHelp();
        return 0;
    }
    if (!args.error.empty()) {
        std::cerr << "dromo: " << args.error << " (see dromo --help)\n";
        return 2;
    }
    QApplication app(argc, argv);
    // SIGTERM and SIGINT are caught from the very start: one that arrives
    // while Dromo is still starting waits in the pipe and then takes the
    // end-of-session path, instead of killing it unsaved.
    const bool signalsCaught = ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0;
    if (signalsCaught) {
        std::signal(SIGTERM, OnSignal);
        std::signal(SIGINT, OnSignal);
    }
    QApplication::setApplicationName(QStringLiteral("Dromo"));
    QApplication::setWindowIcon(Artwork::Program());
    QApplication::setQuitOnLastWindowClosed(false);  // the window hides to the tray

    // URLs for a Dromo that is already running go to it over D-Bus.
    if (!args.urls.empty()) {
        QStringList urls;
        for (const std::string& url : args.urls) {
            urls << QString::fromStdString(url);
        }
        if (SendUrlsToRunningInstance(urls)) {
            return 0;
        }
    }

    SettingsProfile profile;
    InstanceLock instance;
    const bool otherRunning = !instance.TryAcquire();
    if (!MayStart(profile.GetInt("Settings", "Allow Multi Instance", 0), otherRunning)) {
        QMessageBox::warning(nullptr, QStringLiteral("Dromo"), QString::fromLatin1(kAlreadyRunningMessage));
        return 1;
    }
    // A profile that exists but cannot be read is never written over: it is
    // moved aside (or, failing that, nothing is saved) and the user is told.
    const std::string profileNotice = profile.KeepUnreadableAside();

    WorkerState state;  // stop flag clear, no workers, the end event signalled
    SystemClock clock;
    GuiMessages messages;
    GuiCountdown countdown;
    WaveSound sound;
    DesktopShell shell;
    NetworkManagerNetwork network;
    LogindPower power;
    CurlEngineFactory engines;
    ViewSettings settings;
    TaskTable table;
    TaskListModel model(table);
    table.SetObserver(&model);
    WorkerPool pool(table, state, settings.options);
    CMainFrame* frame = nullptr;
    Completion completion(table, settings.options, state, network, power, shell, messages, countdown, [&frame] {
        if (frame) {
            frame->RunCommand(CommandId::Exit);
        }
    });
    TaskCommands commands(table, settings.options, state, pool, completion, messages, shell, model);
    ProgressHandler progress(table, settings.options, state, clock, sound);
    HistoryPage history(PlatformPaths::UserDataFolder() + "history.htm", table, settings.options, clock);
    TaskAdder adder(table, settings, pool, model, messages, sound);
    pool.SetContext(WorkerContext{table, state, settings.options, settings.proxies, engines, progress, completion,
                                  history, commands, clock});

    SettingsStore store(profile, PlatformPaths::Defaults());
    AddressHistory addresses(adder, settings.options);
    addresses.Load(profile);
    ScheduleCheck schedule(table, clock, pool, completion);
    SpeedSamples samples;
    RefreshTimer refresh(schedule, progress, samples, table, state, clock, model);
    AutoSaver autoSaver(store, settings, table);
    AppContext context{profile, store,      settings,  table,   state,   pool,  commands, adder,
                       addresses, history, completion, autoSaver, refresh, samples, shell, messages, sound};

    CMainFrame window(context, model);
    frame = &window;
    // The capture object: started by D-Bus activation it serves at once;
    // any other start first (re)writes the service file that lets a call
    // start Dromo. Failing to own the name is not reported.
    if (!args.ShowMinimised()) {
        CURLHook::WriteServiceFile(QCoreApplication::applicationFilePath());
    }
    CURLHook hook([&window](const QString& url, std::function<void()> done) {
        window.HandOverUrl(url, std::move(done));
    });
    hook.Register();
    model.SetForwarding(&window);
    messages.SetParent(&window);
    countdown.SetParent(&window);

    // The view's first display: the options, the saved tasks, the lists.
    store.Load(settings, adder, network);
    autoSaver.Saved();
    window.ShowNotice(profileNotice);
    window.ShowNotice(store.UnloadedTasksMessage());
    // A fresh account may have no download folder yet; like the options
    // sheet's OK, make "Save to" (one level; a failure shows in the tasks).
    QDir().mkdir(QString::fromStdString(settings.options.saveTo));
    window.View().ApplyAppearance();
    window.PlaceToolWindows();

    // SIGTERM and SIGINT take the end-of-session path, as does the session
    // manager's request to save before the session ends.
    if (signalsCaught) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] { window.EndSession(); });
    }
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.EndSession(); });

    for (const std::string& url : args.urls) {
        window.AddUrl(QString::fromStdString(url));
    }
    if (args.ShowMinimised()) {
        window.showMinimized();
    } else {
        window.show();
    }
    window.setWindowTitle(QString::fromLatin1(kAppTitle));
    const int result = app.exec();
    // Everything is saved by now. A worker that did not end within the exit's
    // bound must not hold the exit up, nor outlive the objects it uses.
    if (!pool.JoinIfAllEnded()) {
        std::fflush(nullptr);
        std::_Exit(result);
    }
    return result;
}
