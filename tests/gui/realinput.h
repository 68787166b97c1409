#pragma once

// A person's input for the GUI tests. A click goes in through the window,
// as the window system delivers it: to whatever widget is under the pointer,
// which may take the focus. Keys go to the widget that really has the focus
// (QApplication::focusWidget()), never straight into an inner widget, so a
// key a person's keyboard could not reach there does not reach it here.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace dromo::test {

// Shows a top-level window and makes it the active one, as a person's click
// on it would: only the active window's widgets get the keys.
inline bool ShowActive(QWidget& window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// A left click at `pos` of `widget` (its centre when not given), delivered
// through its window. Returns the widget that has the focus afterwards.
inline QWidget* Click(QWidget* widget, QPoint pos = QPoint(-1, -1))
{
    QWidget* top = widget->window();
    const QPoint local = pos == QPoint(-1, -1) ? widget->rect().center() : pos;
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, local));
    return QApplication::focusWidget();
}

// A click on a check box or radio button: on its mark, where a person
// aims (its middle may lie beyond its text, which does not take clicks).
inline QWidget* ClickMark(QWidget* button)
{
    return Click(button, QPoint(8, button->height() / 2));
}

// Keys pressed on the keyboard: they reach the focus widget, wherever that is.
inline void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
        ADD_FAILURE() << "a key pressed with no widget focused";
        return;
    }
    QTest::keyClick(focus, key, modifiers);
}

inline void Type(const QString& text)
{
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
        ADD_FAILURE() << "text typed with no widget focused";
        return;
    }
    QTest::keyClicks(focus, text);
}

// A field clicked, its text selected with the keyboard, rubbed out and
// typed over. Returns the widget the click gave the focus.
inline QWidget* TypeOver(QWidget* field, const QString& text)
{
    QWidget* focus = Click(field);
    Press(Qt::Key_A, Qt::ControlModifier);
    Press(Qt::Key_Backspace);
    Type(text);
    return focus;
}

}  // namespace dromo::test
