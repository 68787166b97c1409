// Dromo's start-up, in its fixed order: the command line, the signals
// caught, the application object, URLs handed to a running Dromo, the
// profile and the single-instance check, then the program's objects built
// over the desktop's ports and run (see Application::Run).

#include <QApplication>
#include <QMessageBox>

#include <filesystem>
#include <iostream>
#include <optional>

#include "app/application.h"
#include "app/signals.h"
#include "base/text/startup.h"
#include "base/text/trace.h"
#include "engine/curlengine.h"
#include "gui/capture/curlhook.h"
#include "gui/i18n/translations.h"
#include "gui/mainwindow/countdowndialog.h"
#include "gui/mainwindow/guimessages.h"
#include "gui/widgets/artwork.h"
#include "platform/basetexts.h"
#include "platform/desktopshell.h"
#include "platform/instancelock.h"
#include "platform/logindpower.h"
#include "platform/networkmanagernetwork.h"
#include "platform/platformpaths.h"
#include "platform/secretservice.h"
#include "platform/settingsprofile.h"
#include "platform/systemclock.h"
#include "platform/wavesound.h"

namespace dromo {
namespace {

// How long a start with URLs waits for a Dromo that holds the instance lock
// but is still starting to own its name on the bus.
constexpr int kWaitForFirstInstanceMs = 5000;

// The desktop's side of every port.
struct DesktopPorts {
    SystemClock clock;
    GuiMessages messages;
    GuiCountdown countdown;
    WaveSound sound;
    DesktopShell shell;
    NetworkManagerNetwork network;
    LogindPower power;
    CurlEngineFactory engines;
    SecretService secrets;

    AppPorts For(Profile& profile)
    {
        return AppPorts{profile,
                        clock,
                        messages,
                        countdown,
                        sound,
                        shell,
                        network,
                        power,
                        engines,
                        &secrets,
                        PlatformPaths::Defaults(),
                        PlatformPaths::UserDataFolder() + "history.htm"};
    }
    void ShowDialogsOver(QWidget* window)
    {
        messages.SetParent(window);
        countdown.SetParent(window);
    }
};

void PrintHelp()
{
    std::cout << "Usage: dromo [--automation | --embedding] [--trace] [URL...]\n\n"
                 "Dromo is a download manager for HTTP, HTTPS and FTP.\n\n"
                 "  URL...                     download these; a Dromo already running gets them\n"
                 "                             (over D-Bus, DROMO.URLMonitor.AddURL) and this one ends;\n"
                 "                             a Metalink file (FILE.meta4, FILE.metalink, or its URL)\n"
                 "                             adds one task per file it lists\n"
                 "  --automation, --embedding  started by D-Bus activation: the window opens minimised\n"
                 "  --trace                    tell what happens on standard error, each line\n"
                 "                             beginning [trace] (also DROMO_TRACE=1)\n"
                 "  --help                     show this text\n"
                 "  --version                  show the version\n";
}

// The exit status of a command line answered without starting: the help,
// the version, or a mistake.
std::optional<int> AnswerWithoutStarting(const StartupOptions& args)
{
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
    return std::nullopt;
}

QStringList UrlsOf(const StartupOptions& args)
{
    QStringList urls;
    for (const std::string& url : args.urls) {
        urls << QString::fromStdString(url);
    }
    return urls;
}

// The end of a start that handed its URLs over: each refusal on standard
// error, and a failure status when there was one.
int ReportHandOver(const HandOverResult& handedOver)
{
    for (const QString& error : handedOver.errors) {
        std::cerr << "dromo: " << error.toStdString() << '\n';
    }
    return handedOver.errors.isEmpty() ? 0 : 1;
}

// URLs for a Dromo that is already running go to it over D-Bus; the exit
// status when one took them.
std::optional<int> HandUrlsOver(const StartupOptions& args, EndSignals& endSignals)
{
    const QStringList urls = UrlsOf(args);
    if (urls.isEmpty()) {
        return std::nullopt;
    }
    endSignals.LeaveToTheSystem();
    const HandOverResult handedOver = SendUrlsToRunningInstance(urls);
    if (handedOver.answered) {
        return ReportHandOver(handedOver);
    }
    endSignals.CatchAgain();  // this start becomes the running Dromo
    return std::nullopt;
}

// The exit status of a start the single-instance rule refuses.
std::optional<int> RefuseSecondStart(Profile& profile, InstanceLock& instance, const StartupOptions& args,
                                     EndSignals& endSignals)
{
    const bool otherRunning = !instance.TryAcquire();
    if (MayStart(profile.GetInt("Settings", "Allow Multi Instance", 0), otherRunning)) {
        return std::nullopt;
    }
    const QStringList urls = UrlsOf(args);
    if (urls.isEmpty() && !args.ShowMinimised()) {
        // This start has nothing to save: a signal ends it at once, also
        // while the box waits for a click.
        endSignals.LeaveToTheSystem();
        QMessageBox::warning(nullptr, QStringLiteral("Dromo"), BaseTexts::Shown(kAlreadyRunningMessage));
        return 1;
    }
    // The other Dromo took the lock but may not own its name yet: the URLs
    // wait for it rather than for a box nobody answers (and a start by D-Bus
    // activation ends once the name, which the call waits for, is owned).
    endSignals.LeaveToTheSystem();
    const HandOverResult handedOver = SendUrlsToRunningInstance(urls, kWaitForFirstInstanceMs);
    if (handedOver.answered) {
        return ReportHandOver(handedOver);
    }
    std::cerr << "dromo: another Dromo is running but does not answer on the session bus"
              << (urls.isEmpty() ? "\n" : "; the URLs were not added\n");
    return 1;
}

}  // namespace
}  // namespace dromo

int main(int argc, char** argv)
{
    using namespace dromo;
    StartupOptions args = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    std::error_code noFolder;
    const std::string currentFolder = std::filesystem::current_path(noFolder).string();
    for (std::string& url : args.urls) {
        url = AbsoluteMetalinkArgument(url, currentFolder);
    }
    if (const std::optional<int> status = AnswerWithoutStarting(args)) {
        return *status;
    }
    if (args.trace) {
        trace::Enable(true);
    }
    EndSignals endSignals;  // before the application object: see signals.h
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dromo"));
    const Translations translations;  // before the first text is made
    QApplication::setWindowIcon(Artwork::Program());
    QApplication::setQuitOnLastWindowClosed(false);  // the window hides to the tray
    if (const std::optional<int> status = HandUrlsOver(args, endSignals)) {
        return *status;
    }
    SettingsProfile profile;
    InstanceLock instance;
    if (const std::optional<int> status = RefuseSecondStart(profile, instance, args, endSignals)) {
        return *status;
    }
    // A profile that exists but cannot be read is never written over: it is
    // moved aside (or, failing that, nothing is saved) and the user is told.
    const std::string profileNotice = profile.KeepUnreadableAside();
    if (instance.Held()) {
        profile.RemoveLeftoverTemporaries();  // no other Dromo is saving
    }
    DesktopPorts desktop;
    Application app(desktop.For(profile));
    desktop.ShowDialogsOver(app.frame.get());
    return app.Run(args, profileNotice, endSignals);
}
