#include "base/view/desktopwatch.h"

#include <gtest/gtest.h>

#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/values/globaloptions.h"

namespace dromo {
namespace {

struct RecordingNotices : Notifications {
    std::vector<DesktopNotice> shown;
    void Show(const DesktopNotice& notice) override { shown.push_back(notice); }
};

struct RecordingInhibitor : SleepInhibitor {
    std::vector<std::string> calls;
    void Take() override { calls.push_back("take"); }
    void Release() override { calls.push_back("release"); }
};

struct Fixture {
    TaskTable table;
    WorkerState workers;
    GlobalOptions options;
    RecordingNotices notices;
    RecordingInhibitor inhibitor;
    DesktopWatch watch{table, workers, options, notices, inhibitor};

    int Add(TaskState state, const std::string& saveAs)
    {
        TaskRecord task;
        task.SetState(state);
        task.saveAs = saveAs;
        table.Append(task, TaskRow{});
        return table.Count() - 1;
    }
    void Set(int row, TaskState state) { table.SetState(row, state); }
    void Workers(int n)
    {
        auto guard = table.Lock();
        workers.Counts(guard).workerCount = static_cast<std::int16_t>(n);
    }
};

TEST(DesktopWatch, NoticeTextsForOneAndForMany)
{
    struct Case {
        std::vector<std::string> finished;
        std::vector<FailedFile> failed;
        DesktopNotice expected;
        std::vector<std::string> alreadyThere = {};
    };
    const Case cases[] = {
        {{}, {}, {"Already downloaded", "a.iso", "/dl/a.iso", true}, {"/dl/a.iso"}},
        {{},
         {},
         {"2 already downloaded", "a.iso (already downloaded)\nb.iso (already downloaded)", "/dl/b.iso", false},
         {"/dl/a.iso", "/dl/b.iso"}},
        {{"/dl/n.zip"},
         {},
         {"1 download finished", "n.zip\na.iso (already downloaded)", "/dl/n.zip", false},
         {"/dl/a.iso"}},
        {{"/dl/a b.zip"}, {}, {"Download finished", "a b.zip", "/dl/a b.zip", true}},
        {{},
         {{"/dl/x.iso", "Error 404 from server: Not Found"}},
         {"Download failed", "x.iso\nError 404 from server: Not Found", "", false}},
        {{}, {{"/dl/x.iso", ""}}, {"Download failed", "x.iso", "", false}},
        {{"/dl/a", "/other/b"}, {}, {"2 downloads finished", "a\nb", "/other/b", false}},
        {{"/dl/a"},
         {{"/dl/c", "Fail to connect to h:80: Connection refused"}},
         {"1 download finished, 1 failed", "a\nc (failed: Fail to connect to h:80: Connection refused)", "/dl/a",
          false}},
        {{},
         {{"/dl/c", "Error 404 from server: Not Found"}, {"/dl/d", "Error 403 from server: Forbidden"}},
         {"2 downloads failed",
          "c (failed: Error 404 from server: Not Found)\nd (failed: Error 403 from server: Forbidden)", "", false}},
        {{"/1", "/2", "/3", "/4", "/5", "/6", "/7"},
         {},
         {"7 downloads finished", "1\n2\n3\n4\n5\nand 2 more", "/7", false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NoticeFor(c.finished, c.failed, c.alreadyThere), c.expected) << c.expected.summary;
    }
}

// Ten files finishing together make one notice, told once things stay quiet;
// a later finish makes a notice of its own.
TEST(DesktopWatch, ABurstOfFinishesIsOneNotice)
{
    Fixture f;
    f.watch.Poll(0);
    for (int i = 0; i < 10; ++i) {
        f.watch.Finished("/dl/f" + std::to_string(i));
        f.watch.Poll(100 * i);  // the burst goes on
    }
    EXPECT_TRUE(f.notices.shown.empty());
    f.watch.Poll(900 + DesktopWatch::kQuietMs - 1);
    EXPECT_TRUE(f.notices.shown.empty());
    f.watch.Poll(900 + DesktopWatch::kQuietMs);
    ASSERT_EQ(f.notices.shown.size(), 1u);
    EXPECT_EQ(f.notices.shown[0].summary, "10 downloads finished");

    f.watch.Finished("/dl/late.bin");
    f.watch.Poll(20000);
    f.watch.Poll(20000 + DesktopWatch::kQuietMs);
    ASSERT_EQ(f.notices.shown.size(), 2u);
    EXPECT_EQ(f.notices.shown[1], (DesktopNotice{"Download finished", "late.bin", "/dl/late.bin", true}));
}

// A stream that never pauses is still told, once its first finish is old.
TEST(DesktopWatch, AnEndlessStreamIsToldNowAndThen)
{
    Fixture f;
    std::uint32_t now = 0;
    for (; f.notices.shown.empty() && now < 60000; now += 500) {
        f.watch.Finished("/dl/f");
        f.watch.Poll(now);
    }
    EXPECT_EQ(now - 500, DesktopWatch::kLongestBurstMs);
}

// A failure is told as it is noted, in a burst with whatever else ended
// close to it; a task that merely waits in Error for its next attempt is
// not a failure yet, nor is one left in Error by an earlier run.
TEST(DesktopWatch, FailuresAreToldWithTheirReasonsInTheirBurst)
{
    Fixture f;
    f.Add(TaskState::Error, "/dl/old");
    const int task = f.Add(TaskState::Running, "/dl/new.iso");
    f.Workers(1);
    f.watch.Poll(0);
    f.Set(task, TaskState::Error);  // waiting for its next attempt
    f.watch.Poll(500);
    f.Workers(0);
    f.watch.Poll(5000);
    EXPECT_TRUE(f.notices.shown.empty());

    f.watch.Failed("/dl/new.iso", "Fail to connect to h:80: Connection refused");
    f.watch.Poll(6000);
    f.watch.Finished("/dl/other.zip");
    f.watch.Poll(6500);
    f.watch.Poll(6500 + DesktopWatch::kQuietMs);
    ASSERT_EQ(f.notices.shown.size(), 1u);
    EXPECT_EQ(f.notices.shown[0],
              (DesktopNotice{"1 download finished, 1 failed",
                             "other.zip\nnew.iso (failed: Fail to connect to h:80: Connection refused)",
                             "/dl/other.zip", false}));

    f.watch.Failed("/dl/gone.bin", "Error 404 from server: Not Found");
    f.watch.End();  // told at exit too
    ASSERT_EQ(f.notices.shown.size(), 2u);
    EXPECT_EQ(f.notices.shown[1],
              (DesktopNotice{"Download failed", "gone.bin\nError 404 from server: Not Found", "", false}));
}

TEST(DesktopWatch, TheInhibitorIsHeldWhileAnythingRuns)
{
    Fixture f;
    const int task = f.Add(TaskState::Queued, "/dl/a");
    f.watch.Poll(0);
    EXPECT_TRUE(f.inhibitor.calls.empty());
    f.Workers(1);  // a worker starts: about to run
    f.watch.Poll(500);
    f.Set(task, TaskState::Running);
    f.watch.Poll(1000);
    f.Workers(0);  // the row still says Running
    f.watch.Poll(1500);
    EXPECT_EQ(f.inhibitor.calls, std::vector<std::string>{"take"});
    f.Set(task, TaskState::Done);
    f.watch.Poll(2000);
    f.watch.Poll(2500);
    EXPECT_EQ(f.inhibitor.calls, (std::vector<std::string>{"take", "release"}));
    f.Set(task, TaskState::Running);
    f.watch.Poll(3000);
    f.watch.End();  // exit while running
    EXPECT_EQ(f.inhibitor.calls, (std::vector<std::string>{"take", "release", "take", "release"}));
}

// Each option switches its part off, also in the middle of things.
TEST(DesktopWatch, TheOptionsSwitchEachPartOff)
{
    Fixture f;
    f.options.notifyWhenDone = 0;
    f.options.keepAwake = 0;
    const int task = f.Add(TaskState::Running, "/dl/a");
    f.watch.Poll(0);
    f.watch.Finished("/dl/a");
    f.watch.Failed("/dl/b", "Error 404 from server: Not Found");
    f.Set(task, TaskState::Done);
    f.watch.Poll(500);
    f.watch.Poll(5000);
    EXPECT_TRUE(f.notices.shown.empty());
    EXPECT_TRUE(f.inhibitor.calls.empty());

    f.options.notifyWhenDone = 1;
    f.options.keepAwake = 1;
    f.Set(task, TaskState::Running);
    f.watch.Finished("/dl/b");
    f.watch.Poll(6000);
    EXPECT_EQ(f.inhibitor.calls, std::vector<std::string>{"take"});
    f.options.notifyWhenDone = 0;  // switched off while the burst gathered
    f.options.keepAwake = 0;       // and the hold goes at the next look
    f.watch.Poll(6500);
    f.watch.Poll(9000);
    EXPECT_TRUE(f.notices.shown.empty());
    EXPECT_EQ(f.inhibitor.calls, (std::vector<std::string>{"take", "release"}));
}

}  // namespace
}  // namespace dromo
