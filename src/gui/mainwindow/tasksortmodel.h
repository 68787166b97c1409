#pragma once

#include <QSortFilterProxyModel>

namespace dromo {

// The order the task list shows: the table's own until a heading is
// clicked, then by that column's values (numbers as numbers, times and
// sizes by value). The task table itself never changes its order.
class TaskSortModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit TaskSortModel(QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

}  // namespace dromo
