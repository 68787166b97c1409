#pragma once

#include <QStyledItemDelegate>

namespace dromo {

// Paints the Progress column's percentage as a bar behind its text.
class ProgressDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The share of the cell the bar fills for a Progress text, 0..1; 0 for
    // texts without a percentage ("0", "N/A").
    static double Fraction(const QString& text);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace dromo
