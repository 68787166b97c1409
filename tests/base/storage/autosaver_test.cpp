// The auto-saver's group commit: hand-overs share saves, and none is told
// of success before the save holding its task is durable.

#include "base/storage/autosaver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/storage/settingsstore.h"
#include "tests/base/fakes/fakeprofile.h"
#include "tests/base/fakes/rig.h"

namespace dromo {
namespace {

struct Group {
    test::Rig rig;
    test::FakeProfile profile;
    SettingsStore store{profile, PlatformDefaults{"/dl/", "/share/"}};
    std::unique_ptr<AutoSaver> saver = std::make_unique<AutoSaver>(store, rig.settings, rig.table);
    std::vector<std::string> told;  // "name:ok" or "name:why", in the order told
    Group()
    {
        rig.options.maxThreadNumber = 0;
        profile.holdWrites = true;
    }
    // A hand-over: the task added, then the caller waits for the save.
    void HandOver(const std::string& name)
    {
        ASSERT_EQ(rig.adder.AddTask("http://h/" + name, ""), AddResult::Added);
        saver->SaveFor([this, name](const Status& saved) {
            told.push_back(name + ":" + (saved ? std::string("ok") : saved.Reason()));
        });
    }
    int SavedTasks() { return profile.GetInt("Settings", "MRU Num", -1); }
};

TEST(AutoSaverGroupCommit, CallersDuringAWriteShareTheNextSaveAndHearOnlyOnceItIsDurable)
{
    Group g;
    g.HandOver("a");  // nothing being written: its save starts at once
    EXPECT_EQ(g.profile.thenFlushes, 1);
    EXPECT_EQ(g.SavedTasks(), 1);
    for (const char* name : {"b", "c", "d"}) {
        g.HandOver(name);  // join the next save, which waits for this one
    }
    EXPECT_EQ(g.profile.thenFlushes, 1);
    EXPECT_TRUE(g.told.empty());
    EXPECT_EQ(g.saver->WaitingCallers(), 4);

    g.profile.WriteHeld();
    EXPECT_EQ(g.told, (std::vector<std::string>{"a:ok"}));
    // The next save started at once, with every task of its callers.
    EXPECT_EQ(g.profile.thenFlushes, 2);
    EXPECT_EQ(g.SavedTasks(), 4);
    g.HandOver("e");
    g.profile.WriteHeld();
    EXPECT_EQ(g.told, (std::vector<std::string>{"a:ok", "b:ok", "c:ok", "d:ok"}));
    EXPECT_EQ(g.profile.thenFlushes, 3);
    g.profile.WriteHeld();
    EXPECT_EQ(g.told.back(), "e:ok");
    EXPECT_EQ(g.saver->WaitingCallers(), 0);
    EXPECT_TRUE(g.profile.held.empty());  // no save without a caller
    EXPECT_FALSE(g.saver->Tick());        // the list is saved as it stands
}

TEST(AutoSaverGroupCommit, AFailedWriteIsToldToItsCallersAndTheTicksTryAgain)
{
    Group g;
    g.HandOver("a");
    g.HandOver("b");
    g.profile.flushResult = false;
    g.profile.flushError = "Cannot write /c/Dromo.ini: No space left on device.";
    g.profile.WriteHeld();
    EXPECT_EQ(g.told, (std::vector<std::string>{"a:" + g.profile.flushError}));
    EXPECT_EQ(g.saver->Problem(), g.profile.flushError);
    g.profile.flushResult = true;  // room again: the next caller's save works
    g.profile.WriteHeld();
    EXPECT_EQ(g.told.back(), "b:ok");
    EXPECT_EQ(g.saver->Problem(), "");
}

TEST(AutoSaverGroupCommit, AnExplicitSaveAnswersEveryoneStillWaiting)
{
    Group g;
    g.HandOver("a");
    g.HandOver("b");
    g.profile.holdWrites = false;
    EXPECT_TRUE(g.saver->SaveNow());  // the exit's save: the whole list is on disk
    EXPECT_EQ(g.told, (std::vector<std::string>{"a:ok", "b:ok"}));
    g.profile.WriteHeld();  // the first group save ends later: told nobody twice
    EXPECT_EQ(g.told.size(), 2u);
    EXPECT_EQ(g.saver->WaitingCallers(), 0);
}

TEST(AutoSaverGroupCommit, TheWritersWordComesBackThroughThePosterAndNotAfterTheSaverWent)
{
    Group g;
    std::vector<std::function<void()>> posted;
    g.saver->PostBackWith([&posted](std::function<void()> call) { posted.push_back(std::move(call)); });
    g.HandOver("a");
    g.profile.WriteHeld();
    EXPECT_TRUE(g.told.empty());  // not on the writer's thread
    ASSERT_EQ(posted.size(), 1u);
    posted[0]();
    EXPECT_EQ(g.told, (std::vector<std::string>{"a:ok"}));

    g.HandOver("b");
    g.saver.reset();
    g.profile.WriteHeld();  // the saver is gone: nothing is posted or told
    EXPECT_EQ(posted.size(), 1u);
    EXPECT_EQ(g.told.size(), 1u);
}

}  // namespace
}  // namespace dromo
