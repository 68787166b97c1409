#include "mainwindow/addresshistory.h"

#include <gtest/gtest.h>

#include "core/autosaver.h"
#include "fakes/fakeprofile.h"
#include "fakes/rig.h"

namespace dromo {
namespace {

struct History {
    test::Rig rig;
    AddressHistory history{rig.adder, rig.options};
    History() { rig.options.maxThreadNumber = 0; }  // no workers needed
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
    h.rig.table.WriteBack(0, running);
    const std::pair<const char*, std::optional<AddResult>> cases[] = {
        {"http://h/b.zip", AddResult::Added},
        {"http://h/a.zip", AddResult::SameFileRunning},
        {"no scheme", AddResult::InvalidUrl},
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

TEST(AutoSaver, SavesAfterTheListChangedOnly)
{
    test::Rig rig;
    rig.options.maxThreadNumber = 0;
    test::FakeProfile profile;
    SettingsStore store(profile, PlatformDefaults{"/dl/", "/share/"});
    AutoSaver saver(store, rig.settings, rig.table);
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
