#include "base/download/schedulecheck.h"

#include <gtest/gtest.h>

#include "base/download/refreshtimer.h"
#include "base/view/speedsamples.h"
#include "tests/base/fakes/rig.h"

namespace dromo {
namespace {

using test::Rig;

struct Scheduled {
    Rig rig;
    test::FakeWorkerStarter starter;
    ScheduleCheck check{rig.table, rig.clock, starter, rig.completion};
    std::shared_ptr<test::ScriptedEngine> engine =
        std::make_shared<test::ScriptedEngine>(rig.engines.script, rig.progress);

    void Add(TaskState state, const char* startAt, int duration, int untilFinished)
    {
        TaskRecord r;
        r.SetState(state);
        r.scheduled = 1;
        r.startAt = startAt;
        r.duration = duration;
        r.untilFinished = untilFinished;
        if (state == TaskState::Running) {
            r.engine = engine;
        }
        rig.table.Append(r, TaskRow{});
    }
    void At(int hour, int minute)
    {
        rig.clock.hour = hour;
        rig.clock.minute = minute;
        check.Run();
    }
    int Aborts()
    {
        int n = 0;
        for (const auto& c : rig.engines.script.Calls()) {
            n += c == "Abort";
        }
        return n;
    }
};

TEST(ScheduleCheck, StartsAtItsMinuteOnly)
{
    Scheduled s;
    s.Add(TaskState::Scheduled, "22:05", 30, 1);
    s.Add(TaskState::Scheduled, "7:x", 30, 1);  // minute reads as 0
    s.At(22, 4);
    EXPECT_EQ(s.rig.StateOf(0), TaskState::Scheduled);
    s.At(22, 5);
    EXPECT_EQ(s.rig.StateOf(0), TaskState::Queued);
    EXPECT_EQ(s.rig.RowImage(0), kImageQueued);
    EXPECT_EQ(s.starter.ruleB, 1);
    s.At(7, 0);
    EXPECT_EQ(s.rig.StateOf(1), TaskState::Queued);
}

TEST(ScheduleCheck, CutsOffARunAfterItsDuration)
{
    struct Case {
        int hour, minute;
        int untilFinished;
        int aborts;
    };
    const Case cases[] = {
        {22, 29, 0, 0}, {22, 30, 0, 1}, {23, 10, 0, 1},
        {22, 45, 1, 0}, {0, 10, 0, 0},  // past midnight the elapsed time goes negative: not cut off
    };
    for (const Case& c : cases) {
        Scheduled s;
        s.Add(TaskState::Running, "22:00", 30, c.untilFinished);
        s.At(c.hour, c.minute);
        EXPECT_EQ(s.Aborts(), c.aborts) << c.hour << ":" << c.minute;
        EXPECT_EQ(s.rig.completion.Count("check"), c.aborts);
        EXPECT_EQ(s.rig.StateOf(0), TaskState::Running);  // the worker sets the end state
    }
}

TEST(SpeedSamples, PercentOfTheWindowMaximum)
{
    SpeedSamples samples;
    const std::pair<std::int64_t, int> steps[] = {{100, 100}, {50, 50}, {0, 0}, {200, 100}, {-5, 0}};
    for (auto [v, percent] : steps) {
        samples.AddSample(v);
        EXPECT_EQ(samples.PercentOfMax(), percent) << v;
    }
    EXPECT_EQ(samples.Sample(1), 0);  // negative samples are kept as 0
    EXPECT_EQ(samples.Max(), 200);
    for (int i = 0; i < 40; ++i) {
        samples.AddSample(10);
    }
    EXPECT_EQ(samples.Count(), SpeedSamples::kSize);
    EXPECT_EQ(samples.Max(), 10);  // 200 has left the 35-sample window
}

TEST(RefreshTimer, TrayIconAndTip)
{
    Rig rig;
    test::FakeWorkerStarter starter;
    ScheduleCheck check{rig.table, rig.clock, starter, rig.completion};
    SpeedSamples samples;
    RefreshTimer timer{check, rig.progress, samples, rig.table, rig.state, rig.clock, rig.observer};
    timer.Start();

    timer.Tick();  // nothing running, empty bar
    EXPECT_EQ(rig.observer.trays.back(), (TrayState{128, "Dromo 1.04"}));

    // A download received 1 MB in the last second.
    TaskRecord r;
    r.SetState(TaskState::Running);
    auto engine = std::make_shared<test::ScriptedEngine>(rig.engines.script, rig.progress);
    r.engine = engine;
    TaskRow row;
    row.texts[kColSize] = "0";
    rig.table.Append(r, row);
    {
        auto guard = rig.table.Lock();
        rig.state.Counts(guard).activeCount = 1;
    }
    rig.progress.OnProgress(Progress::Bytes(0, 1 << 20, 0));
    rig.clock.ms += 1000;
    timer.Tick();
    EXPECT_EQ(rig.observer.trays.back(), (TrayState{212, "Speed: 1024.0 KB/s"}));
    EXPECT_EQ(samples.Sample(1), 1 << 20);

    // Half the peak: icon 209; nothing this second: icon 207.
    rig.progress.OnProgress(Progress::Bytes(0, (1 << 20) + (1 << 19), 0));
    rig.clock.ms += 1000;
    timer.Tick();
    EXPECT_EQ(rig.observer.trays.back().icon, 209);
    rig.clock.ms += 1000;
    timer.Tick();
    EXPECT_EQ(rig.observer.trays.back(), (TrayState{207, "Dromo 1.04"}));

    {
        auto guard = rig.table.Lock();
        rig.state.Counts(guard).activeCount = 0;
    }
    rig.clock.ms += 1000;
    timer.Tick();
    EXPECT_EQ(rig.observer.trays.back().icon, 128);
}

}  // namespace
}  // namespace dromo
