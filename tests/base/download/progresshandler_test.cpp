#include "base/download/progresshandler.h"

#include <gtest/gtest.h>

#include "tests/base/fakes/rig.h"

namespace dromo {
namespace {

using test::Rig;

// A task in row 0 that a scripted engine is "running".
struct Running {
    Rig rig;
    std::shared_ptr<test::ScriptedEngine> engine;
    TaskId id = 0;

    explicit Running(std::int64_t fileSize = 10 * 1024 * 1024)
    {
        TaskRecord r;
        r.SetState(TaskState::Running);
        r.startTime = rig.clock.now;
        engine = std::make_shared<test::ScriptedEngine>(rig.engines.script, rig.progress);
        engine->fileSize = fileSize;
        r.engine = engine;
        TaskRow row;
        row.texts[kColSize] = "0";
        row.texts[kColResume] = "N/A";
        rig.table.Append(r, row);
    }
    void Event(ProgressKind kind, std::int64_t bytes, std::int64_t speed = 0, const std::string& text = "",
               StatusTone tone = StatusTone::Plain)
    {
        rig.progress.OnProgress(Progress{kind, id, text, bytes, speed, tone});
    }
    std::string Text(Column c) { return rig.table.RowCopy(0).texts[c]; }
};

TEST(ProgressHandler, BytesAreCountedFromTheSizeColumnInWholeKilobytes)
{
    Running t;
    t.Event(ProgressKind::Bytes, 2048);
    EXPECT_EQ(t.rig.progress.TakeBytesThisTick(), 2048);
    t.Event(ProgressKind::Bytes, 5120);
    EXPECT_EQ(t.rig.progress.TakeBytesThisTick(), 3072);
    EXPECT_EQ(t.Text(kColSize), "5 of 10240");
    EXPECT_EQ(t.rig.progress.TakeBytesThisTick(), 0);
}

TEST(ProgressHandler, ColumnTexts)
{
    struct Case {
        std::int64_t total;
        std::int64_t bytes;
        std::int64_t speed;
        const char* size;
        const char* progress;
        const char* estTime;
        const char* speedText;  // "" = left as it was
    };
    const Case cases[] = {
        {10485760, 5242880, 1024, "5120 of 10240", "50%", "1:25:20", "1.0KB/s"},
        {1000, 500, 0, "0 of 0", "50%", "0:8:20", "0.0KB/s"},  // speed 0 counts as 1
        {2048, 2047, 12800, "1 of 2", "99%", "<1s", "12.5KB/s"},
        {2048, 2048, 12800, "2 of 2", "100%", "0:0:0", ""},  // 100 %: speed kept
        {-1, 3072, 2048, "3", "N/A", "N/A", "2.0KB/s"},      // unknown size
        {0, 0, 0, "0 of 0", "100%", "0:0:0", ""},            // an empty file is complete
        {6LL << 30, 3LL << 30, 1 << 20, "3145728 of 6291456", "50%", "0:51:12", "1024.0KB/s"},
    };
    for (const Case& c : cases) {
        Running t(c.total);
        t.rig.table.SetText(0, kColSpeed, "before");
        t.Event(ProgressKind::Bytes, c.bytes, c.speed);
        EXPECT_EQ(t.Text(kColSize), c.size) << c.total;
        EXPECT_EQ(t.Text(kColProgress), c.progress) << c.total;
        EXPECT_EQ(t.Text(kColEstTime), c.estTime) << c.total;
        EXPECT_EQ(t.Text(kColSpeed), *c.speedText ? c.speedText : "before") << c.total;
        EXPECT_EQ(t.Text(kColResume), "Yes");
    }
}

TEST(ProgressHandler, ResumeIsAskedOnceAndTimeCountsFromTheStart)
{
    Running t;
    t.engine->resumable = false;
    t.rig.clock.now += 3725;
    t.Event(ProgressKind::Bytes, 1);
    EXPECT_EQ(t.Text(kColResume), "No");
    t.engine->resumable = true;
    t.Event(ProgressKind::Bytes, 2);
    EXPECT_EQ(t.Text(kColResume), "No");
    EXPECT_EQ(t.Text(kColTime), "1:2:5");
}

TEST(ProgressHandler, StatusRetryAndStartMark)
{
    Running t;
    t.Event(ProgressKind::Status, 0, 0, "10:00:00 Connecting to h:80...");
    EXPECT_EQ(t.Text(kColStatus), "10:00:00 Connecting to h:80...");
    t.Event(ProgressKind::Status, 0, 0, "");
    EXPECT_EQ(t.Text(kColStatus), "10:00:00 Connecting to h:80...");  // an empty text changes nothing
    t.Event(ProgressKind::Retry, 0, 0, "1 of 6");
    EXPECT_EQ(t.Text(kColRetry), "1 of 6");
    t.rig.clock.now += 7;
    t.Event(ProgressKind::Start, 300 * 1024 + 5);
    EXPECT_EQ(t.rig.Task(0).checkpointKB, 300);
    EXPECT_EQ(t.rig.Task(0).checkpointTime, t.rig.clock.now);
}

// The sound is chosen by what the status is, as its writer says, never by
// words in its text: a server's reply line that holds "Error " plays
// nothing, and the text is shown as it came.
TEST(ProgressHandler, SoundsFollowTheStatusTone)
{
    struct Case {
        const char* text;
        StatusTone tone;
        std::vector<std::string> played;
    };
    const Case cases[] = {
        {"Connecting to h:80...", StatusTone::Connecting, {"start.wav"}},
        {"File has been downloaded", StatusTone::Done, {"done.wav"}},
        {"Error and Fail both", StatusTone::Failure, {"wrong.wav"}},  // one sound, not two
        {"Leaving the mirror http://m/f: Error 403 from server: Forbidden", StatusTone::Failure, {"wrong.wav"}},
        {"550 Error reading the directory", StatusTone::Plain, {}},
        {"Saving as f (1).zip: f.zip is another file", StatusTone::Plain, {}},
    };
    for (const Case& c : cases) {
        Running t;
        t.rig.options.enableSound = 1;
        t.rig.options.soundStartDownload = "start.wav";
        t.rig.options.soundJobDone = "done.wav";
        t.rig.options.soundSthWrong = "wrong.wav";
        t.Event(ProgressKind::Status, 0, 0, c.text, c.tone);
        EXPECT_EQ(t.rig.sound.played, c.played) << c.text;
        EXPECT_EQ(t.Text(kColStatus), c.text);
    }
    Running quiet;
    quiet.Event(ProgressKind::Status, 0, 0, "Connecting to h:80...", StatusTone::Connecting);
    EXPECT_TRUE(quiet.rig.sound.played.empty());
}

TEST(ProgressHandler, EventsForAGoneRowOrAfterStopChangeNothing)
{
    Running t;
    t.rig.progress.OnProgress(Progress{ProgressKind::Status, 5, "x", 1024, 1, StatusTone::Plain});  // no such task
    t.rig.table.Remove(0);
    t.Event(ProgressKind::Bytes, 1024);
    EXPECT_EQ(t.rig.progress.TakeBytesThisTick(), 0);

    Running stopped;
    stopped.rig.state.stop = true;
    stopped.Event(ProgressKind::Status, 0, 0, "late");
    EXPECT_EQ(stopped.Text(kColStatus), "");
}

}  // namespace
}  // namespace dromo
