#pragma once

#include <QLabel>

namespace dromo {

// A control's help text in a small window at the clicked point; it closes
// with the next click or key anywhere.
class HelpPopup : public QLabel {
    Q_OBJECT
public:
    HelpPopup(const QString& text, QWidget* parent);

    static HelpPopup* Show(const QString& text, const QPoint& globalPoint, QWidget* parent);
};

}  // namespace dromo
