#include "gui/mainwindow/progressdelegate.h"

#include <QPainter>
#include <algorithm>

namespace dromo {

double ProgressDelegate::Fraction(const QString& text)
{
    if (!text.endsWith(QLatin1Char('%'))) {
        return 0;
    }
    bool ok = false;
    const double percent = text.chopped(1).trimmed().toDouble(&ok);
    return ok ? std::clamp(percent / 100.0, 0.0, 1.0) : 0;
}

void ProgressDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const double fraction = Fraction(index.data(Qt::DisplayRole).toString());
    if (fraction > 0) {
        // Under the text and the selection, inset so the grid stays visible.
        const QRect cell = option.rect.adjusted(1, 2, -1, -2);
        QRect bar = cell;
        bar.setWidth(static_cast<int>(cell.width() * fraction));
        QColor fill = option.palette.color(QPalette::Highlight);
        fill.setAlpha(70);
        painter->save();
        painter->fillRect(bar, fill);
        painter->setPen(fill.darker(120));
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
        painter->restore();
    }
    QStyledItemDelegate::paint(painter, option, index);
}

}  // namespace dromo
