#include "gui/mainwindow/cdropbasket.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

#include "gui/mainwindow/cmainview.h"
#include "gui/widgets/artwork.h"

namespace dromo {

CDropBasket::CDropBasket(QWidget* parent) : ToolWindow(5, parent)
{
    setFixedSize(36, 36);
    setWindowTitle(tr("Drop Basket"));
    setAcceptDrops(true);
}

void CDropBasket::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().mid().color());
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawPixmap(2, 2, Artwork::Program().pixmap(32, 32));
}

void CDropBasket::dragEnterEvent(QDragEnterEvent* event)
{
    if (CMainView::AcceptsDrop(CMainView::DroppedText(event->mimeData()))) {
        event->setDropAction(Qt::LinkAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CDropBasket::dragMoveEvent(QDragMoveEvent* event)
{
    if (CMainView::AcceptsDrop(CMainView::DroppedText(event->mimeData()))) {
        event->setDropAction(Qt::LinkAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CDropBasket::dropEvent(QDropEvent* event)
{
    const QString text = CMainView::DroppedText(event->mimeData());
    if (!CMainView::AcceptsDrop(text)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::LinkAction);
    event->accept();
    emit TextDropped(text);
}

}  // namespace dromo
