// What happens after OK of "Task Properties" and of "Import Broken File".

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/forms/brokenfile.h"
#include "base/forms/taskpagevalues.h"
#include "base/forms/taskproperties.h"
#include "base/tasks/tasktable.h"
#include "base/values/globaloptions.h"
#include "base/view/filetypeicon.h"
#include "tests/base/fakes/fakes.h"

namespace dromo {
namespace {

namespace fs = std::filesystem;

struct PropertiesTest : ::testing::Test {
    TaskTable table;
    test::FakeMessages messages;
    TaskId id = kNoTask;

    void SetUp() override
    {
        TaskRecord r;
        r.protocol = kProtocolFtp;
        r.host = "ftp.example";
        r.port = 2121;
        r.remotePath = "/pub/a.zip";
        r.saveAs = "/dl/a.zip";
        r.SetState(TaskState::Paused);
        TaskRow row;
        row.texts[kColTarget] = "ftp://ftp.example:2121/pub/a.zip";
        id = *table.Append(r, row);
    }
    TaskPageValues Opened() { return TaskPageValues::FromRecord(*table.CopyOut(0), GlobalOptions{}); }
};

TEST_F(PropertiesTest, ScheduleSwitchChangesStateOnlyWhenToggled)
{
    struct Case {
        int scheduled;
        TaskState state;
        int image;
    } cases[] = {{1, TaskState::Scheduled, 6}, {1, TaskState::Scheduled, 6}, {0, TaskState::Paused, 5}};
    for (const Case& c : cases) {
        TaskPageValues v = Opened();
        v.schedule.scheduled = c.scheduled;
        ASSERT_EQ(ApplyTaskProperties(table, id, v, messages), PropertiesResult::Stored);
        EXPECT_EQ(table.CopyOut(0)->State(), c.state);
        EXPECT_EQ(table.RowCopy(0).stateImage, c.image);
    }
    // Unchanged schedule on a Done task: it stays Done.
    table.SetState(0, TaskState::Done);
    ASSERT_EQ(ApplyTaskProperties(table, id, Opened(), messages), PropertiesResult::Stored);
    EXPECT_EQ(table.CopyOut(0)->State(), TaskState::Done);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PropertiesTest, NewUrlSplitIntoTheRecordAndTheRow)
{
    TaskPageValues v = Opened();
    EXPECT_EQ(v.url, "ftp://ftp.example:2121/pub/a.zip");
    v.url = "HTTPS://mirror.example/iso/disk.iso";
    v.saveAs = "/dl/disk.iso";
    ASSERT_EQ(ApplyTaskProperties(table, id, v, messages), PropertiesResult::Stored);
    const TaskRecord r = *table.CopyOut(0);
    EXPECT_EQ(r.protocol, kProtocolHttps);
    EXPECT_EQ(r.host, "mirror.example");
    EXPECT_EQ(r.port, 443);
    EXPECT_EQ(r.remotePath, "/iso/disk.iso");
    EXPECT_EQ(r.saveAs, "/dl/disk.iso");
    EXPECT_EQ(table.RowCopy(0).texts[kColTarget], "HTTPS://mirror.example/iso/disk.iso") << "as entered";
    EXPECT_EQ(table.RowCopy(0).icon, kIconUnknown);
}

TEST_F(PropertiesTest, RefusedWithoutChangingTheTask)
{
    TaskPageValues v = Opened();
    v.url = "mirror.example/disk.iso";
    v.schedule.scheduled = 1;
    EXPECT_EQ(ApplyTaskProperties(table, id, v, messages), PropertiesResult::InvalidUrl);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"invalid url"});
    EXPECT_EQ(table.CopyOut(0)->host, "ftp.example");
    EXPECT_EQ(table.CopyOut(0)->State(), TaskState::Paused);

    table.SetState(0, TaskState::Running);
    v.url = "http://other.example/b.zip";
    EXPECT_EQ(ApplyTaskProperties(table, id, v, messages), PropertiesResult::TaskRunning);
    EXPECT_EQ(table.CopyOut(0)->host, "ftp.example");
    EXPECT_EQ(messages.shown.size(), 2u);

    // "Save as" moved onto another task's file: two tasks would write one
    // file, whatever state either is in. Its own name, kept, is no clash.
    table.SetState(0, TaskState::Paused);
    TaskRecord other = *table.CopyOut(0);
    other.saveAs = "/dl/b.zip";
    ASSERT_TRUE(table.Append(other, TaskRow{}));
    for (const TaskState otherState : {TaskState::Paused, TaskState::Done, TaskState::Queued}) {
        table.SetState(1, otherState);
        TaskPageValues moved = Opened();
        moved.saveAs = "/dl/b.zip";
        EXPECT_EQ(ApplyTaskProperties(table, id, moved, messages), PropertiesResult::NameHeld);
        EXPECT_EQ(messages.shown.back(),
                  "Another task in the list saves to this file; its properties were not changed.");
        EXPECT_EQ(table.CopyOut(0)->saveAs, "/dl/a.zip");
    }
    TaskPageValues kept = Opened();
    kept.speed.unlimited = !kept.speed.unlimited;
    EXPECT_EQ(ApplyTaskProperties(table, id, kept, messages), PropertiesResult::Stored);

    table.Remove(0);
    EXPECT_EQ(ApplyTaskProperties(table, id, v, messages), PropertiesResult::TaskGone);
}

struct BrokenFileTest : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("dromo-import-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string Make(const std::string& name, const std::string& content = "partial")
    {
        std::ofstream(dir / name) << content;
        return (dir / name).string();
    }
    static std::string Read(const fs::path& p)
    {
        std::ifstream in(p);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(BrokenFileTest, APartialFileStaysAndTheTaskTakesTheShortName)
{
    const std::string broken = Make("a.iso+++");
    const TakenOverFile taken = TakeOverBrokenFile(broken);
    EXPECT_FALSE(taken.error);
    EXPECT_EQ(taken.path, (dir / "a.iso").string());
    EXPECT_EQ(Read(broken), "partial");
    EXPECT_FALSE(fs::exists(dir / "a.iso"));
}

TEST_F(BrokenFileTest, OtherFilesBecomeThePartialFileOfTheirName)
{
    for (const char* name : {"b.iso++", "c+++.iso", "d.iso"}) {
        const std::string path = Make(name);
        const TakenOverFile taken = TakeOverBrokenFile(path);
        EXPECT_FALSE(taken.error) << name;
        EXPECT_EQ(taken.path, path);
        EXPECT_FALSE(fs::exists(path));
        EXPECT_EQ(Read(path + "+++"), "partial");
    }
    // An existing partial file of that name is never replaced.
    const std::string path = Make("f.iso", "mine");
    Make("f.iso+++", "earlier");
    const TakenOverFile taken = TakeOverBrokenFile(path);
    ASSERT_TRUE(taken.error);
    EXPECT_EQ(Read(path), "mine");
    EXPECT_EQ(Read(path + "+++"), "earlier");
}

TEST_F(BrokenFileTest, RenameRefusedKeepsBothFiles)
{
    const std::string broken = Make("e.iso+++", "partial");
    Make("e.iso", "someone else's");
    const TakenOverFile taken = TakeOverBrokenFile(broken);
    ASSERT_TRUE(taken.error);
    EXPECT_EQ(*taken.error, "Access to an unnamed file was denied.");
    EXPECT_EQ(Read(broken), "partial");
    EXPECT_EQ(Read(dir / "e.iso"), "someone else's");

    const TakenOverFile vanished = TakeOverBrokenFile((dir / "gone+++").string());
    ASSERT_TRUE(vanished.error);
    EXPECT_EQ(*vanished.error, "an unnamed file was not found.");
}

// A take-over whose add was refused: the chosen file gets its name back;
// a "+++" file was never moved; a name taken meanwhile is not replaced.
TEST_F(BrokenFileTest, GivingBackRestoresTheChosenName)
{
    const std::string plain = Make("g.iso");
    EXPECT_FALSE(GiveBackBrokenFile(TakeOverBrokenFile(plain)));
    EXPECT_EQ(Read(plain), "partial");
    EXPECT_FALSE(fs::exists(plain + "+++"));

    const std::string partial = Make("h.iso+++");
    EXPECT_FALSE(GiveBackBrokenFile(TakeOverBrokenFile(partial)));
    EXPECT_EQ(Read(partial), "partial");

    const std::string taken = Make("k.iso");
    const TakenOverFile file = TakeOverBrokenFile(taken);
    Make("k.iso", "new");
    EXPECT_EQ(GiveBackBrokenFile(file), "Access to an unnamed file was denied.");
    EXPECT_EQ(Read(taken), "new");
    EXPECT_EQ(Read(taken + "+++"), "partial");
}

}  // namespace
}  // namespace dromo
