#pragma once

#include <QHash>
#include <QTableView>
#include <memory>
#include <vector>

#include "base/values/taskid.h"

class QMenu;
class QMimeData;
class QNetworkAccessManager;

namespace dromo {

class TaskListModel;
class TaskFilter;
class TaskSortModel;
struct GlobalOptions;

// The task list: one row per task, the nine columns, the state image and
// file-type icon, grid lines and text colour from the options. Selection
// and the clicked row are the window's; commands get them from here as task
// identifiers, since the rows shown may lag the table's.
class CMainView : public QTableView {
    Q_OBJECT
public:
    CMainView(TaskListModel& model, const GlobalOptions& options, QWidget* parent = nullptr);

    std::vector<TaskId> SelectedTaskIds() const;
    // The task of the last click, right-click or double-click on a row; -1
    // before the first.
    // A task the filter hides is no longer the clicked one.
    TaskId ClickedTaskId() const;
    // Selects exactly the rows of these tasks that are shown.
    void SelectTasks(const std::vector<TaskId>& taskIds);
    // Shows only the rows the filter lets through; the selection keeps only
    // rows that stay in view, so commands never reach a hidden task.
    void SetFilter(const TaskFilter& filter);
    int ShownRowCount() const;
    // Whether the model's row is in view (the filter lets it through).
    bool ShowsRow(int modelRow) const;
    // The optional "File" column, which the heading's menu turns on and off.
    bool FileColumnShown() const;
    void ShowFileColumn(bool shown);
    // The File column before "Target" (the first list of a fresh profile)
    // or right after it.
    void PlaceFileColumn(bool first);
    bool FileColumnFirst() const;
    std::unique_ptr<QMenu> HeadingMenu();
    // The width that shows every shown column, Target at its usual width.
    int WidthForAllColumns() const;
    // Grid lines and the text colour, after the options changed.
    void ApplyAppearance();
    // The style that shows the background image ("" for none): a local
    // image file, or an image URL once it has been fetched, tiled or once
    // at the top left.
    QString BackgroundStyle() const;

    // A text may be dropped when it holds an http, https or ftp URL.
    static bool AcceptsDrop(const QString& text);
    // The text of a drop: plain text, or a list of URLs one per line.
    static QString DroppedText(const QMimeData* data);
    // What a drop does: hands the whole text over when it holds a URL.
    bool HandleDrop(const QMimeData* data);

signals:
    void BackgroundFetched();
    void DoubleClicked(dromo::TaskId taskId);
    // A right-click on a row (true) or on empty space (false), or the
    // keyboard's menu key on the current row.
    void ContextMenuWanted(bool onRow, const QPoint& globalPos, bool fromKeyboard);
    void TextDropped(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    static constexpr int kTargetWidth = 240;  // room for the two pictures beside the URL

    void SetUpColumns();
    // A background image given as a URL is fetched once per run into the
    // user's data folder.
    void FetchBackground(const QString& url);
    TaskId TaskIdOf(const QModelIndex& index) const;
    // Shift+F10 or the menu key: the menu of the current row, below it.
    void ShowMenuFromKeyboard();

    TaskListModel& m_tasks;
    TaskSortModel* m_sorted;  // what the view shows: the tasks, maybe sorted
    const GlobalOptions& m_options;
    TaskId m_clickedTaskId = kNoTask;
    bool m_rowsAdded = false;  // in the flush under way
    QNetworkAccessManager* m_network = nullptr;
    QHash<QString, QString> m_fetched;  // URL -> local copy ("" while fetching)
};

}  // namespace dromo
