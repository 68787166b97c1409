#pragma once

#include <QWidget>

#include "base/view/taskfilter.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace dromo {

// The row above the task list that narrows it: a text field (Ctrl+F in the
// window), the state choice beside it, and how many tasks are shown while
// the filter hides any, so a list kept filtered from the last run never
// passes for a list that lost its tasks.
class TaskFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit TaskFilterBar(QWidget* parent = nullptr);

    TaskFilter Filter() const;
    // Shows a filter (the stored one at start) without announcing it.
    void SetFilter(const TaskFilter& filter);
    // The text field takes the focus with its text selected, to type over.
    void FocusText();
    void ShowCounts(int shown, int total);
    QLineEdit& TextField() { return *m_text; }
    QComboBox& StateBox() { return *m_state; }
    QString CountText() const;

signals:
    void FilterChanged(const TaskFilter& filter);
    // Return or Down in the text field: on to the list.
    void ListWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_text;
    QComboBox* m_state;
    QLabel* m_count;
};

}  // namespace dromo
