#include "dialogs/chelppopup.h"

namespace dromo {

CHelpPopup::CHelpPopup(const QString& text, QWidget* parent) : QLabel(text, parent, Qt::Popup)
{
    setObjectName("helpPopup");
    setAttribute(Qt::WA_DeleteOnClose);
    setWordWrap(true);
    setMaximumWidth(360);
    setContentsMargins(17, 10, 17, 10);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
}

CHelpPopup* CHelpPopup::Show(const QString& text, const QPoint& globalPoint, QWidget* parent)
{
    auto* popup = new CHelpPopup(text, parent);
    popup->adjustSize();
    popup->move(globalPoint);
    popup->show();
    return popup;
}

}  // namespace dromo
