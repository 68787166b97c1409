#pragma once

// A person at the main window: clicks on rows and toolbar buttons, keys on
// the active window. Everything goes through the real widgets and actions.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include "gui/mainwindow/cmainframe.h"
#include "gui/mainwindow/cmainview.h"
#include "gui/mainwindow/tasklistmodel.h"
#include "tests/gui/realinput.h"

namespace dromo::test {

// Waits until the list shows what the table holds (the model flushes by
// its own timer, as in the running program).
inline bool WaitForList(TaskListModel& model, int rows)
{
    return QTest::qWaitFor([&] { return model.rowCount() == rows; });
}

inline QPoint RowCentre(CMainView& view, int row)
{
    return view.visualRect(view.model()->index(row, 1)).center();
}

// A click on a row, through the window: the row is selected and the list
// takes the focus, as for a person.
inline void ClickRow(CMainView& view, int row, Qt::KeyboardModifiers modifiers = {})
{
    QWidget* top = view.window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, modifiers,
                      view.viewport()->mapTo(top, RowCentre(view, row)));
}

inline QToolButton* ToolButtonOf(CMainFrame& frame, CommandId id)
{
    auto* bar = frame.findChild<QToolBar*>(QStringLiteral("toolbar"));
    return bar ? qobject_cast<QToolButton*>(bar->widgetForAction(frame.Action(id))) : nullptr;
}

// Clicks a toolbar button; false when there is no such button.
inline bool ClickToolButton(CMainFrame& frame, CommandId id)
{
    QToolButton* button = ToolButtonOf(frame, id);
    if (!button) {
        return false;
    }
    Click(button);
    return true;
}

// Runs `act` on the next modal dialog as soon as it shows.
template <typename Act>
void WhenDialogShows(Act act)
{
    QTimer::singleShot(0, [act] {
        QDialog* dialog = nullptr;
        (void)QTest::qWaitFor([&] {
            dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            return dialog != nullptr;
        });
        if (dialog) {
            act(*dialog);
        }
    });
}

// Runs `pick` on the next popup menu as soon as it is shown.
template <typename Pick>
void WhenMenuShows(Pick pick)
{
    QTimer::singleShot(0, [pick] {
        if (!QTest::qWaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; })) {
            return;
        }
        pick(*qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    });
}

// The texts of a menu's items, "-" for a separator.
inline QStringList MenuTexts(const QMenu& menu)
{
    QStringList texts;
    for (QAction* action : menu.actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

}  // namespace dromo::test
