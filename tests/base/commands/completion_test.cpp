#include "base/commands/completion.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/base/fakes/rig.h"

namespace dromo {
namespace {

// A countdown the test ends by hand.
class FakeCountdown : public Countdown {
public:
    std::vector<std::string> shown;
    std::function<void(bool)> done;
    void Start(const std::string& message, std::function<void(bool)> callback) override
    {
        shown.push_back(message);
        done = std::move(callback);
    }
    void End(bool reachedZero)
    {
        auto callback = std::move(done);
        done = nullptr;
        callback(reachedZero);
    }
};

struct Fixture {
    test::Rig rig;
    test::FakeNetwork network;
    FakeCountdown countdown;
    int exits = 0;
    Completion completion{rig.table,    rig.options, rig.state,          network, network, rig.shell,
                          rig.messages, countdown,   [this] { ++exits; }};
    Fixture() { rig.options.maxThreadNumber = 0; }
};

TEST(Completion, CountdownTextsAndWhatHappensAtZero)
{
    struct Case {
        int hangup, shutdown;
        bool modem;
        std::string message;
        std::vector<std::string> calls;
        int exits;
    };
    const Case cases[] = {
        {.hangup = 1,
         .shutdown = 0,
         .modem = true,
         .message = "Your Internet connection will be hang up in 15 seconds.",
         .calls = {"hangup"},
         .exits = 0},
        // No modem: nothing to hang up.
        {.hangup = 1,
         .shutdown = 0,
         .modem = false,
         .message = "Your Internet connection will be hang up in 15 seconds.",
         .calls = {},
         .exits = 0},
        {.hangup = 0,
         .shutdown = 1,
         .modem = false,
         .message = "Your computer will be shut down in 15 seconds.",
         .calls = {"poweroff"},
         .exits = 1},
        {.hangup = 1,
         .shutdown = 1,
         .modem = true,
         .message = "Your computer will be shut down in 15 seconds.",
         .calls = {"hangup", "poweroff"},
         .exits = 1},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.rig.options.hangupIfDone = c.hangup;
        f.rig.options.shutDownIfDone = c.shutdown;
        f.network.state = {true, c.modem};
        f.completion.CompletionCheck();
        ASSERT_EQ(f.countdown.shown, std::vector<std::string>{c.message});
        f.completion.CompletionCheck();  // one countdown at a time
        EXPECT_EQ(f.countdown.shown.size(), 1u);
        f.countdown.End(true);
        EXPECT_EQ(f.network.calls, c.calls) << c.message;
        EXPECT_EQ(f.exits, c.exits);  // the program exits even though power-off was refused
    }
}

// A cancelled countdown asks whether the options that started it go off:
// Cancel keeps them (and the next end of work counts down again), OK
// switches off both.
TEST(Completion, CancelOffersToSwitchTheOptionsOff)
{
    struct Case {
        int shutdown, hangup;
        bool answer;
        int shutdownAfter, hangupAfter;
    };
    const Case cases[] = {
        {1, 0, false, 1, 0}, {1, 0, true, 0, 0}, {0, 1, true, 0, 0}, {1, 1, false, 1, 1}, {1, 1, true, 0, 0},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.network.state = {true, true};
        f.rig.options.shutDownIfDone = c.shutdown;
        f.rig.options.hangupIfDone = c.hangup;
        f.rig.messages.answer = c.answer;
        f.completion.CompletionCheck();
        f.countdown.End(false);
        EXPECT_TRUE(f.network.calls.empty());
        EXPECT_EQ(f.exits, 0);
        ASSERT_EQ(f.rig.messages.shown.size(), 1u);
        EXPECT_EQ(f.rig.messages.shown[0], Completion::SwitchOffQuestion(c.shutdown != 0, c.hangup != 0));
        EXPECT_NE(f.rig.messages.shown[0].find(c.shutdown ? "Shut Down Computer When Done" : "Hang up When Done"),
                  std::string::npos);
        EXPECT_EQ(f.rig.options.shutDownIfDone, c.shutdownAfter);
        EXPECT_EQ(f.rig.options.hangupIfDone, c.hangupAfter);
        f.completion.CompletionCheck();
        EXPECT_EQ(f.countdown.shown.size(), c.answer ? 1u : 2u) << "a countdown again only while an option is on";
    }
    EXPECT_EQ(Completion::SwitchOffQuestion(false, false), nullptr);
}

TEST(Completion, RunsOnlyWhenAllWorkIsOver)
{
    Fixture f;
    f.rig.options.hangupIfDone = 1;
    f.rig.adder.AddTask("http://h/a", "");  // queued: not over
    f.completion.CompletionCheck();
    EXPECT_TRUE(f.countdown.shown.empty());
    f.rig.table.SetState(0, TaskState::Paused);
    {
        auto guard = f.rig.table.Lock();
        f.rig.state.Counts(guard).activeCount = 1;
    }
    f.completion.CompletionCheck();
    EXPECT_TRUE(f.countdown.shown.empty());
    {
        auto guard = f.rig.table.Lock();
        f.rig.state.Counts(guard).activeCount = 0;
    }
    f.rig.options.hangupIfDone = 0;
    f.completion.CompletionCheck();  // neither option on
    EXPECT_TRUE(f.countdown.shown.empty());
    f.rig.options.hangupIfDone = 1;
    f.completion.CompletionCheck();
    EXPECT_EQ(f.countdown.shown.size(), 1u);
}

TEST(Completion, RedialOnlyADroppedModemLine)
{
    struct Case {
        ConnectionState state;
        int redial;
        bool dials;
    };
    const Case cases[] = {
        {.state = {.connected = false, .modem = true}, .redial = 1, .dials = true},
        {.state = {.connected = true, .modem = true}, .redial = 1, .dials = false},
        {.state = {.connected = false, .modem = false}, .redial = 1, .dials = false},
        {.state = {.connected = false, .modem = true}, .redial = 0, .dials = false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.network.state = c.state;
        f.rig.options.redialIfDisconnected = c.redial;
        f.completion.RedialIfNeeded();
        EXPECT_EQ(f.network.calls.size(), c.dials ? 1u : 0u);
        EXPECT_EQ(f.rig.options.modemConnection, c.state.modem);
        EXPECT_EQ(f.rig.options.connected, c.state.connected);
    }
}

TEST(Completion, ScannerGetsThePathAsOneArgument)
{
    Fixture f;
    f.completion.ScanFile("/dl/a.zip");
    EXPECT_TRUE(f.rig.shell.started.empty());  // virus check off
    f.rig.options.enableVirusCheck = 1;
    f.rig.options.virusScanner = "/usr/bin/clamscan";
    f.rig.options.virusScannerParameters = "--infected  \"--log=/tmp/scan log\" -r";
    f.completion.ScanFile("/dl/my file; rm -rf ~.zip");
    ASSERT_EQ(f.rig.shell.started.size(), 1u);
    EXPECT_EQ(f.rig.shell.started[0], (std::vector<std::string>{"/usr/bin/clamscan", "/dl/my file; rm -rf ~.zip",
                                                                "--infected", "--log=/tmp/scan log", "-r"}));
    f.rig.shell.result = false;
    f.completion.ScanFile("/dl/b");
    EXPECT_EQ(f.rig.messages.shown, std::vector<std::string>{"Fail to start virus scanner."});
}

// The scanner may take its time to start: no worker waits for it with the
// task table locked, though the scan reads its options under that lock.
TEST(Completion, ScannerStartsWithTheTableLockReleased)
{
    Fixture f;
    f.rig.options.enableVirusCheck = 1;
    f.rig.options.virusScanner = "/usr/bin/clamscan";
    f.rig.shell.watchedLock = &TaskTableTestAccess::Mutex(f.rig.table);
    f.completion.ScanFile("/dl/a.zip");
    ASSERT_EQ(f.rig.shell.started.size(), 1u);
    EXPECT_EQ(f.rig.shell.startsUnderLock, 0);
}

// Workers refresh the connection state before every transfer and may ask
// for the countdown text, while the window ends countdowns and the user
// toggles the completion options: each side reads what the other writes
// under the task-table lock. (A slip shows under ThreadSanitizer.)
TEST(Completion, WorkersRefreshTheConnectionWhileTheWindowEndsCountdowns)
{
    Fixture f;
    f.network.state = {.connected = true, .modem = true};
    f.rig.options.hangupIfDone = 1;
    std::atomic<bool> done{false};
    std::atomic<int> shutDownTexts{0};
    std::thread refresher([&] {
        while (!done) {
            f.completion.RedialIfNeeded();  // connected: never dials
        }
    });
    std::thread asker([&] {
        while (!done) {
            shutDownTexts += f.completion.CountdownMessage().starts_with("Your computer");
        }
    });
    for (int i = 0; i < 200; ++i) {
        f.completion.CompletionCheck();
        f.countdown.End(true);
        f.rig.commands.Toggle(CommandId::ShutDownWhenDone);
        f.rig.commands.Toggle(CommandId::ShutDownWhenDone);
    }
    done = true;
    refresher.join();
    asker.join();
    EXPECT_EQ(f.network.calls, std::vector<std::string>(200, "hangup"));
    EXPECT_EQ(f.exits, 0);
    EXPECT_EQ(f.rig.options.shutDownIfDone, 0);
}

TEST(Completion, CommandLineSplitting)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {}},       {"  a  b ", {"a", "b"}},          {"\"a b\" c", {"a b", "c"}}, {"x\\\"y", {"x\"y"}},
        {"\"\"", {""}}, {"--opt=\"q r\"", {"--opt=q r"}},
    };
    for (const auto& [text, words] : cases) {
        EXPECT_EQ(SplitCommandLine(text), words) << text;
    }
}

}  // namespace
}  // namespace dromo

#include "base/view/countdownsteps.h"

namespace dromo {
namespace {

// The bar starts at the low end of its range 1..15 and steps with every
// second, so it is full as the last second runs.
TEST(CountdownSteps, FifteenSecondsToZero)
{
    CountdownSteps steps;
    EXPECT_EQ(steps.SecondsLeft(), 15);
    EXPECT_EQ(steps.BarPosition(), 1);
    for (int i = 1; i < 15; ++i) {
        EXPECT_FALSE(steps.Tick());
        EXPECT_EQ(steps.SecondsLeft(), 15 - i);
        EXPECT_EQ(steps.BarPosition(), i + 1);
    }
    EXPECT_TRUE(steps.Tick());
    EXPECT_TRUE(steps.Finished());
    EXPECT_EQ(steps.BarPosition(), 15);
    EXPECT_FALSE(steps.Tick());
    EXPECT_EQ(steps.SecondsLeft(), 0);
}

}  // namespace
}  // namespace dromo
