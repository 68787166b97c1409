#include "gui/widgets/cflatbutton.h"

#include <QPainter>

namespace dromo {

CFlatButton::CFlatButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setAttribute(Qt::WA_Hover);
}

QColor CFlatButton::CaptionColour() const
{
    if (!isEnabled()) {
        return QColor(150, 150, 150);
    }
    return m_hovered ? QColor(0, 0, 255) : QColor(0, 0, 0);
}

void CFlatButton::enterEvent(QEnterEvent* event)
{
    m_hovered = isEnabled();
    update();
    QPushButton::enterEvent(event);
}

void CFlatButton::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QPushButton::leaveEvent(event);
}

void CFlatButton::focusOutEvent(QFocusEvent* event)
{
    m_hovered = false;
    QPushButton::focusOutEvent(event);
}

void CFlatButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    p.fillRect(rect(), palette().button());
    if (m_hovered) {
        const QColor light = Qt::white;
        const QColor shadow = palette().dark().color();
        const bool pressed = isDown();
        p.setPen(pressed ? shadow : light);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(pressed ? light : shadow);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    p.setPen(CaptionColour());
    p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text());
}

}  // namespace dromo
