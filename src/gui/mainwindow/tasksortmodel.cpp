#include "gui/mainwindow/tasksortmodel.h"

#include "base/mainwindow/columnsort.h"

namespace dromo {

TaskSortModel::TaskSortModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
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

}  // namespace dromo
