#include "gui/mainwindow/tasklistmodel.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QSize>
#include <QTest>

#include <atomic>
#include <random>
#include <thread>

#include "base/tasks/tasktable.h"
#include "base/view/statuspanes.h"
#include "tests/base/fakes/tasktableaccess.h"

namespace dromo {
namespace {

TaskRow Row(const std::string& target)
{
    TaskRow row;
    row.texts[kColTarget] = target;
    row.stateImage = kImageQueued;
    row.icon = 1;
    return row;
}

// The model's rows must be exactly the table's once everything is flushed.
void ExpectMirror(const TaskListModel& model, const TaskTable& table)
{
    auto guard = table.Lock();
    ASSERT_EQ(model.rowCount(), table.Count());
    for (int row = 0; row < table.Count(); ++row) {
        const TaskRow expected = table.RowCopy(row);
        for (int col = 0; col < kColumnCount; ++col) {
            ASSERT_EQ(model.data(model.index(row, col), Qt::DisplayRole).toString().toStdString(),
                      expected.texts[static_cast<std::size_t>(col)])
                << row << "," << col;
        }
        ASSERT_EQ(model.data(model.index(row, 0), TaskListModel::StateImageRole).toInt(), expected.stateImage);
        ASSERT_EQ(model.data(model.index(row, 0), TaskListModel::FileIconRole).toInt(), expected.icon);
    }
}

TEST(TaskListModel, HeadingsAndRowsAlreadyThere)
{
    TaskTable table;
    table.Append(TaskRecord{}, Row("http://h/before"));
    TaskListModel model(table);
    table.SetObserver(&model);
    // The classic nine, then the file's name on disk (shown when turned on).
    EXPECT_EQ(model.columnCount(), 10);
    const char* headings[] = {"Target", "Size(KB)", "Resume", "Progress", "Speed",
                              "Time",   "Est Time", "Retry",  "Status",   "File"};
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headings[c]);
    }
    EXPECT_EQ(model.headerData(8, Qt::Horizontal, Qt::SizeHintRole).toSize().width(), 250);
    ExpectMirror(model, table);
}

TEST(TaskListModel, ChangesWaitForTheFlushAndComeInOrder)
{
    TaskTable table;
    TaskListModel model(table);
    table.SetObserver(&model);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    for (int i = 0; i < 3; ++i) {
        table.Append(TaskRecord{}, Row("http://h/" + std::to_string(i)));
    }
    table.SetText(1, kColStatus, "working");
    table.Remove(0);
    EXPECT_EQ(model.rowCount(), 0);  // nothing until the flush
    model.Flush();
    // The three appends reach the view as one block of rows.
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 2);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(changed.count(), 1);  // one coalesced signal
    ExpectMirror(model, table);
    EXPECT_EQ(model.data(model.index(0, kColStatus), Qt::DisplayRole).toString(), "working");

    model.Flush();  // nothing queued: nothing signalled
    EXPECT_EQ(changed.count(), 1);
}

// What one flush tells the view after a list of six: runs of inserts at
// consecutive rows and of removals at one row come as one block each;
// anything else keeps its own signal, and the rows end up as the table's.
TEST(TaskListModel, RunsOfInsertsAndRemovalsReachTheViewAsBlocks)
{
    struct Case {
        const char* name;
        std::vector<int> removeRows;  // in order, then `appends` appended
        int appends;
        std::vector<std::pair<int, int>> removedBlocks;
        std::vector<std::pair<int, int>> insertedBlocks;
    };
    const Case cases[] = {
        {"three from one row", {2, 2, 2}, 0, {{2, 4}}, {}},
        {"rows apart", {4, 1}, 0, {{4, 4}, {1, 1}}, {}},
        {"the last rows upwards", {5, 4}, 0, {{5, 5}, {4, 4}}, {}},
        {"removals, then appends", {0, 0}, 3, {{0, 1}}, {{4, 6}}},
        {"appends only", {}, 4, {}, {{6, 9}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TaskTable table;
        for (int i = 0; i < 6; ++i) {
            table.Append(TaskRecord{}, Row("http://h/" + std::to_string(i)));
        }
        TaskListModel model(table);
        table.SetObserver(&model);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        for (int row : c.removeRows) {
            ASSERT_TRUE(table.Remove(row));
        }
        for (int i = 0; i < c.appends; ++i) {
            table.Append(TaskRecord{}, Row("http://h/new" + std::to_string(i)));
        }
        model.Flush();
        auto blocks = [](const QSignalSpy& spy) {
            std::vector<std::pair<int, int>> out;
            for (const QList<QVariant>& signal : spy) {
                out.emplace_back(signal[1].toInt(), signal[2].toInt());
            }
            return out;
        };
        EXPECT_EQ(blocks(removed), c.removedBlocks);
        EXPECT_EQ(blocks(inserted), c.insertedBlocks);
        ExpectMirror(model, table);
        for (int row = 0; row < model.rowCount(); ++row) {
            EXPECT_EQ(model.TaskIdAt(row), table.TaskIdAt(row)) << row;
        }
    }
}

// Collects the status texts the model passes on.
class PaneTexts : public TaskListObserver {
public:
    std::vector<std::string> told;

    void RowInserted(int) override {}
    void RowRemoved(int) override {}
    void RowChanged(int, RowParts) override {}
    void StatusTexts(const std::string& p0, const std::string& p1, const std::string& p2) override
    {
        told.push_back(p0 + "|" + p1 + "|" + p2);
    }
    void TrayStateChanged(const TrayState& state) override { trays.push_back(state); }
    std::vector<TrayState> trays;
};

// The counts are told once per task added or restored, mostly unchanged; the
// window hears each change once and nothing else, so 100,000 paused tasks
// restored at start-up cost it one update, not 100,000.
TEST(TaskListModel, StatusTextsReachTheWindowOnlyWhenTheyChange)
{
    struct Case {
        const char* name;
        int queued;  // of the tasks restored, the first ones queued, the others paused
        int paused;
        std::vector<std::string> told;
    };
    const Case cases[] = {
        {"all paused", 0, 1000, {"|0 tasks is running|0 tasks is in queue"}},
        {"two queued, then paused",
         2,
         500,
         {"|0 tasks is running|1 tasks is in queue", "|0 tasks is running|2 tasks is in queue"}},
        {"nothing restored", 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TaskTable table;
        TaskListModel model(table);
        PaneTexts window;
        model.StatusTexts("", "not passed on", "before the window listens");
        model.SetForwarding(&window);
        for (int i = 0; i < c.queued + c.paused; ++i) {
            TaskRecord record;
            record.SetState(i < c.queued ? TaskState::Queued : TaskState::Paused);
            table.Append(record, Row("http://h/" + std::to_string(i)));
            UpdateStatusPanes(table, model);
        }
        EXPECT_EQ(window.told, c.told);
    }
}

// The refresh tells the tray's state every second; the window hears only a
// change, so an idle program repaints and translates nothing.
TEST(TaskListModel, TrayStatesReachTheWindowOnlyWhenTheyChange)
{
    const TrayState idle{128, "Dromo"};
    const TrayState busy{209, "Speed: 12.0 KB/s"};
    const TrayState faster{209, "Speed: 80.5 KB/s"};
    struct Case {
        const char* name;
        std::vector<TrayState> ticks;
        std::vector<TrayState> told;
    };
    const Case cases[] = {
        {"idle for a minute", std::vector<TrayState>(60, idle), {idle}},
        {"a download starts and ends", {idle, idle, busy, busy, faster, idle, idle}, {idle, busy, faster, idle}},
        {"only the tip moves", {busy, faster, busy}, {busy, faster, busy}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TaskTable table;
        TaskListModel model(table);
        model.TrayStateChanged(busy);  // before the window listens: not told, not remembered
        PaneTexts window;
        model.SetForwarding(&window);
        for (const TrayState& tick : c.ticks) {
            model.TrayStateChanged(tick);
        }
        EXPECT_EQ(window.trays, c.told);
    }
}

// No timer runs for an idle list: a change a worker makes arms the flush,
// and the rows reach the view through the event loop alone; a burst of
// changes rides on a few flushes, not one per change.
TEST(TaskListModel, AWorkersChangesReachTheViewWithoutAPeriodicFlush)
{
    TaskTable table;
    TaskListModel model(table);
    table.SetObserver(&model);
    QSignalSpy flushed(&model, &TaskListModel::Flushed);
    for (int round = 0; round < 3; ++round) {
        std::thread worker([&] {
            for (int i = 0; i < 200; ++i) {
                auto guard = table.Lock();
                table.Append(TaskRecord{}, Row("http://h/" + std::to_string(round) + "/" + std::to_string(i)));
            }
        });
        worker.join();
        ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == table.Count(); }, 5000)) << round;
        ExpectMirror(model, table);
        QTest::qWait(2 * TaskListModel::kFlushMs);  // idle between rounds
    }
    EXPECT_GE(flushed.count(), 3);
    EXPECT_LE(flushed.count(), 6);
}

// Whatever the view does on a signal happens with the table lock released:
// another thread (a worker) can take it from inside every slot.
TEST(TaskListModel, SignalsTheViewWithTheTableLockReleased)
{
    TaskTable table;
    TaskListModel model(table);
    table.SetObserver(&model);
    std::vector<std::string> lockedIn;
    auto probe = [&](const char* signal) {
        bool taken = false;
        std::thread other([&] {
            taken = TaskTableTestAccess::Mutex(table).try_lock();
            if (taken) {
                TaskTableTestAccess::Mutex(table).unlock();
            }
        });
        other.join();
        if (!taken) {
            lockedIn.push_back(signal);
        }
    };
    int heard = 0;
    auto count = [&](const char* signal) {
        return [&, signal] {
            ++heard;
            probe(signal);
        };
    };
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, count("rowsAboutToBeInserted"));
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, count("rowsInserted"));
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, count("rowsAboutToBeRemoved"));
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, count("rowsRemoved"));
    QObject::connect(&model, &QAbstractItemModel::dataChanged, count("dataChanged"));
    QObject::connect(&model, &TaskListModel::Flushed, count("Flushed"));

    table.Append(TaskRecord{}, Row("http://h/0"));
    table.Append(TaskRecord{}, Row("http://h/1"));
    table.SetText(0, kColStatus, "working");
    table.Remove(1);
    model.Flush();
    EXPECT_EQ(heard, 2 + 2 + 1 + 1);  // the two appends as one block, the removal, the change, the flush
    EXPECT_EQ(lockedIn, std::vector<std::string>{});
    ExpectMirror(model, table);
}

TEST(TaskListModel, AWorkerChangingTheTableWhileTheWindowFlushes)
{
    TaskTable table;
    TaskListModel model(table);
    table.SetObserver(&model);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        std::mt19937 random(7);
        for (int step = 0; step < 3000; ++step) {
            auto guard = table.Lock();
            const int count = table.Count();
            const int op = static_cast<int>(random() % 3);
            if (op == 0 || count == 0) {
                table.Append(TaskRecord{}, Row("http://h/" + std::to_string(step)));
            } else if (op == 1) {
                table.SetText(static_cast<int>(random() % count), kColSize, std::to_string(step));
            } else {
                table.Remove(static_cast<int>(random() % count));
            }
        }
        done = true;
    });
    while (!done) {
        model.Flush();
    }
    worker.join();
    model.Flush();
    ExpectMirror(model, table);
}

// Past the old 16-bit end of the identifiers: the window's rows still name
// their tasks, and a task's row is found by its identifier, whether the rows
// were there before the model (a restored list) or came through a flush,
// after deletions above them; a change found through the identifier shows in
// that task's row.
TEST(TaskListModel, RowsAndTasksPast32767StayPaired)
{
    constexpr int kTasks = 40000;
    struct Case {
        const char* name;
        int before;                   // appended before the model exists
        std::vector<int> removeRows;  // then removed, rows as they are at the time
    };
    const Case cases[] = {
        {"restored, then deleted in the middle", kTasks, {100, 32767, 32767, 39000}},
        {"added through flushes", 20000, {0, 20000, 35000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TaskTable table;
        for (int i = 0; i < c.before; ++i) {
            table.Append(TaskRecord{}, Row("http://h/" + std::to_string(i)));
        }
        TaskListModel model(table);
        table.SetObserver(&model);
        for (int i = c.before; i < kTasks; ++i) {
            table.Append(TaskRecord{}, Row("http://h/" + std::to_string(i)));
        }
        model.Flush();
        std::vector<TaskId> removed;
        for (int row : c.removeRows) {
            removed.push_back(table.TaskIdAt(row));
            ASSERT_TRUE(table.Remove(row));
        }
        const TaskId last = kTasks - 1;
        table.SetText(table.RowOf(last), kColStatus, "last one working");
        model.Flush();

        ASSERT_EQ(model.rowCount(), kTasks - static_cast<int>(c.removeRows.size()));
        for (int row = 0; row < model.rowCount(); ++row) {
            const TaskId id = model.TaskIdAt(row);
            ASSERT_EQ(id, table.TaskIdAt(row)) << row;
            ASSERT_EQ(model.RowOfTask(id), row) << id;
        }
        for (TaskId id : removed) {
            EXPECT_EQ(model.RowOfTask(id), -1) << id;
        }
        EXPECT_EQ(model.RowOfTask(kTasks), -1) << "never handed out";
        const int lastRow = model.RowOfTask(last);
        EXPECT_EQ(lastRow, model.rowCount() - 1);
        EXPECT_EQ(model.data(model.index(lastRow, kColStatus), Qt::DisplayRole).toString(), "last one working");
        EXPECT_EQ(model.data(model.index(lastRow, kColTarget), Qt::DisplayRole).toString(),
                  QStringLiteral("http://h/%1").arg(last));
    }
}

}  // namespace
}  // namespace dromo
