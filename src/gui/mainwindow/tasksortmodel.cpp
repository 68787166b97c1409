#include "gui/mainwindow/tasksortmodel.h"

#include "base/view/columnsort.h"
#include "gui/mainwindow/tasklistmodel.h"

namespace dromo {

TaskSortModel::TaskSortModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    // A row that changes (a task that finishes, a status that now holds the
    // text) is shown or hidden at once, and sorted in.
    setDynamicSortFilter(true);
}

void TaskSortModel::SetFilter(const TaskFilter& filter)
{
    m_filter = filter;
    invalidateFilter();
}

bool TaskSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const std::string a = left.data(Qt::DisplayRole).toString().toStdString();
    const std::string b = right.data(Qt::DisplayRole).toString().toStdString();
    if (ColumnSort::Less(left.column(), a, b)) {
        return true;
    }
    if (ColumnSort::Less(left.column(), b, a)) {
        return false;
    }
    return left.row() < right.row();  // equal texts keep the table's order
}

bool TaskSortModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (!m_filter.Active() || sourceParent.isValid()) {
        return true;
    }
    const auto* tasks = qobject_cast<const TaskListModel*>(sourceModel());
    const TaskRow* row = tasks ? tasks->RowAt(sourceRow) : nullptr;
    return row == nullptr || m_filter.Shows(*row);
}

}  // namespace dromo
