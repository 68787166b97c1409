#include "gui/mainwindow/helpkeys.h"

#include <QKeyEvent>
#include <QWidget>

#include "gui/mainwindow/helptopic.h"

namespace dromo {

HelpKeys::HelpKeys(const QWidget* mainWindow, std::function<void(const QString&)> open, QObject* parent)
    : QObject(parent), m_mainWindow(mainWindow), m_open(std::move(open))
{
}

bool HelpKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() != Qt::Key_F1 || (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier)) {
        return false;
    }
    const auto* widget = qobject_cast<const QWidget*>(watched);
    // The main window's keys are its actions: Help Topics and context help.
    if (!widget || widget->window() == m_mainWindow) {
        return false;
    }
    m_open(HelpTopic::For(widget));
    return true;
}

}  // namespace dromo
