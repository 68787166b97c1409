#include "gui/mainwindow/tasklistmodel.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QSize>

#include <atomic>
#include <random>
#include <thread>

#include "base/tasks/tasktable.h"
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
    EXPECT_EQ(inserted.count(), 3);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(changed.count(), 1);  // one coalesced signal
    ExpectMirror(model, table);
    EXPECT_EQ(model.data(model.index(0, kColStatus), Qt::DisplayRole).toString(), "working");

    model.Flush();  // nothing queued: nothing signalled
    EXPECT_EQ(changed.count(), 1);
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
    EXPECT_EQ(heard, 2 * 2 + 2 + 1 + 1);
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

}  // namespace
}  // namespace dromo
