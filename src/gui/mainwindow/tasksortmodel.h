#pragma once

#include <QSortFilterProxyModel>

#include "base/view/taskfilter.h"

namespace dromo {

// What the task list shows: the table's own order until a heading is
// clicked, then by that column's values (numbers as numbers, times and
// sizes by value); only the rows the filter lets through. The task table
// itself never changes its order or its tasks.
class TaskSortModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit TaskSortModel(QObject* parent = nullptr);

    const TaskFilter& Filter() const { return m_filter; }
    void SetFilter(const TaskFilter& filter);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    TaskFilter m_filter;
};

}  // namespace dromo
