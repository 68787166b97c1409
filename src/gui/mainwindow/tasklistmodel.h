#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QTimer>
#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/ports/tasklistobserver.h"
#include "base/values/taskid.h"
#include "base/values/taskrow.h"
#include "base/view/taskrowtip.h"

namespace dromo {

class TaskTable;

// The task list as a Qt model. Base tells it of changes from any thread
// (with the task-table lock held); it only queues them. On the
// user-interface thread, a few times a second, it replays the queue in
// order against its own copy of the rows, copies the changed rows out of the
// table under the lock, and signals the view. So a worker never waits for
// the window, and the window holds the lock only to copy.
class TaskListModel : public QAbstractTableModel, public TaskListObserver {
    Q_OBJECT
public:
    enum Role { StateImageRole = Qt::UserRole + 1, FileIconRole };
    // The classic nine columns, then "File", the name on disk.
    static constexpr int kFileColumn = TaskRowTip::kFileColumn;
    static constexpr int kModelColumns = kFileColumn + 1;

    explicit TaskListModel(TaskTable& table, QObject* parent = nullptr);

    // Applies what was queued; the timer calls it, tests may too.
    void Flush();
    // The task shown in a row of this model (-1 for none), and the row that
    // shows a task (-1 when it is not shown). These follow the rows as the
    // window shows them, which may lag the table by one flush.
    TaskId TaskIdAt(int row) const;
    // The row as shown (nothing for no such row), for the view's filter.
    const TaskRow* RowAt(int row) const;
    int RowOfTask(TaskId taskId) const;
    // Status-bar texts and tray state go to whoever listens.
    void SetForwarding(TaskListObserver* next) { m_next = next; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void RowInserted(int row) override;
    void RowRemoved(int row) override;
    void RowChanged(int row, RowParts parts) override;
    void StatusTexts(const std::string& pane0, const std::string& pane1, const std::string& pane2) override;
    void TrayStateChanged(const TrayState& state) override;

    static constexpr int kFlushMs = 250;

signals:
    // After a flush that applied changes: rows came, went or changed.
    void Flushed();

public:
    // The state image beside the file-type icon, as the first column shows them.
    static QPixmap RowPicture(int stateImage, int icon);

private:
    struct Event {
        enum Kind { Insert, Remove, Change } kind;
        int row;
        RowParts parts;
    };
    void Queue(Event e);
    // Moves the rows as the queued inserts and removals did, in order.
    void ApplyInsertsAndRemovals(const std::vector<Event>& events);
    static std::vector<char> RowsToCopy(const std::vector<Event>& events, std::size_t rows);

    TaskTable& m_table;
    TaskListObserver* m_next = nullptr;
    std::mutex m_mutex;
    std::vector<Event> m_pending;   // guarded by m_mutex
    std::vector<TaskRow> m_rows;    // user-interface thread only
    std::vector<TaskId> m_taskIds;  // the task of each row, same thread
    std::mutex m_panesMutex;        // any thread tells the status texts
    std::array<std::string, 3> m_panes;
    bool m_panesTold = false;
    std::optional<TrayState> m_tray;  // the last one told, under m_panesMutex
    QTimer m_timer;
};

}  // namespace dromo
