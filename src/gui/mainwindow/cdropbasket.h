#pragma once

#include "gui/mainwindow/toolwindow.h"

namespace dromo {

// The drop basket: a small always-on-top window showing the program icon,
// where links dragged from a browser or a text can be dropped.
class CDropBasket : public ToolWindow {
    Q_OBJECT
public:
    explicit CDropBasket(QWidget* parent = nullptr);

signals:
    void TextDropped(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

}  // namespace dromo
