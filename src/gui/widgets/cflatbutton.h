#pragma once

#include <QPushButton>

namespace dromo {

// A flat push button: no frame until the mouse is over it, then a raised
// one (sunken while pressed); the caption blue when hovered, grey when
// disabled, black otherwise.
class CFlatButton : public QPushButton {
    Q_OBJECT
public:
    explicit CFlatButton(const QString& text, QWidget* parent = nullptr);
    QColor CaptionColour() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_hovered = false;
};

}  // namespace dromo
