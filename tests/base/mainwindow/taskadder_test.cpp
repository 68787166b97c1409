#include "mainwindow/taskadder.h"

#include <gtest/gtest.h>

#include "core/globaloptions.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "fakes/fakes.h"

namespace dromo {
namespace {

struct Fixture {
    ViewSettings settings;
    GlobalOptions& options = settings.options;
    TaskTable table;
    test::FakeWorkerStarter pool;
    test::RecordingObserver observer;
    test::FakeMessages messages;
    test::FakeSound sound;
    TaskAdder adder{table, settings, pool, observer, messages, sound, 0x1234};
};

TEST(RestoreTask, StateFollowsSavedStateResumeIfStartAndSchedule)
{
    struct Case {
        TaskState saved;
        int resumeIfStart;
        int scheduled;
        TaskState expected;
    };
    const Case cases[] = {
        {TaskState::Done, 0, 0, TaskState::Done},
        {TaskState::Done, 1, 0, TaskState::Done},
        {TaskState::Running, 0, 0, TaskState::Paused},
        {TaskState::Error, 0, 0, TaskState::Paused},
        {TaskState::Queued, 1, 0, TaskState::Queued},
        {TaskState::Paused, 1, 0, TaskState::Queued},
        {TaskState::Paused, 0, 1, TaskState::Scheduled},
        {TaskState::Queued, 1, 1, TaskState::Scheduled},
        {TaskState::Done, 0, 1, TaskState::Scheduled},  // the schedule wins even over Done
    };
    for (const Case& c : cases) {
        Fixture f;
        f.options.resumeIfStart = c.resumeIfStart;
        TaskRecord r;
        r.SetState(c.saved);
        r.scheduled = c.scheduled;
        ASSERT_TRUE(f.adder.RestoreTask("http://h/f.zip", "10", "Yes", "5%", r));
        const TaskRecord got = *f.table.CopyOut(0);
        EXPECT_EQ(got.State(), c.expected) << static_cast<int>(c.saved);
        EXPECT_EQ(f.table.RowCopy(0).stateImage, StateImageOf(got.state));
        // Rule B once per restored task, only with "Resume if Start" on.
        EXPECT_EQ(f.pool.ruleB, c.resumeIfStart);
        EXPECT_EQ(f.pool.ruleA, 0);
    }
}

TEST(RestoreTask, ParsesTheUrlAgainAndFillsTheRow)
{
    Fixture f;
    TaskRecord r;
    r.host = "stale";
    r.saveAs = "/d/b.zip";
    ASSERT_TRUE(f.adder.RestoreTask("HTTP://Host:8080/a/b.zip", "1024", "Yes", "50%", r));
    const TaskRecord got = *f.table.CopyOut(0);
    EXPECT_EQ(got.protocol, kProtocolHttp);
    EXPECT_EQ(got.host, "Host");
    EXPECT_EQ(got.port, 8080);
    EXPECT_EQ(got.remotePath, "/a/b.zip");
    EXPECT_EQ(got.taskId, 0);
    EXPECT_EQ(got.ownerWindow, 0x1234u);
    EXPECT_EQ(got.saveAs, "/d/b.zip");
    const TaskRow row = f.table.RowCopy(0);
    EXPECT_EQ(row.texts[kColTarget], "HTTP://Host:8080/a/b.zip");
    EXPECT_EQ(row.texts[kColSize], "1024");
    EXPECT_EQ(row.texts[kColResume], "Yes");
    EXPECT_EQ(row.texts[kColProgress], "50%");
    EXPECT_EQ(row.texts[kColStatus], "");
    EXPECT_EQ(row.icon, 1);
    EXPECT_EQ(f.observer.pane1, "0 tasks is running");
    EXPECT_EQ(f.observer.pane2, "0 tasks is in queue");
}

TEST(RestoreTask, UnparsableUrlsAreDroppedSilently)
{
    Fixture f;
    f.options.resumeIfStart = 1;
    for (const char* url : {"", "http://nohost", "file:///x", "garbage"}) {
        EXPECT_FALSE(f.adder.RestoreTask(url, "", "N/A", "", TaskRecord{})) << url;
    }
    EXPECT_EQ(f.table.Count(), 0);
    EXPECT_EQ(f.pool.ruleB, 0);
    EXPECT_TRUE(f.observer.events.empty());
}

TEST(RestoreTask, CountsQueuedTasksInTheStatusBar)
{
    Fixture f;
    f.options.resumeIfStart = 1;
    f.adder.RestoreTask("ftp://h/a", "", "N/A", "", TaskRecord{});
    f.adder.RestoreTask("ftp://h/b", "", "N/A", "", TaskRecord{});
    EXPECT_EQ(f.observer.pane2, "2 tasks is in queue");
    EXPECT_EQ(f.table.RowOf(1), 1);
}

}  // namespace
}  // namespace dromo
