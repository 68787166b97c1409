#pragma once

#include <QHash>
#include <QTableView>
#include <vector>

class QMimeData;
class QNetworkAccessManager;

namespace dromo {

class TaskListModel;
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

    std::vector<int> SelectedTaskIds() const;
    // The task of the last click, right-click or double-click on a row; -1
    // before the first.
    int ClickedTaskId() const { return m_clickedTaskId; }
    // Selects exactly the rows of these tasks.
    void SelectTasks(const std::vector<int>& taskIds);
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
    void DoubleClicked(int taskId);
    // A right-click on a row (true) or on empty space (false).
    void ContextMenuWanted(bool onRow, const QPoint& globalPos);
    void TextDropped(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // A background image given as a URL is fetched once per run into the
    // user's data folder.
    void FetchBackground(const QString& url);
    int TaskIdOf(const QModelIndex& index) const;

    TaskListModel& m_tasks;
    TaskSortModel* m_sorted;  // what the view shows: the tasks, maybe sorted
    const GlobalOptions& m_options;
    int m_clickedTaskId = -1;
    bool m_rowsAdded = false;  // in the flush under way
    QNetworkAccessManager* m_network = nullptr;
    QHash<QString, QString> m_fetched;  // URL -> local copy ("" while fetching)
};

}  // namespace dromo
