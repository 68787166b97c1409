#include "gui/mainwindow/toolwindow.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

namespace dromo {

ToolWindow::ToolWindow(int dragOffset, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_offset(dragOffset)
{
}

void ToolWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_grab = event->position().toPoint();
        m_dragging = true;
        grabMouse();
    }
}

void ToolWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging) {
        const QPoint at = event->globalPosition().toPoint() - m_grab - QPoint(m_offset, m_offset);
        move(at);
    }
}

void ToolWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        releaseMouse();
    }
}

void ToolWindow::mouseDoubleClickEvent(QMouseEvent*)
{
    emit MainWindowWanted();
}

void ToolWindow::contextMenuEvent(QContextMenuEvent* event)
{
    emit MenuWanted(event->globalPos());
}

}  // namespace dromo
