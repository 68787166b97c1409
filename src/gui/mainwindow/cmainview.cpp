#include "gui/mainwindow/cmainview.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QScrollBar>
#include <QUrl>
#include <algorithm>
#include <optional>

#include "base/values/globaloptions.h"
#include "base/values/taskrow.h"
#include "base/view/textcolortable.h"
#include "gui/mainwindow/progressdelegate.h"
#include "gui/mainwindow/tasklistmodel.h"
#include "gui/mainwindow/tasksortmodel.h"
#include "platform/platformpaths.h"

namespace dromo {

CMainView::CMainView(TaskListModel& model, const GlobalOptions& options, QWidget* parent)
    : QTableView(parent), m_tasks(model), m_sorted(new TaskSortModel(this)), m_options(options)
{
    m_sorted->setSourceModel(&model);
    setModel(m_sorted);
    // Unsorted (the table's order) until a heading is clicked; a third
    // click on the same heading goes back to it.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    horizontalHeader()->setSortIndicatorClearable(true);
    setSortingEnabled(true);
    setItemDelegateForColumn(kColProgress, new ProgressDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A new task is shown where it landed, sorted or not: once per flush,
    // for the last one inserted (a list of thousands arrives in one flush).
    // (Tasks are appended, so it is the list's last row.)
    connect(&model, &QAbstractItemModel::rowsInserted, this, [this] { m_rowsAdded = true; });
    connect(&model, &TaskListModel::Flushed, this, [this] {
        if (m_rowsAdded) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_tasks.rowCount() > 0) {
                        // The new rows laid out first: before the scroll range
                        // knows the new row, a scroll stops at the old end, and
                        // the new row sits half under the bottom edge.
                        executeDelayedItemsLayout();
                        scrollTo(m_sorted->mapFromSource(m_tasks.index(m_tasks.rowCount() - 1, 0)));
                    }
                },
                Qt::QueuedConnection);
        }
        m_rowsAdded = false;
    });
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab moves on to the next control, as everywhere else in the window;
    // the arrow keys move between rows.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setIconSize(QSize(34, 16));
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    SetUpColumns();
    ApplyAppearance();
}

void CMainView::SetUpColumns()
{
    QHeaderView* header = horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // What each column typically shows, so its text is read whole: a big
    // file's size, a fast speed, a status line with the time before it.
    const char* const typical[TaskListModel::kModelColumns] = {"",
                                                               "654321 of 654321",
                                                               "N/A",
                                                               "100%",
                                                               "12345.6KB/s",
                                                               "99:59:59",
                                                               "99:59:59",
                                                               "10 of 10",
                                                               "12:34:56 HTTP/1.1 206 Partial Content",
                                                               "debian-12.5.0-amd64-netinst.iso"};
    const QFontMetrics cells = fontMetrics();
    for (int c = 0; c < TaskListModel::kModelColumns; ++c) {
        // The classic widths, or wider where the heading (with room for the
        // sort arrow) or the typical text would be cut.
        const QString heading = m_tasks.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        setColumnWidth(c, std::max({m_tasks.headerData(c, Qt::Horizontal, Qt::SizeHintRole).toSize().width(),
                                    header->fontMetrics().horizontalAdvance(heading) + 28,
                                    cells.horizontalAdvance(QString::fromLatin1(typical[c])) + 16}));
    }
    setColumnWidth(kColTarget, kTargetWidth);
    // The URL takes whatever the window has to spare; the other columns keep
    // their widths, so the status stays in view beside it.
    header->setStretchLastSection(false);
    header->setSectionResizeMode(kColTarget, QHeaderView::Stretch);
    // The file's name, when the user turns it on, right beside the URL.
    PlaceFileColumn(false);
    setColumnHidden(TaskListModel::kFileColumn, true);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::customContextMenuRequested, this,
            [this](const QPoint& pos) { HeadingMenu()->exec(horizontalHeader()->viewport()->mapToGlobal(pos)); });
}

std::unique_ptr<QMenu> CMainView::HeadingMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    QAction* file = menu->addAction(tr("File"));
    file->setCheckable(true);
    file->setChecked(FileColumnShown());
    connect(file, &QAction::toggled, this, &CMainView::ShowFileColumn);
    return menu;
}

bool CMainView::FileColumnShown() const
{
    return !isColumnHidden(TaskListModel::kFileColumn);
}

void CMainView::ShowFileColumn(bool shown)
{
    setColumnHidden(TaskListModel::kFileColumn, !shown);
}

void CMainView::PlaceFileColumn(bool first)
{
    QHeaderView* header = horizontalHeader();
    const int target = header->visualIndex(kColTarget);
    header->moveSection(header->visualIndex(TaskListModel::kFileColumn), first ? target : target + 1);
}

bool CMainView::FileColumnFirst() const
{
    const QHeaderView* header = horizontalHeader();
    return header->visualIndex(TaskListModel::kFileColumn) < header->visualIndex(kColTarget);
}

void CMainView::SetFilter(const TaskFilter& filter)
{
    m_sorted->SetFilter(filter);
}

bool CMainView::ShowsRow(int modelRow) const
{
    return m_sorted->mapFromSource(m_sorted->sourceModel()->index(modelRow, 0)).isValid();
}

int CMainView::ShownRowCount() const
{
    return m_sorted->rowCount();
}

int CMainView::WidthForAllColumns() const
{
    int width = 0;
    for (int c = 0; c < TaskListModel::kModelColumns; ++c) {
        if (!isColumnHidden(c)) {
            width += c == kColTarget ? kTargetWidth : columnWidth(c);
        }
    }
    return width + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}

void CMainView::ApplyAppearance()
{
    setShowGrid(m_options.showGridLine != 0);
    if (const std::optional<TextColor> c = ListTextColor(m_options.textColor, m_options.textColorChosen != 0)) {
        QPalette p = palette();
        p.setColor(QPalette::Text, QColor(c->red, c->green, c->blue));
        setPalette(p);
    } else {
        // Nothing of our own: the list follows the desktop's palette, also
        // when the desktop switches between light and dark.
        setPalette(QPalette());
    }
    const QString path = QString::fromStdString(m_options.backgroundImagePath);
    const QUrl url(path);
    if (m_options.backgroundType != 0 && !url.isLocalFile() && !url.scheme().isEmpty() && url.scheme().size() > 1 &&
        !m_fetched.contains(path)) {
        FetchBackground(path);
    }
    setStyleSheet(BackgroundStyle());
}

void CMainView::FetchBackground(const QString& url)
{
    if (!m_network) {
        m_network = new QNetworkAccessManager(this);
    }
    m_fetched.insert(url, QString());  // once per run, even when it fails
    QNetworkReply* reply = m_network->get(QNetworkRequest(QUrl(url)));
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            return;  // no image: the plain background stays
        }
        const QString folder = QString::fromStdString(PlatformPaths::UserDataFolder());
        QDir().mkpath(folder);
        const QString suffix = QFileInfo(QUrl(url).path()).suffix();
        QFile file(folder + QStringLiteral("background") + (suffix.isEmpty() ? QString() : "." + suffix));
        if (!file.open(QIODevice::WriteOnly) || file.write(reply->readAll()) < 0) {
            return;
        }
        file.close();
        m_fetched.insert(url, file.fileName());
        setStyleSheet(BackgroundStyle());
        emit BackgroundFetched();
    });
}

QString CMainView::BackgroundStyle() const
{
    QString path = QString::fromStdString(m_options.backgroundImagePath);
    const QUrl url(path);
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
        url.scheme() == QLatin1String("ftp")) {
        path = m_fetched.value(path);
    }
    if (m_options.backgroundType == 0 || path.isEmpty() || !QFileInfo(path).isFile()) {
        return {};
    }
    QString quoted = path;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QStringLiteral(
               "QTableView { background-image: url(\"%1\"); background-repeat: %2; "
               "background-position: top left; background-attachment: fixed; }")
        .arg(quoted, m_options.backgroundImageTiled ? QStringLiteral("repeat") : QStringLiteral("no-repeat"));
}

TaskId CMainView::TaskIdOf(const QModelIndex& index) const
{
    return index.isValid() ? m_tasks.TaskIdAt(m_sorted->mapToSource(index).row()) : kNoTask;
}

TaskId CMainView::ClickedTaskId() const
{
    const int row = m_tasks.RowOfTask(m_clickedTaskId);
    return row >= 0 && !m_sorted->mapFromSource(m_tasks.index(row, 0)).isValid() ? kNoTask : m_clickedTaskId;
}

std::vector<TaskId> CMainView::SelectedTaskIds() const
{
    std::vector<TaskId> taskIds;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        const TaskId taskId = TaskIdOf(index);
        if (taskId >= 0) {
            taskIds.push_back(taskId);
        }
    }
    return taskIds;
}

void CMainView::SelectTasks(const std::vector<TaskId>& taskIds)
{
    QItemSelection selection;
    for (TaskId taskId : taskIds) {
        const QModelIndex shown = m_sorted->mapFromSource(m_tasks.index(m_tasks.RowOfTask(taskId), 0));
        if (shown.isValid()) {
            selection.select(shown, shown.siblingAtColumn(model()->columnCount() - 1));
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CMainView::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid()) {
        m_clickedTaskId = TaskIdOf(index);  // a click on empty space keeps the old one
    }
    QTableView::mousePressEvent(event);
}

void CMainView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid()) {
        m_clickedTaskId = TaskIdOf(index);
        emit DoubleClicked(m_clickedTaskId);
    }
}

// The keyboard's way to what a person does with the mouse: a row the
// keys move to becomes the clicked row, Return on it is a double-click
// (a finished file opens), Shift+F10 opens its menu.
void CMainView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && current.isValid()) {
        m_clickedTaskId = TaskIdOf(current);
        emit DoubleClicked(m_clickedTaskId);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        ShowMenuFromKeyboard();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
    if (currentIndex().isValid() && currentIndex() != current) {
        m_clickedTaskId = TaskIdOf(currentIndex());
    }
}

// A list of downloads is read by its rows: Home and End go to the first and
// the last task, as in any list, where a table would go along the row. The
// column stays, as with Up and Down; Left and Right go from cell to cell for
// a screen reader. With Shift and Ctrl they select as Up and Down do.
QModelIndex CMainView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const int rows = model() != nullptr ? model()->rowCount(rootIndex()) : 0;
    if ((action != MoveHome && action != MoveEnd) || rows == 0) {
        return QTableView::moveCursor(action, modifiers);
    }
    int column = currentIndex().isValid() ? currentIndex().column() : -1;
    for (int visual = 0; column < 0 && visual < horizontalHeader()->count(); ++visual) {
        const int logical = horizontalHeader()->logicalIndex(visual);
        if (!isColumnHidden(logical)) {
            column = logical;
        }
    }
    if (column < 0) {
        return QTableView::moveCursor(action, modifiers);
    }
    const int row = verticalHeader()->logicalIndex(action == MoveHome ? 0 : rows - 1);
    return model()->index(row, column, rootIndex());
}

void CMainView::ShowMenuFromKeyboard()
{
    const QModelIndex index = currentIndex();
    if (!index.isValid()) {
        emit ContextMenuWanted(false, viewport()->mapToGlobal(QPoint(0, 0)), true);
        return;
    }
    m_clickedTaskId = TaskIdOf(index);
    if (!selectionModel()->isRowSelected(index.row(), {})) {
        SelectTasks({m_clickedTaskId});
    }
    scrollTo(index);
    const QRect row = visualRect(index);
    emit ContextMenuWanted(true, viewport()->mapToGlobal(QPoint(row.left() + row.height(), row.bottom())), true);
}

void CMainView::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        ShowMenuFromKeyboard();  // the menu key: at the current row, wherever the pointer is
        return;
    }
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid()) {
        m_clickedTaskId = TaskIdOf(index);
        if (!selectionModel()->isRowSelected(index.row(), {})) {
            SelectTasks({m_clickedTaskId});
        }
    }
    emit ContextMenuWanted(index.isValid(), event->globalPos(), false);
}

QString CMainView::DroppedText(const QMimeData* data)
{
    if (data->hasText()) {
        return data->text();
    }
    if (data->hasUrls()) {
        QStringList urls;
        for (const QUrl& url : data->urls()) {
            urls << url.toString();
        }
        return urls.join(QLatin1Char('\n'));
    }
    return {};
}

bool CMainView::AcceptsDrop(const QString& text)
{
    return text.contains(QLatin1String("http://")) || text.contains(QLatin1String("ftp://")) ||
           text.contains(QLatin1String("https://")) || text.contains(QLatin1String("ftps://"));
}

void CMainView::dragEnterEvent(QDragEnterEvent* event)
{
    if (AcceptsDrop(DroppedText(event->mimeData()))) {
        event->setDropAction(Qt::LinkAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainView::dragMoveEvent(QDragMoveEvent* event)
{
    if (AcceptsDrop(DroppedText(event->mimeData()))) {
        event->setDropAction(Qt::LinkAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainView::dropEvent(QDropEvent* event)
{
    if (HandleDrop(event->mimeData())) {
        event->setDropAction(Qt::LinkAction);
        event->accept();
    } else {
        event->ignore();
    }
}

bool CMainView::HandleDrop(const QMimeData* data)
{
    const QString text = DroppedText(data);
    if (!AcceptsDrop(text)) {
        return false;
    }
    emit TextDropped(text);  // the whole text, not only the URL in it
    return true;
}

}  // namespace dromo
