#pragma once

#include <QWidget>

namespace dromo {

// A small frameless always-on-top window the mouse drags about (the speed
// bar and the drop basket); a right-click asks for a menu, a double-click
// for the main window.
class ToolWindow : public QWidget {
    Q_OBJECT
public:
    // `dragOffset` pixels are taken off the cursor position while dragging.
    ToolWindow(int dragOffset, QWidget* parent = nullptr);

signals:
    void MenuWanted(const QPoint& globalPos);
    void MainWindowWanted();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int m_offset;
    bool m_dragging = false;
    QPoint m_grab;
};

}  // namespace dromo
