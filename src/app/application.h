#pragma once

#include <memory>
#include <string>

#include "base/commands/addresshistory.h"
#include "base/commands/completion.h"
#include "base/download/addresscheck.h"
#include "base/download/downloadcore.h"
#include "base/download/metalinkfetch.h"
#include "base/download/refreshtimer.h"
#include "base/download/schedulecheck.h"
#include "base/storage/autosaver.h"
#include "base/storage/passwordkeyring.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "base/text/startup.h"
#include "base/view/speedsamples.h"
#include "engine/metalinkxml.h"
#include "gui/mainwindow/appcontext.h"
#include "gui/mainwindow/cmainframe.h"
#include "gui/mainwindow/tasklistmodel.h"

namespace dromo {

class CURLHook;
class DesktopIntegration;
class EndSignals;
class SecretStore;

// Everything outside the program it works through: the desktop's for the
// program, fakes for tests.
struct AppPorts {
    Profile& profile;
    Clock& clock;
    Messages& messages;
    Countdown& countdown;
    Sound& sound;
    Shell& shell;
    Network& network;
    Power& power;
    EngineFactory& engines;
    SecretStore* secrets;       // where passwords go when it takes them; null: the profile keeps them
    PlatformDefaults defaults;  // the options' download and shared folders
    std::string historyPath;    // the history page
};

// The program's objects, built in one place over its ports. The members are
// declared in the order they are built, so they go in the reverse order;
// before any goes, the destructor stops every transfer and joins every
// worker (workers call the table's observer, the model, which forwards to
// the window). The window rig of the tests builds the same graph with fakes.
class Application {
public:
    explicit Application(const AppPorts& ports);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The start-up after the graph and the event loop: the options, lists
    // and network state before the saved tasks, the notices, the signals
    // and session end, the desktop's services, the URLs of the command
    // line and the window shown (minimised when started by D-Bus
    // activation). Returns the exit status once everything is saved.
    int Run(const StartupOptions& args, const std::string& profileNotice, EndSignals& endSignals);

    AppPorts ports;
    TaskTable table;
    TaskListModel model{table};
    DownloadCore core;
    ViewSettings& settings = core.settings;
    // Before the store: the store's last saves may still reach the keyring
    // from the profile's writer thread until the store has gone.
    std::unique_ptr<PasswordKeyring> keyring;
    SettingsStore store{ports.profile, ports.defaults};
    AddressHistory addresses{core.adder, core.options};
    ScheduleCheck schedule{table, ports.clock, core.pool, core.ProgramCompletion()};
    SpeedSamples samples;
    RefreshTimer refresh{schedule, core.progress, samples, table, core.state, ports.clock, model};
    AutoSaver autoSaver{store, settings, table};
    MetalinkXml metalinks;
    MetalinkFetch metalinkFetch{ports.engines, metalinks};
    AddressCheck addressCheck{table, settings, ports.engines};
    AppContext context{ports.profile,
                       store,
                       settings,
                       table,
                       core.state,
                       core.pool,
                       core.commands,
                       core.adder,
                       addresses,
                       core.ProgramHistory(),
                       core.ProgramCompletion(),
                       autoSaver,
                       refresh,
                       samples,
                       ports.shell,
                       ports.messages,
                       ports.sound,
                       metalinks,
                       metalinkFetch,
                       addressCheck};
    // Built last, in the constructor's body: it shows the address history
    // loaded there.
    std::unique_ptr<CMainFrame> frame;

private:
    // Built by Run, the program's only: the capture object on the session
    // bus and the desktop's services around the downloads.
    std::unique_ptr<CURLHook> m_hook;
    std::unique_ptr<DesktopIntegration> m_desktop;
};

}  // namespace dromo
