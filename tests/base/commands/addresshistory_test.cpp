#include "base/commands/addresshistory.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/storage/autosaver.h"
#include "base/text/textutil.h"
#include "tests/base/fakes/fakeprofile.h"
#include "tests/base/fakes/rig.h"

namespace dromo {
namespace {

struct History {
    test::Rig rig;
    AddressHistory history{rig.adder, rig.options};
    History() { rig.options.maxThreadNumber = 0; }  // no workers needed
};

// A task list with the auto-saver over a fake profile.
struct Saving {
    test::Rig rig;
    test::FakeProfile profile;
    SettingsStore store{profile, PlatformDefaults{"/dl/", "/share/"}};
    AutoSaver saver{store, rig.settings, rig.table};
    std::tuple<test::Rig&, test::FakeProfile&, AutoSaver&> parts{rig, profile, saver};
    Saving() { rig.options.maxThreadNumber = 0; }
};

TEST(AddressHistory, NewestFirstCaseInsensitiveAndBounded)
{
    History h;
    h.rig.options.maxHistoryItem = 3;
    for (const char* url : {"http://h/a", "http://h/b", "http://h/c", "HTTP://H/A"}) {
        h.history.Insert(url);
    }
    EXPECT_EQ(h.history.Entries(), (std::vector<std::string>{"HTTP://H/A", "http://h/c", "http://h/b"}));
    h.history.Insert("http://h/d");
    EXPECT_EQ(h.history.Entries(), (std::vector<std::string>{"http://h/d", "HTTP://H/A", "http://h/c"}));
    h.history.Insert(std::string(1024, 'x'));  // too long to remember
    EXPECT_EQ(h.history.Entries().size(), 3u);
}

TEST(AddressHistory, QuickAndDialogAdd)
{
    History h;
    EXPECT_EQ(h.history.QuickAdd(""), std::nullopt);
    EXPECT_EQ(h.history.QuickAdd("ftp://h/dir/"), std::nullopt);
    EXPECT_TRUE(h.history.Entries().empty());
    EXPECT_EQ(h.rig.table.Count(), 0);

    EXPECT_EQ(h.history.QuickAdd("http://h/a.zip"), AddResult::Added);
    TaskRecord r;
    r.saveAs = "/mine/b";
    EXPECT_EQ(h.history.DialogAdd("http://h/b.zip", r), AddResult::Added);
    EXPECT_EQ(h.history.DialogAdd("http://h/", r), std::nullopt);
    EXPECT_EQ(h.history.Entries(), (std::vector<std::string>{"http://h/b.zip", "http://h/a.zip"}));
    ASSERT_EQ(h.rig.table.Count(), 2);
    EXPECT_EQ(h.rig.Task(1).saveAs, "/mine/b");

    // An invalid URL still enters the history, as typed; the add reports it.
    EXPECT_EQ(h.history.QuickAdd("nonsense"), AddResult::InvalidUrl);
    EXPECT_EQ(h.history.Entries().front(), "nonsense");
    EXPECT_EQ(h.rig.messages.shown, std::vector<std::string>{"invalid url"});
}

TEST(AddressHistory, WhoHandedAUrlOverHearsWhatRefusedIt)
{
    // The text of the box the add showed, or why nothing was tried; nothing
    // for an added task.
    History h;
    ASSERT_EQ(h.history.QuickAdd("http://h/a.zip"), AddResult::Added);
    TaskRecord running = h.rig.Task(0);
    running.SetState(TaskState::Running);
    TaskTableTestAccess::WriteBack(h.rig.table, 0, running);
    const std::pair<const char*, std::optional<AddResult>> cases[] = {
        {"http://h/b.zip", AddResult::Added},
        {"http://mirror/a.zip", AddResult::Added},       // another link: under the next free name
        {"http://h/a.zip", AddResult::SameFileRunning},  // the running link itself
        {"no scheme", AddResult::InvalidUrl},
        {"http://h/c.zip\nhttp://h/d.zip", AddResult::UrlControlCharacter},  // two links are no URL
        {"http://h/e.zip\t", AddResult::UrlControlCharacter},
        {"", std::nullopt},
        {"http://h/dir/", std::nullopt},
    };
    for (const auto& [url, expected] : cases) {
        h.rig.messages.shown.clear();
        const std::optional<AddResult> result = h.history.QuickAdd(url);
        EXPECT_EQ(result, expected) << url;
        const std::string refusal = Refusal(result);
        if (expected == AddResult::Added) {
            EXPECT_EQ(refusal, "") << url;
        } else if (expected) {
            EXPECT_EQ(h.rig.messages.shown, std::vector<std::string>{refusal}) << url;
        } else {
            EXPECT_EQ(refusal, kNothingToAdd) << url;
            EXPECT_TRUE(h.rig.messages.shown.empty()) << url;
        }
    }
    // A refused text with a control character in it is not remembered.
    for (const std::string& entry : h.history.Entries()) {
        EXPECT_FALSE(HoldsControlCharacter(entry)) << entry;
    }
    // A path chosen in the dialog that a running task writes is refused.
    h.rig.messages.shown.clear();
    TaskRecord chosen;
    chosen.saveAs = running.saveAs;
    const std::optional<AddResult> result = h.history.DialogAdd("http://other/x.bin", chosen);
    EXPECT_EQ(result, AddResult::SameFileRunning);
    EXPECT_EQ(h.rig.messages.shown, std::vector<std::string>{Refusal(result)});
}

TEST(AddressHistory, SaveAndLoadKeepOrder)
{
    History h;
    for (const char* url : {"http://h/1.zip", "http://h/2.txt", "http://h/3"}) {
        h.history.Insert(url);
    }
    h.history.SetShown(false);
    test::FakeProfile profile;
    profile.WriteString("History", "URL7", "left from an earlier run");
    h.history.Save(profile);
    EXPECT_EQ(profile.Int("Settings", "MRU List Num"), 3);

    History again;
    again.history.Load(profile);
    EXPECT_EQ(again.history.Entries(), h.history.Entries());
    EXPECT_FALSE(again.history.Shown());

    test::FakeProfile garbage;
    garbage.WriteInt("Settings", "MRU List Num", 2147483647);
    garbage.WriteString("History", "URL0", "http://h/only");
    again.history.Load(garbage);
    EXPECT_EQ(again.history.Entries(), std::vector<std::string>{"http://h/only"});
    EXPECT_TRUE(again.history.Shown());
}

// The list is shown to anyone at the screen and kept in the profile: a
// login typed into a URL is used for the task but not remembered.
TEST(AddressHistory, LoginsAreNeverRemembered)
{
    History h;
    EXPECT_TRUE(h.history.QuickAdd("ftp://alice:s3cret@h/a.zip"));
    ASSERT_EQ(h.rig.table.Count(), 1);
    EXPECT_EQ(h.rig.Task(0).password, "s3cret");
    TaskRecord r;
    EXPECT_TRUE(h.history.DialogAdd("http://bob@h:8080/b.zip", r));
    h.history.Insert("http://h/c@d");  // an at-sign in the path is no login
    EXPECT_EQ(h.history.Entries(), (std::vector<std::string>{"http://h/c@d", "http://h:8080/b.zip", "ftp://h/a.zip"}));

    test::FakeProfile profile;
    profile.WriteInt("Settings", "MRU List Num", 2);
    profile.WriteString("History", "URL0", "ftp://carol:pw@old/x");
    profile.WriteString("History", "URL1", "http://h/y");
    profile.WriteString("History", "URL5", "ftp://dave:pw@past/the/count");
    h.history.Load(profile);
    EXPECT_EQ(h.history.Entries(), (std::vector<std::string>{"ftp://old/x", "http://h/y"}));
    h.history.Save(profile);
    EXPECT_EQ(profile.Text("History", "URL0"), "ftp://old/x");
    EXPECT_FALSE(profile.Has("History", "URL5"));
}

TEST(AutoSaver, AFailedSaveIsToldAndTriedAgainUntilItWorks)
{
    Saving s;
    auto& [rig, profile, saver] = s.parts;
    profile.flushResult = false;
    profile.flushError = "Cannot write /c/Dromo.ini: Read-only file system.";
    // "Save Settings Now" with nothing changed in the list: told, and the
    // ticks keep trying although the list does not change again.
    EXPECT_FALSE(saver.SaveNow());
    EXPECT_EQ(saver.Problem(), profile.flushError);
    EXPECT_TRUE(saver.Tick());
    EXPECT_TRUE(saver.Tick());
    EXPECT_EQ(saver.Problem(), profile.flushError);
    profile.flushError.clear();  // a store that gives no reason still gets one
    EXPECT_TRUE(saver.Tick());
    EXPECT_EQ(saver.Problem(), "The settings could not be saved.");
    profile.flushResult = true;
    EXPECT_TRUE(saver.Tick());
    EXPECT_EQ(saver.Problem(), "");
    EXPECT_FALSE(saver.Tick());
    saver.Failed("exit save failed");
    EXPECT_EQ(saver.Problem(), "exit save failed");
    saver.SavedAt(rig.table.ChangeCount());
    EXPECT_EQ(saver.Problem(), "");
    EXPECT_FALSE(saver.Tick());
}

// The ticks do not wait for the disk; a write that fails after the tick
// returned shows at the next tick, which tries again although the list did
// not change. The explicit save waits.
TEST(AutoSaver, TicksDoNotWaitAndLearnOfALaterFailure)
{
    Saving s;
    auto& [rig, profile, saver] = s.parts;
    rig.adder.AddTask("http://h/a", "");
    EXPECT_TRUE(saver.Tick());
    EXPECT_EQ(profile.soonFlushes, 1);
    EXPECT_EQ(profile.flushes, 0);
    EXPECT_FALSE(saver.Tick());

    profile.flushResult = false;  // the write in the background failed
    profile.flushError = "Cannot write /c/Dromo.ini: Input/output error.";
    EXPECT_TRUE(saver.Tick());
    EXPECT_EQ(profile.soonFlushes, 2);
    EXPECT_EQ(saver.Problem(), profile.flushError);
    profile.flushResult = true;
    EXPECT_TRUE(saver.Tick());
    EXPECT_EQ(saver.Problem(), "");
    EXPECT_FALSE(saver.Tick());

    EXPECT_TRUE(saver.SaveNow());
    EXPECT_EQ(profile.flushes, 1);
    EXPECT_EQ(profile.soonFlushes, 3);
}

// At start the restored list is what the profile holds, so nothing is saved
// for it; but a task that "Resume if Start" handed to a worker, and that
// ended while the load went on (a 404 pauses it), is saved at the first
// tick instead of keeping its old state until exit.
TEST(AutoSaver, ChangesWhileTheTasksAreRestoredReachTheFirstTick)
{
    for (const bool workerEndsTheTask : {false, true}) {
        SCOPED_TRACE(workerEndsTheTask);
        test::FakeProfile profile;
        profile.WriteInt("Settings", "Resume if Start", 1);
        profile.WriteInt("Settings", "MRU Num", 2);
        profile.WriteString("URL", "URL0\\Target", "http://h/gone.iso");
        profile.WriteInt("URL", "URL0\\Status", 4);  // running when the last run was killed
        profile.WriteString("URL", "URL1\\Target", "http://h/b.iso");
        SettingsStore store(profile, PlatformDefaults{"/dl/", "/share/"});
        ViewSettings settings;
        TaskTable table;
        test::FakeWorkerStarter workers;
        test::RecordingObserver observer;
        test::FakeMessages messages;
        test::FakeSound sound;
        test::FakeNetwork network;
        TaskAdder adder(table, settings, workers, observer, messages, sound);
        AutoSaver saver(store, settings, table);
        if (workerEndsTheTask) {
            workers.onStart = [&] {
                workers.onStart = nullptr;
                table.Update(table.TaskIdAt(0), [](TaskRecord& r) { r.SetState(TaskState::Running); });
                table.SetState(0, TaskState::Paused);
            };
        }
        saver.RunLoad([&] { store.Load(settings, adder, network); });
        ASSERT_EQ(table.Count(), 2);
        EXPECT_EQ(saver.Tick(), workerEndsTheTask);
        if (workerEndsTheTask) {
            EXPECT_EQ(profile.Int("URL", "URL0\\Status"), static_cast<int>(TaskState::Paused));
        }
    }
}

TEST(AutoSaver, SavesAfterTheListChangedOnly)
{
    Saving s;
    auto& [rig, profile, saver] = s.parts;
    EXPECT_FALSE(saver.Tick());
    rig.adder.AddTask("http://h/a", "");
    EXPECT_TRUE(saver.Tick());
    EXPECT_EQ(profile.Int("Settings", "MRU Num"), 1);
    EXPECT_FALSE(saver.Tick());
    rig.table.SetText(0, kColSpeed, "1.0KB/s");  // a column text alone is no reason
    EXPECT_FALSE(saver.Tick());
    rig.table.SetState(0, TaskState::Paused);
    profile.flushResult = false;
    EXPECT_TRUE(saver.Tick());
    EXPECT_TRUE(saver.Tick());  // a failed write is tried again
    profile.flushResult = true;
    EXPECT_TRUE(saver.Tick());
    EXPECT_FALSE(saver.Tick());
}

}  // namespace
}  // namespace dromo
