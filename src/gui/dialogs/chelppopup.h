#pragma once

#include <QLabel>

namespace dromo {

// A control's help text in a small window at the clicked point; it closes
// with the next click or key anywhere.
class CHelpPopup : public QLabel {
    Q_OBJECT
public:
    CHelpPopup(const QString& text, QWidget* parent);

    static CHelpPopup* Show(const QString& text, const QPoint& globalPoint, QWidget* parent);
};

}  // namespace dromo
