#pragma once

// The program's objects around a main window, built as the program builds
// them (Application) with fakes for the ports.

#include "app/application.h"
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
    FakeClock clock;
    FakeMessages messages;
    FakeShell shell;
    FakeSound sound;
    FakeNetwork network;
    NoCountdown countdown;
    ScriptedEngineFactory engines;
    // No keyring: passwords stay in the profile, where the tests look.
    Application app{AppPorts{profile, clock, messages, countdown, sound, shell, network, network, engines, nullptr,
                             PlatformDefaults{"/tmp/dl/", "/tmp/share/"}, "/nonexistent/history.htm"}};
    ViewSettings& settings = app.settings;
    TaskTable& table = app.table;
    TaskListModel& model = app.model;
    WorkerState& state = app.core.state;
    TaskCommands& commands = app.core.commands;
    TaskAdder& adder = app.core.adder;
    AddressHistory& addresses = app.addresses;
    SpeedSamples& samples = app.samples;
    std::unique_ptr<CMainFrame>& frame = app.frame;

    // `saved`: the profile as the last run left it.
    explicit Window(FakeProfile saved = {}) : profile(std::move(saved))
    {
        settings.options.maxThreadNumber = 0;  // tasks stay queued unless a test wants workers
        settings.options.saveTo = "/tmp/dl/";
    }
};

}  // namespace dromo::test
