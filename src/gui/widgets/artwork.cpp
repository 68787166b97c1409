#include "gui/widgets/artwork.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

namespace dromo {
namespace {

QPixmap Canvas(int size = 16)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap Artwork::StateImage(int index)
{
    QPixmap pixmap = Canvas();
    if (index < 1 || index > 8) {
        return pixmap;
    }
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    static const QColor colours[] = {{},
                                     {0x35, 0x84, 0xe4},
                                     {0x26, 0xa2, 0x69},
                                     {0xe0, 0x1b, 0x24},
                                     {0x2e, 0xc2, 0x7e},
                                     {0xe5, 0xa5, 0x0a},
                                     {0x91, 0x41, 0xac},
                                     {0xc0, 0x1c, 0x28},
                                     {0x1a, 0x7f, 0x37}};
    p.setPen(Qt::NoPen);
    p.setBrush(colours[index]);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    switch (index) {
    case 1:  // queued: a clock
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(8, 8), QPointF(8, 4.5));
        p.drawLine(QPointF(8, 8), QPointF(10.5, 9.5));
        break;
    case 2: {  // running: play
        QPainterPath play;
        play.moveTo(6, 4.5);
        play.lineTo(11.5, 8);
        play.lineTo(6, 11.5);
        play.closeSubpath();
        p.drawPath(play);
        break;
    }
    case 3:  // error: a cross
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
        break;
    case 4:  // done: a tick
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5.5)}));
        break;
    case 5:  // paused: two bars
        p.drawLine(QPointF(6.5, 5), QPointF(6.5, 11));
        p.drawLine(QPointF(9.5, 5), QPointF(9.5, 11));
        break;
    case 6:  // scheduled: a calendar sheet
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(5, 5.5, 6, 5.5));
        p.drawLine(QPointF(5, 7.5), QPointF(11, 7.5));
        break;
    case 7:  // failed for good: an exclamation mark
        p.drawLine(QPointF(8, 4), QPointF(8, 9));
        p.drawEllipse(QPointF(8, 11.8), 0.9, 0.9);
        break;
    case 8:  // done and verified: a tick inside a seal's ring
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
        p.drawPolyline(QPolygonF({QPointF(5.8, 8.2), QPointF(7.4, 9.8), QPointF(10.3, 6.4)}));
        break;
    }
    return pixmap;
}

QIcon Artwork::FileType(int index)
{
    static const char* names[] = {"text-x-generic", "package-x-generic",        "x-office-document", "audio-x-generic",
                                  "text-html",      "application-x-executable", "image-x-generic",   "video-x-generic"};
    static const QColor colours[] = {{0x77, 0x76, 0x7b}, {0xa5, 0x1d, 0x2d}, {0x1c, 0x71, 0xd8}, {0xe6, 0x61, 0x00},
                                     {0x26, 0xa2, 0x69}, {0x61, 0x35, 0x83}, {0xc6, 0x46, 0x00}, {0x63, 0x45, 0x2c}};
    const int i = index >= 0 && index < 8 ? index : 0;
    // Every row and every address has one: drawn once, then Qt's cache.
    const QString key = QStringLiteral("dromo-file-type-%1").arg(i);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = Canvas();
        {
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(colours[i].darker(130), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(2.5, 1.5, 10, 13));
            p.fillRect(QRectF(3, 9, 9, 5), colours[i]);
        }
        QPixmapCache::insert(key, pixmap);
    }
    return QIcon::fromTheme(QString::fromLatin1(names[i]), QIcon(pixmap));
}

QIcon Artwork::Program()
{
    QPixmap pixmap = Canvas(32);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1c, 0x71, 0xd8));
        p.drawEllipse(QRectF(1, 1, 30, 30));
        p.setBrush(Qt::white);
        QPainterPath arrow;
        arrow.moveTo(13, 7);
        arrow.lineTo(19, 7);
        arrow.lineTo(19, 16);
        arrow.lineTo(24, 16);
        arrow.lineTo(16, 25);
        arrow.lineTo(8, 16);
        arrow.lineTo(13, 16);
        arrow.closeSubpath();
        p.drawPath(arrow);
    }
    return QIcon::fromTheme(QStringLiteral("dromo"), QIcon(pixmap));
}

QIcon Artwork::Tray(int id)
{
    if (id == 128) {
        return Program();
    }
    // 207..212: the speed bar's level as a small bar graph.
    const int level = id <= 207 ? 1 : id == 208 ? 2 : id == 209 ? 3 : id == 211 ? 4 : 5;
    QPixmap pixmap = Canvas(32);
    {
        QPainter p(&pixmap);
        p.fillRect(QRect(0, 0, 32, 32), Qt::black);
        for (int bar = 0; bar < 5; ++bar) {
            const int h = 5 + bar * 5;
            p.fillRect(QRect(2 + bar * 6, 30 - h, 4, h), bar < level ? QColor(0, 255, 0) : QColor(0, 80, 0));
        }
    }
    return QIcon(pixmap);
}

QIcon Artwork::Command(const QString& name)
{
    const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

}  // namespace dromo
