#include "gui/mainwindow/tasklistmodel.h"

#include <QSize>
#include <algorithm>

#include "base/tasks/tasktable.h"
#include "base/values/taskstate.h"
#include "base/view/taskrowtip.h"
#include "gui/widgets/artwork.h"
#include "platform/basetexts.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QStringList>

namespace dromo {
namespace {

struct ColumnSpec {
    const char* heading;
    int width;
};

// The classic nine, then the file's name on disk, which the view shows
// only when the user turns it on.
constexpr ColumnSpec kColumns[TaskListModel::kModelColumns] = {
    {QT_TRANSLATE_NOOP("dromo::TaskListModel", "Target"), 100},
    {QT_TRANSLATE_NOOP("dromo::TaskListModel", "Size(KB)"), 90},
    {QT_TRANSLATE_NOOP("dromo::TaskListModel", "Resume"), 50},
    {QT_TRANSLATE_NOOP("dromo::TaskListModel", "Progress"), 60},
    {QT_TRANSLATE_NOOP("dromo::TaskListModel", "Speed"), 65},
    {QT_TRANSLATE_NOOP("dromo::TaskListModel", "Time"), 60},
    {QT_TRANSLATE_NOOP("dromo::TaskListModel", "Est Time"), 60},
    {QT_TRANSLATE_NOOP("dromo::TaskListModel", "Retry"), 50},
    {QT_TRANSLATE_NOOP("dromo::TaskListModel", "Status"), 250},
    {QT_TRANSLATE_NOOP("dromo::TaskListModel", "File"), 160},
};

// The row's texts are base's, in English; the user reads them in his own
// language (the sort and the stored list keep base's).
QString ShownText(const TaskRow& row, int column)
{
    const std::string& text = row.texts[static_cast<std::size_t>(column)];
    switch (column) {
    case kColSize:
    case kColRetry: return BaseTexts::Count(text);
    case kColResume:
    case kColProgress:
    case kColEstTime: return BaseTexts::Shown(text);
    case kColStatus: return BaseTexts::Status(text);
    case kColSpeed: return BaseTexts::Shown(text);  // "KB/s" as the user's language writes it
    default: return QString::fromStdString(text);
    }
}

// A row's tip: its lines are base's ("File: ...", "Failed: " and a status).
QString ShownTip(const std::string& tip)
{
    QStringList lines = QString::fromStdString(tip).split(QLatin1Char('\n'));
    const QString file = QStringLiteral("File: ");
    const QString failed = QStringLiteral("Failed: ");
    for (QString& line : lines) {
        if (line.startsWith(file)) {
            line = TaskListModel::tr("File: %1").arg(line.mid(file.size()));
        } else if (line.startsWith(failed)) {
            line = TaskListModel::tr("Failed: %1").arg(BaseTexts::Status(line.mid(failed.size()).toStdString()));
        } else {
            line = BaseTexts::Status(line.toStdString());
        }
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

TaskListModel::TaskListModel(TaskTable& table, QObject* parent) : QAbstractTableModel(parent), m_table(table)
{
    // Whatever the table holds already (tasks restored before the window).
    auto guard = m_table.Lock();
    for (int row = 0; row < m_table.Count(); ++row) {
        m_rows.push_back(m_table.RowCopy(row));
        m_taskIds.push_back(m_table.TaskIdAt(row));
    }
    // An idle list keeps no timer running: the first change after a flush
    // arms it once, and the changes of the next quarter second ride along.
    m_timer.setSingleShot(true);
    m_timer.setInterval(kFlushMs);
    connect(&m_timer, &QTimer::timeout, this, &TaskListModel::Flush);
}

void TaskListModel::Queue(Event e)
{
    bool first = false;
    {
        std::lock_guard lock(m_mutex);
        first = m_pending.empty();
        m_pending.push_back(e);
    }
    if (first) {
        // Workers queue too; the timer belongs to this object's thread.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_timer.isActive()) {
                    m_timer.start();
                }
            },
            Qt::QueuedConnection);
    }
}

void TaskListModel::RowInserted(int row)
{
    Queue({Event::Insert, row, kAllRowParts});
}

void TaskListModel::RowRemoved(int row)
{
    Queue({Event::Remove, row, 0});
}

void TaskListModel::RowChanged(int row, RowParts parts)
{
    Queue({Event::Change, row, parts});
}

void TaskListModel::StatusTexts(const std::string& pane0, const std::string& pane1, const std::string& pane2)
{
    // Every restored or added task tells the counts again, mostly the same
    // ones (100,000 paused tasks at start-up: "0 tasks is running" each
    // time); the window hears only a change. Told under the lock, so two
    // threads' texts reach the window in the order they were kept here.
    std::lock_guard lock(m_panesMutex);
    if (m_next == nullptr) {
        return;
    }
    if (m_panesTold && m_panes[0] == pane0 && m_panes[1] == pane1 && m_panes[2] == pane2) {
        return;
    }
    m_panes = {pane0, pane1, pane2};
    m_panesTold = true;
    m_next->StatusTexts(pane0, pane1, pane2);
}

void TaskListModel::TrayStateChanged(const TrayState& state)
{
    // Told every second, mostly unchanged while nothing runs; the window
    // hears only a change, and an idle program stays idle.
    std::lock_guard lock(m_panesMutex);
    if (m_next == nullptr || m_tray == state) {
        return;
    }
    m_tray = state;
    m_next->TrayStateChanged(state);
}

// Replays the events on a list of `rows` rows, without touching the model:
// which rows of the resulting list were inserted or changed. Flush replays
// them once more, the same way, to move the model's rows.
std::vector<char> TaskListModel::RowsToCopy(const std::vector<Event>& events, std::size_t rows)
{
    std::vector<char> dirty(rows, 0);
    for (const Event& e : events) {
        if (e.kind == Event::Insert && e.row >= 0 && e.row <= static_cast<int>(dirty.size())) {
            dirty.insert(dirty.begin() + e.row, 1);
        } else if (e.kind == Event::Remove && e.row >= 0 && e.row < static_cast<int>(dirty.size())) {
            dirty.erase(dirty.begin() + e.row);
        } else if (e.kind == Event::Change && e.row >= 0 && e.row < static_cast<int>(dirty.size())) {
            dirty[static_cast<std::size_t>(e.row)] = 1;
        }
    }
    return dirty;
}

void TaskListModel::Flush()
{
    struct Copied {
        int row;
        TaskRow shown;
        TaskId taskId;
    };
    std::vector<Event> events;
    std::vector<Copied> copies;
    {
        // The table lock first, then ours: the same order as a worker that
        // notifies while holding the table lock. Every queued event is taken,
        // so the rows after replaying them line up with the table's now.
        auto guard = m_table.Lock();
        {
            std::lock_guard lock(m_mutex);
            events.swap(m_pending);
        }
        if (events.empty()) {
            return;
        }
        const std::vector<char> dirty = RowsToCopy(events, m_rows.size());
        for (int row = 0; row < static_cast<int>(dirty.size()) && row < m_table.Count(); ++row) {
            if (dirty[static_cast<std::size_t>(row)]) {
                copies.push_back({row, m_table.RowCopy(row), m_table.TaskIdAt(row)});
            }
        }
    }
    // The view hears of the changes with the lock released: whatever it does
    // on a signal (asking for data, repainting) holds up no worker, and a
    // slot that touches the table cannot deadlock against one.
    ApplyInsertsAndRemovals(events);
    for (Copied& copy : copies) {
        m_rows[static_cast<std::size_t>(copy.row)] = std::move(copy.shown);
        m_taskIds[static_cast<std::size_t>(copy.row)] = copy.taskId;
    }
    if (!copies.empty()) {
        emit dataChanged(index(copies.front().row, 0), index(copies.back().row, kModelColumns - 1));
    }
    emit Flushed();
}

// A run of inserts at consecutive rows (a list loaded or handed over) is one
// block to the view, and so is a run of removals at one row (tasks deleted
// from the top down): the view and the sort model above it then do their
// bookkeeping once per block instead of once per row.
void TaskListModel::ApplyInsertsAndRemovals(const std::vector<Event>& events)
{
    const std::size_t count = events.size();
    for (std::size_t i = 0; i < count;) {
        const Event& e = events[i];
        std::size_t run = 1;
        if (e.kind == Event::Insert && e.row >= 0 && e.row <= static_cast<int>(m_rows.size())) {
            while (i + run < count && events[i + run].kind == Event::Insert &&
                   events[i + run].row == e.row + static_cast<int>(run)) {
                ++run;
            }
            const auto at = static_cast<std::ptrdiff_t>(e.row);
            beginInsertRows({}, e.row, e.row + static_cast<int>(run) - 1);
            m_rows.insert(m_rows.begin() + at, run, TaskRow{});
            m_taskIds.insert(m_taskIds.begin() + at, run, kNoTask);
            endInsertRows();
        } else if (e.kind == Event::Remove && e.row >= 0 && e.row < static_cast<int>(m_rows.size())) {
            while (i + run < count && events[i + run].kind == Event::Remove && events[i + run].row == e.row &&
                   static_cast<std::size_t>(e.row) + run < m_rows.size()) {
                ++run;
            }
            const auto at = static_cast<std::ptrdiff_t>(e.row);
            const auto end = at + static_cast<std::ptrdiff_t>(run);
            beginRemoveRows({}, e.row, e.row + static_cast<int>(run) - 1);
            m_rows.erase(m_rows.begin() + at, m_rows.begin() + end);
            m_taskIds.erase(m_taskIds.begin() + at, m_taskIds.begin() + end);
            endRemoveRows();
        }
        i += run;
    }
}

const TaskRow* TaskListModel::RowAt(int row) const
{
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? &m_rows[static_cast<std::size_t>(row)] : nullptr;
}

TaskId TaskListModel::TaskIdAt(int row) const
{
    return row >= 0 && row < static_cast<int>(m_taskIds.size()) ? m_taskIds[static_cast<std::size_t>(row)] : kNoTask;
}

int TaskListModel::RowOfTask(TaskId taskId) const
{
    if (taskId < 0) {
        return -1;
    }
    // The rows hold their tasks in identifier order, as the table does
    // (tasks join only at the end), so a long list is searched by halves;
    // a miss is checked by a plain walk, which also covers a row whose task
    // the next flush has yet to fill in.
    const auto sorted = std::lower_bound(m_taskIds.begin(), m_taskIds.end(), taskId);
    const auto it =
        sorted != m_taskIds.end() && *sorted == taskId ? sorted : std::find(m_taskIds.begin(), m_taskIds.end(), taskId);
    return it == m_taskIds.end() ? -1 : static_cast<int>(it - m_taskIds.begin());
}

QPixmap TaskListModel::RowPicture(int stateImage, int icon)
{
    static QHash<int, QPixmap> cache;  // user-interface thread only
    const int key = stateImage * 100 + icon;
    auto it = cache.find(key);
    if (it == cache.end()) {
        QPixmap picture(34, 16);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.drawPixmap(0, 0, Artwork::StateImage(stateImage));
        p.drawPixmap(18, 0, Artwork::FileType(icon).pixmap(16, 16));
        it = cache.insert(key, picture);
    }
    return *it;
}

int TaskListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TaskListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kModelColumns;
}

QVariant TaskListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size()) || index.column() >= kModelColumns) {
        return {};
    }
    const TaskRow& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == kFileColumn) {
            return QString::fromStdString(TaskRowTip::FileName(row));
        }
        return ShownText(row, index.column());
    case Qt::ToolTipRole: {
        const std::string tip = TaskRowTip::For(row, index.column());
        return tip.empty() ? QVariant() : QVariant(ShownTip(tip));
    }
    case Qt::AccessibleTextRole:
        // A screen reader on the first cell hears what a glance at the row
        // tells: which file, how it stands, how far it got.
        if (index.column() == kColTarget || index.column() == kFileColumn) {  // whichever comes first
            return tr("%1. %2 Progress %3.")
                .arg(QString::fromStdString(TaskRowTip::FileName(row)),
                     BaseTexts::Shown(StateLegendText(row.stateImage)), ShownText(row, kColProgress));
        }
        return data(index, Qt::DisplayRole);
    case Qt::AccessibleDescriptionRole:
        if (index.column() == kColTarget) {
            return QString::fromStdString(TaskRowTip::ReadableUrl(row.texts[kColTarget]));
        }
        return {};
    case Qt::DecorationRole:
        if (index.column() == 0) {
            return RowPicture(row.stateImage, row.icon);
        }
        return {};
    case StateImageRole: return row.stateImage;
    case FileIconRole: return row.icon;
    default: return {};
    }
}

QVariant TaskListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kModelColumns) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return tr(kColumns[section].heading);
    }
    if (role == Qt::SizeHintRole) {
        return QSize(kColumns[section].width, 20);
    }
    return {};
}

}  // namespace dromo
