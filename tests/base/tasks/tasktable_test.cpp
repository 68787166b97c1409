#include "base/tasks/tasktable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

#include "base/ports/transferengine.h"
#include "base/text/filenames.h"
#include "base/values/globaloptions.h"

#include "base/values/transferoutcome.h"
#include "tests/base/fakes/fakes.h"
#include "tests/base/fakes/tasktableaccess.h"

namespace dromo {
namespace {

TaskRecord Record(const std::string& saveAs)
{
    TaskRecord r;
    r.saveAs = saveAs;
    return r;
}

// Appends n tasks named "t0".."tn-1" and returns the table.
void Fill(TaskTable& table, int n)
{
    for (int i = 0; i < n; ++i) {
        ASSERT_TRUE(table.Append(Record("t" + std::to_string(i)), TaskRow{}));
    }
}

TEST(TaskTable, AppendHandsOutIdentifiersInOrderAndRowsAtTheEnd)
{
    test::RecordingObserver observer;
    TaskTable table(&observer);
    Fill(table, 3);
    ASSERT_EQ(table.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(table.CopyOut(i)->taskId, i);
        EXPECT_EQ(table.RowOf(i), i);
    }
    EXPECT_EQ(observer.events, (std::vector<std::string>{"insert 0", "insert 1", "insert 2"}));
}

// The list shows the file a task writes, which a worker may rename (the
// server's name, a free numbered name) long after the add: the row follows
// every write of the record, and the list hears of a change, not of a write
// that changed no name.
TEST(TaskTable, TheRowFollowsTheRecordsFile)
{
    test::RecordingObserver observer;
    TaskTable table(&observer);
    Fill(table, 2);
    EXPECT_EQ(table.RowCopy(1).saveAs, "t1") << "from the add";
    observer.events.clear();
    ASSERT_TRUE(table.Update(1, [](TaskRecord& r) { r.saveAs = "/d/server-name.iso"; }));
    EXPECT_EQ(table.RowCopy(1).saveAs, "/d/server-name.iso");
    EXPECT_EQ(observer.events, std::vector<std::string>{"change 1"});
    ASSERT_TRUE(table.Update(1, [](TaskRecord& r) { r.errorCount = 3; }));
    TaskRecord copy = *table.CopyOut(0);
    copy.retryInterval = 5;
    ASSERT_TRUE(TaskTableTestAccess::WriteBack(table, 0, copy));
    EXPECT_EQ(observer.events, std::vector<std::string>{"change 1"}) << "no name changed";
    EXPECT_EQ(table.RowCopy(0).saveAs, "t0");
}

TEST(TaskTable, RemovingARowMovesLaterTasksUpAndLeavesTheStaleEntry)
{
    struct Case {
        int removeRow;
        std::vector<int> rawMap;       // raw RowMap entries by task id
        std::vector<int> liveRowOfId;  // RowOf for ids 0..2 (-1 = gone)
    };
    const Case cases[] = {
        {0, {0, 0, 1}, {-1, 0, 1}},
        {1, {0, 1, 1}, {0, -1, 1}},
        {2, {0, 1, 2}, {0, 1, -1}},
    };
    for (const Case& c : cases) {
        TaskTable table;
        Fill(table, 3);
        ASSERT_TRUE(table.Remove(c.removeRow));
        for (int id = 0; id < 3; ++id) {
            EXPECT_EQ(table.RawRowOf(id), c.rawMap[id]) << "remove " << c.removeRow << " id " << id;
            EXPECT_EQ(table.RowOf(id), c.liveRowOfId[id]) << "remove " << c.removeRow << " id " << id;
        }
    }
}

TEST(TaskTable, IdentifiersAreNeverReusedAfterRemoval)
{
    TaskTable table;
    Fill(table, 2);
    table.Remove(1);
    const auto id = table.Append(Record("new"), TaskRow{});
    ASSERT_TRUE(id);
    EXPECT_EQ(*id, 2);
    EXPECT_EQ(table.RowOf(2), 1);
    EXPECT_EQ(table.RowOf(1), -1);
}

TEST(TaskTable, PastTheLastIdentifierAppendRefusesAndChangesNothing)
{
    test::RecordingObserver observer;
    TaskTable table(&observer);
    TaskTableTestAccess::SkipIdentifiersTo(table, RowMap::kMaxEntries - 3);
    Fill(table, 3);
    ASSERT_EQ(table.CopyOut(table.Count() - 1)->taskId, kLastTaskId);
    ASSERT_EQ(kLastTaskId, 2147483646) << "every identifier and the count of them fit in 32 bits";
    ASSERT_FALSE(table.CanAppend());

    // Emptying the table does not free identifiers: they stay unique per run.
    while (table.Count() > 1) {
        table.Remove(table.Count() - 2);
    }
    observer.events.clear();
    EXPECT_FALSE(table.Append(Record("one too many"), TaskRow{}));
    EXPECT_EQ(table.Count(), 1);
    EXPECT_TRUE(observer.events.empty());
    EXPECT_EQ(table.RowOf(kLastTaskId), 0);
    EXPECT_EQ(table.NextTaskId(), RowMap::kMaxEntries);
    EXPECT_EQ(table.RowOf(RowMap::kMaxEntries), -1) << "never handed out";
}

// Identifiers past the old 16-bit end (32767) through the table and its
// map: each deletion moves the later tasks up, every task left is still
// found in its row, and a deleted one is found nowhere. The expected rows
// come from a plain list of the identifiers left.
TEST(TaskTable, IdentifiersPast32767StillFindTheirRowsAfterDeletions)
{
    constexpr int kTasks = 40000;
    struct Case {
        const char* name;
        std::vector<int> removeRows;  // in this order, rows as they are at the time
    };
    const Case cases[] = {
        {"none", {}},
        {"one in the middle", {20000}},
        {"either side of the old end", {32768, 32767, 32766}},
        {"the first, the last and a run in between", {0, kTasks - 2, 30000, 30000, 30000, 30000}},
        {"every thousandth from the top",
         [] {
             std::vector<int> rows;
             for (int row = 0; row < kTasks - 40; row += 999) {
                 rows.push_back(row);
             }
             return rows;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TaskTable table;
        Fill(table, kTasks);
        std::vector<TaskId> left(kTasks);
        for (int i = 0; i < kTasks; ++i) {
            left[static_cast<std::size_t>(i)] = i;
        }
        std::vector<TaskId> removed;
        for (int row : c.removeRows) {
            ASSERT_TRUE(table.Remove(row));
            removed.push_back(left[static_cast<std::size_t>(row)]);
            left.erase(left.begin() + row);
        }
        ASSERT_EQ(table.Count(), static_cast<int>(left.size()));
        for (int row = 0; row < table.Count(); ++row) {
            const TaskId id = left[static_cast<std::size_t>(row)];
            ASSERT_EQ(table.TaskIdAt(row), id) << row;
            ASSERT_EQ(table.RowOf(id), row) << id;
            ASSERT_EQ(table.CopyOut(row)->saveAs, "t" + std::to_string(id));
        }
        for (TaskId id : removed) {
            EXPECT_EQ(table.RowOf(id), -1) << id;
            // The classic stale entry: the tasks left above it.
            const auto above = std::lower_bound(left.begin(), left.end(), id) - left.begin();
            EXPECT_EQ(table.RawRowOf(id), above) << id;
        }
        // A change by identifier reaches the right record, and the next
        // identifier follows the last one handed out.
        const TaskId high = left.back();
        ASSERT_GT(high, 32767);
        ASSERT_TRUE(table.Update(high, [](TaskRecord& r) { r.errorCount = 9; }));
        EXPECT_EQ(table.CopyOut(table.Count() - 1)->errorCount, 9);
        EXPECT_EQ(*table.Append(Record("next"), TaskRow{}), kTasks);
        EXPECT_EQ(table.RowOf(kTasks), static_cast<int>(left.size()));
    }
}

TEST(TaskTable, BadRowsAreRefusedInsteadOfTouchingMemory)
{
    TaskTable table;
    Fill(table, 1);
    for (int row : {-1, 1, 1000}) {
        EXPECT_FALSE(table.CopyOut(row)) << row;
        EXPECT_FALSE(TaskTableTestAccess::WriteBack(table, row, TaskRecord{})) << row;
        EXPECT_FALSE(table.Remove(row)) << row;
        EXPECT_FALSE(table.SetStateImage(row, 1)) << row;
        EXPECT_FALSE(table.SetText(row, kColStatus, "x")) << row;
    }
    EXPECT_EQ(table.RowOf(-5), -1);
    EXPECT_EQ(table.RowOf(7), -1);
    EXPECT_EQ(table.Count(), 1);
}

TEST(TaskTable, SetStateKeepsTheStateImageInStep)
{
    const std::pair<TaskState, int> cases[] = {
        {TaskState::Queued, 1}, {TaskState::Running, 2}, {TaskState::Error, 3},
        {TaskState::Done, 4},   {TaskState::Paused, 5},  {TaskState::Scheduled, 6},
    };
    TaskTable table;
    Fill(table, 1);
    for (auto [state, image] : cases) {
        ASSERT_TRUE(table.SetState(0, state));
        EXPECT_EQ(table.CopyOut(0)->State(), state);
        EXPECT_EQ(table.RowCopy(0).stateImage, image);
        EXPECT_STRNE(StateLegendText(image), "");
    }
}

class NullEngine : public TransferEngine {
public:
    bool Transfer(const TransferRequest&) override { return false; }
    bool IsResumable() override { return false; }
    std::string ErrorText() override { return {}; }
    TransferOutcome Outcome() override { return TransferOutcome::Failed; }
    void Close() override {}
    std::int64_t FileSize() override { return -1; }
    void Abort() override {}
    std::string SavedAs() override { return {}; }
    std::int32_t RetryAfter() override { return -1; }
    std::string Verified() override { return {}; }
    void SetFileClaims(FileClaims*) override {}
    MirrorList AnnouncedMirrors() override { return {}; }
    bool TooLarge() const override { return false; }
    std::string FoundStream() override { return {}; }
    AddressSample SampleAddress(const TransferRequest&) override { return {}; }
};

TEST(TaskTable, CopiesShareTheEngineAndTheTableKeepsItAlive)
{
    TaskTable table;
    auto engine = std::make_shared<NullEngine>();
    std::weak_ptr<TransferEngine> watch = engine;
    TaskRecord r;
    r.engine = engine;
    table.Append(r, TaskRow{});
    r.engine.reset();
    engine.reset();
    {
        TaskRecord copy = *table.CopyOut(0);
        EXPECT_EQ(watch.use_count(), 2);
    }
    EXPECT_FALSE(watch.expired());

    TaskRecord cleared = *table.CopyOut(0);
    cleared.engine.reset();
    TaskTableTestAccess::WriteBack(table, 0, cleared);
    EXPECT_TRUE(watch.expired());
}

TEST(TaskTable, ReadModifyWriteUnderTheLockLosesNoUpdate)
{
    TaskTable table;
    Fill(table, 1);
    auto bump = [&table] {
        for (int i = 0; i < 2000; ++i) {
            auto guard = table.Lock();
            TaskRecord r = *table.CopyOut(table.RowOf(0));  // re-entering the held lock
            ++r.retryInterval;
            TaskTableTestAccess::WriteBack(table, table.RowOf(0), r);
        }
    };
    std::thread a(bump);
    std::thread b(bump);
    a.join();
    b.join();
    EXPECT_EQ(table.CopyOut(0)->retryInterval, 4000);
}

// Update finds the task by identifier, wherever its row is now, and changes
// nothing for a task that is gone.
TEST(TaskTable, UpdateChangesTheTaskWhereverItsRowIsAndNothingWhenGone)
{
    struct Case {
        int removeRow;  // -1: nothing removed
        int taskId;
        bool found;
        std::vector<std::string> saveAs;  // by row, after the update
    };
    const Case cases[] = {
        {.removeRow = -1, .taskId = 1, .found = true, .saveAs = {"t0", "changed", "t2"}},
        {.removeRow = 0, .taskId = 2, .found = true, .saveAs = {"t1", "changed"}},
        {.removeRow = 1, .taskId = 1, .found = false, .saveAs = {"t0", "t2"}},
        {.removeRow = -1, .taskId = 7, .found = false, .saveAs = {"t0", "t1", "t2"}},
        {.removeRow = -1, .taskId = -1, .found = false, .saveAs = {"t0", "t1", "t2"}},
    };
    for (const Case& c : cases) {
        TaskTable table;
        Fill(table, 3);
        if (c.removeRow >= 0) {
            table.Remove(c.removeRow);
        }
        const std::uint64_t changesBefore = table.ChangeCount();
        const int queuedBefore = table.CountIn(TaskState::Queued);
        bool called = false;
        EXPECT_EQ(table.Update(c.taskId,
                               [&](TaskRecord& r) {
                                   called = true;
                                   r.saveAs = "changed";
                                   r.SetState(TaskState::Done);
                               }),
                  c.found)
            << c.taskId;
        EXPECT_EQ(called, c.found) << c.taskId;
        std::vector<std::string> saveAs;
        for (int row = 0; row < table.Count(); ++row) {
            saveAs.push_back(table.CopyOut(row)->saveAs);
        }
        EXPECT_EQ(saveAs, c.saveAs) << c.taskId;
        // A change is counted like any write back: the saver and the state
        // counts see it.
        EXPECT_EQ(table.ChangeCount(), changesBefore + (c.found ? 1 : 0)) << c.taskId;
        EXPECT_EQ(table.CountIn(TaskState::Done), c.found ? 1 : 0) << c.taskId;
        EXPECT_EQ(table.CountIn(TaskState::Queued), queuedBefore - (c.found ? 1 : 0)) << c.taskId;
    }
}

// The change runs with the table lock held: another thread can neither take
// the lock nor read the record until the change is written back.
TEST(TaskTable, UpdateHoldsTheLockWhileTheChangeRuns)
{
    TaskTable table;
    Fill(table, 1);
    bool lockedDuringChange = false;
    std::string seenByReader;
    std::thread reader;
    table.Update(0, [&](TaskRecord& r) {
        r.saveAs = "half";
        std::thread probe([&] {
            lockedDuringChange = !TaskTableTestAccess::Mutex(table).try_lock();
            if (!lockedDuringChange) {
                TaskTableTestAccess::Mutex(table).unlock();
            }
        });
        probe.join();
        // Blocks until the update is written back, then reads the whole of it.
        reader = std::thread([&] { seenByReader = table.CopyOut(0)->saveAs; });
        r.saveAs = "whole";
    });
    reader.join();
    EXPECT_TRUE(lockedDuringChange);
    EXPECT_EQ(seenByReader, "whole");
}

TEST(TaskTable, ConcurrentUpdatesLoseNoChange)
{
    TaskTable table;
    Fill(table, 1);
    auto bump = [&table] {
        for (int i = 0; i < 2000; ++i) {
            table.Update(0, [](TaskRecord& r) { ++r.retryInterval; });
        }
    };
    std::thread a(bump);
    std::thread b(bump);
    a.join();
    b.join();
    EXPECT_EQ(table.CopyOut(0)->retryInterval, 4000);
}

}  // namespace
}  // namespace dromo

namespace dromo {
namespace {

// The per-state counts and the indexes the adds, claims and ticks look up are kept as
// records change; they must always match a plain scan over the records,
// whatever the mix of operations.
TEST(TaskTable, StateCountsAndPathIndexesFollowEveryChange)
{
    TaskTable table;
    std::mt19937 random(42);
    const TaskState states[] = {TaskState::Queued, TaskState::Paused, TaskState::Running,
                                TaskState::Done,   TaskState::Error,  TaskState::Scheduled};
    const std::string paths[] = {"/dl/a.iso", "/DL/A.iso", "/dl/b.iso", "/dl/a.iso.part", ""};
    const std::string hosts[] = {"h.example", "H.Example", "other.example"};
    const std::string remotes[] = {"/pub/a.iso", "/pub/A.iso"};
    for (int step = 0; step < 2000; ++step) {
        const int op = static_cast<int>(random() % 4);
        const TaskState s = states[random() % 6];
        const std::string& path = paths[random() % 5];
        const int row = table.Count() > 0 ? static_cast<int>(random() % table.Count()) : 0;
        if (op == 0 || table.Count() == 0) {
            TaskRecord r;
            r.SetState(s);
            r.saveAs = path;
            r.host = hosts[random() % 3];
            r.remotePath = remotes[random() % 2];
            r.port = step % 5 == 0 ? 8080 : 80;
            r.scheduled = random() % 3 == 0 ? 1 : 0;
            table.Append(r, TaskRow{});
        } else if (op == 1) {
            TaskRecord r = *table.CopyOut(row);
            r.state = step % 97 == 0 ? 12345 : static_cast<std::int32_t>(s);  // also a bogus value
            if (step % 3 == 0) {
                r.saveAs = path;
            }
            if (step % 4 == 0) {
                r.scheduled = r.scheduled != 0 ? 0 : 1;
            }
            TaskTableTestAccess::WriteBack(table, row, r);
        } else if (op == 2) {
            table.SetState(row, s);
        } else {
            table.Remove(row);
        }
        for (TaskState counted : states) {
            int expected = 0;
            for (int r = 0; r < table.Count(); ++r) {
                expected += table.CopyOut(r)->Is(counted);
            }
            ASSERT_EQ(table.CountIn(counted), expected) << "step " << step;
        }
        for (const std::string& p : paths) {
            const bool held = table.FindRow([&p](const TaskRecord& r) { return r.saveAs == p; }) >= 0;
            const bool running = table.FindRow([&p](const TaskRecord& r) {
                return r.Is(TaskState::Running) && EqualsIgnoreCase(r.saveAs, p);
            }) >= 0;
            ASSERT_EQ(table.HoldsSaveAs(p), held) << "step " << step << " " << p;
            ASSERT_EQ(table.RunningSavesTo(p), running) << "step " << step << " " << p;
            // The first holder, also when one task is left out.
            for (const int except : {-1, table.TaskIdAt(0), table.TaskIdAt(row)}) {
                const int first =
                    table.FindRow([&](const TaskRecord& r) { return r.saveAs == p && r.taskId != except; });
                ASSERT_EQ(table.TaskSavingAs(p, except), table.TaskIdAt(first)) << "step " << step << " " << p;
            }
        }
        std::vector<int> scheduled;
        for (int r = 0; r < table.Count(); ++r) {
            if (table.CopyOut(r)->scheduled != 0) {
                scheduled.push_back(table.TaskIdAt(r));
            }
        }
        ASSERT_EQ(table.ScheduledTasks(), scheduled) << "step " << step;
        for (int r = 0; r < table.Count(); r += 7) {
            TaskRecord like = *table.CopyOut(r);
            like.saveAs = FolderOfPath(like.saveAs) + "elsewhere.iso";  // the folder counts, not the name
            const bool fetched = table.FindRow([&like](const TaskRecord& o) {
                return o.Is(TaskState::Running) && o.protocol == like.protocol && o.port == like.port &&
                       o.remotePath == like.remotePath && EqualsIgnoreCase(o.host, like.host) &&
                       FolderOfPath(o.saveAs) == FolderOfPath(like.saveAs);
            }) >= 0;
            ASSERT_EQ(table.RunningFetches(like), fetched) << "step " << step << " row " << r;
        }
    }
}

}  // namespace
}  // namespace dromo
