#include "gui/widgets/helppopup.h"

namespace dromo {

HelpPopup::HelpPopup(const QString& text, QWidget* parent) : QLabel(text, parent, Qt::Popup)
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

HelpPopup* HelpPopup::Show(const QString& text, const QPoint& globalPoint, QWidget* parent)
{
    auto* popup = new HelpPopup(text, parent);
    popup->adjustSize();
    popup->move(globalPoint);
    popup->show();
    return popup;
}

}  // namespace dromo
