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

#include "base/core/autosaver.h"
#include "base/core/settingsstore.h"
#include "base/core/startup.h"
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
#include "engine/curlengine.h"
#include "gui/capture/curlhook.h"
#include "gui/mainwindow/artwork.h"
#include "gui/mainwindow/cmainframe.h"
#include "gui/mainwindow/cmainview.h"
#include "gui/mainwindow/countdowndialog.h"
#include "gui/mainwindow/guimessages.h"
#include "gui/mainwindow/tasklistmodel.h"
#include "platform/connectednetwork.h"
#include "platform/desktopintegration.h"
#include "platform/desktopshell.h"
#include "platform/instancelock.h"
#include "platform/logindpower.h"
#include "platform/networkmanagernetwork.h"
#include "platform/platformpaths.h"
#include "platform/secretservice.h"
#include "platform/settingsprofile.h"
#include "platform/systemclock.h"
#include "platform/wavesound.h"

namespace {

int g_signalPipe[2] = {-1, -1};

// How long a start with URLs waits for a Dromo that holds the instance lock
// but is still starting to own its name on the bus.
constexpr int kWaitForFirstInstanceMs = 5000;

void OnSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

void CatchSignals(bool caught)
{
    std::signal(SIGTERM, caught ? OnSignal : SIG_DFL);
    std::signal(SIGINT, caught ? OnSignal : SIG_DFL);
}

// A start that only hands URLs over has nothing to save, and may wait long
// for an answer: SIGTERM and SIGINT end it as usual (one that came already
// ends it now).
void LeaveSignalsToTheSystem()
{
    CatchSignals(false);
    char byte = 0;
    while (::recv(g_signalPipe[0], &byte, 1, MSG_DONTWAIT) == 1) {
        std::raise(byte);
    }
}

// The end of a start that handed its URLs over: each refusal on standard
// error, and a failure status when there was one.
int ReportHandOver(const dromo::HandOverResult& handedOver)
{
    for (const QString& error : handedOver.errors) {
        std::cerr << "dromo: " << error.toStdString() << '\n';
    }
    return handedOver.errors.isEmpty() ? 0 : 1;
}

void PrintHelp()
{
    std::cout << "Usage: dromo [--automation | --embedding] [URL...]\n\n"
                 "Dromo is a download manager for HTTP, HTTPS and FTP.\n\n"
                 "  URL...                     download these; a Dromo already running gets them\n"
                 "                             (over D-Bus, DROMO.URLMonitor.AddURL) and this one ends\n"
                 "  --automation, --embedding  started by D-Bus activation: the window opens minimised\n"
                 "  --help                     show this text\n"
                 "  --version                  show the version\n";
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
    if (args.version) {
        std::cout << "dromo " << DROMO_VERSION << "\n";
        return 0;
    }
    if (!args.error.empty()) {
        std::cerr << "dromo: " << args.error << " (see dromo --help)\n";
        return 2;
    }
    // SIGTERM and SIGINT are caught from the very start, before the
    // application object (which takes a while to build): one that arrives
    // while Dromo is still starting waits in the pipe and then takes the
    // end-of-session path, instead of killing it unsaved.
    const bool signalsCaught = ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0;
    if (signalsCaught) {
        CatchSignals(true);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dromo"));
    QApplication::setWindowIcon(Artwork::Program());
    QApplication::setQuitOnLastWindowClosed(false);  // the window hides to the tray

    // URLs for a Dromo that is already running go to it over D-Bus.
    QStringList urls;
    for (const std::string& url : args.urls) {
        urls << QString::fromStdString(url);
    }
    if (!urls.isEmpty()) {
        LeaveSignalsToTheSystem();
        const HandOverResult handedOver = SendUrlsToRunningInstance(urls);
        if (handedOver.answered) {
            return ReportHandOver(handedOver);
        }
        if (signalsCaught) {
            CatchSignals(true);  // this start becomes the running Dromo
        }
    }

    SettingsProfile profile;
    InstanceLock instance;
    const bool otherRunning = !instance.TryAcquire();
    if (!MayStart(profile.GetInt("Settings", "Allow Multi Instance", 0), otherRunning)) {
        if (urls.isEmpty() && !args.ShowMinimised()) {
            QMessageBox::warning(nullptr, QStringLiteral("Dromo"), QString::fromLatin1(kAlreadyRunningMessage));
            return 1;
        }
        // The other Dromo took the lock but may not own its name yet: the
        // URLs wait for it rather than for a box nobody answers (and a start
        // by D-Bus activation ends once the name, which the call waits for,
        // is owned).
        LeaveSignalsToTheSystem();
        const HandOverResult handedOver = SendUrlsToRunningInstance(urls, kWaitForFirstInstanceMs);
        if (handedOver.answered) {
            return ReportHandOver(handedOver);
        }
        std::cerr << "dromo: another Dromo is running but does not answer on the session bus"
                  << (urls.isEmpty() ? "\n" : "; the URLs were not added\n");
        return 1;
    }
    // A profile that exists but cannot be read is never written over: it is
    // moved aside (or, failing that, nothing is saved) and the user is told.
    const std::string profileNotice = profile.KeepUnreadableAside();

    SystemClock clock;
    GuiMessages messages;
    GuiCountdown countdown;
    WaveSound sound;
    DesktopShell shell;
    NetworkManagerNetwork network;
    LogindPower power;
    CurlEngineFactory engines;
    TaskTable table;
    TaskListModel model(table);
    CMainFrame* frame = nullptr;
    DownloadCore core(table, DownloadPorts{clock, messages, shell, sound, engines, model},
                      CompletionPorts{network, power, countdown,
                                      [&frame] {
                                          if (frame) {
                                              frame->RunCommand(CommandId::Exit);
                                          }
                                      },
                                      PlatformPaths::UserDataFolder() + "history.htm"});
    ViewSettings& settings = core.settings;
    WorkerState& state = core.state;
    WorkerPool& pool = core.pool;
    Completion& completion = core.ProgramCompletion();
    HistoryPage& history = core.ProgramHistory();
    TaskCommands& commands = core.commands;
    ProgressHandler& progress = core.progress;
    TaskAdder& adder = core.adder;

    SettingsStore store(profile, PlatformPaths::Defaults());
    // Passwords live in the desktop's keyring where one takes them.
    SecretService secrets;
    PasswordKeyring keyring(secrets);
    store.UseKeyring(&keyring);
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
    CURLHook hook([&window](const QString& url, CURLHook::Done done) { window.HandOverUrl(url, std::move(done)); });
    hook.SetDownloadHandOver([&window](const QString& url, const DownloadDetails& details, CURLHook::Done done) {
        window.HandOverDownload(url, details, std::move(done));
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

    // Notices of finished downloads and no idle suspend while one runs,
    // each where the desktop offers it.
    DesktopIntegration desktop(table, state, settings.options, completion, shell);

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
