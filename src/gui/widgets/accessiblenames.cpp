#include "gui/widgets/accessiblenames.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>

#include "gui/widgets/numberfield.h"

namespace dromo {
namespace {

// The first widget a layout item holds, looking into nested layouts.
QWidget* FirstWidget(QLayoutItem* item)
{
    if (item == nullptr) {
        return nullptr;
    }
    if (QWidget* w = item->widget()) {
        return w;
    }
    if (QLayout* inner = item->layout()) {
        for (int i = 0; i < inner->count(); ++i) {
            if (QWidget* w = FirstWidget(inner->itemAt(i))) {
                return w;
            }
        }
    }
    return nullptr;
}

// What follows a label in its layout: the next cell of its grid row, or
// the next item of a row of boxes.
QWidget* FieldAfter(QLayout* layout, int index)
{
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        // Beside it, or under it where nothing is beside it ("File Types:").
        QWidget* beside = FirstWidget(grid->itemAtPosition(row, column + columnSpan));
        return beside != nullptr ? beside : FirstWidget(grid->itemAtPosition(row + rowSpan, column));
    }
    if (auto* box = qobject_cast<QBoxLayout*>(layout);
        box != nullptr &&
        (box->direction() == QBoxLayout::LeftToRight || box->direction() == QBoxLayout::RightToLeft)) {
        return FirstWidget(box->itemAt(index + 1));
    }
    return nullptr;
}

void NameLayout(QLayout* layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QLayout* inner = item->layout()) {
            NameLayout(inner);
            continue;
        }
        auto* label = qobject_cast<QLabel*>(item->widget());
        if (label == nullptr || label->buddy() != nullptr || label->text().isEmpty()) {
            continue;
        }
        QWidget* field = FieldAfter(layout, i);
        if (field == nullptr || qobject_cast<QLabel*>(field) != nullptr ||
            (field->focusPolicy() == Qt::NoFocus && field->focusProxy() == nullptr)) {
            continue;
        }
        label->setBuddy(field);
        AccessibleNames::Name(field, AccessibleNames::Plain(label->text()));
    }
}

}  // namespace

QString AccessibleNames::Plain(const QString& labelText)
{
    QString text = labelText;
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xa0))) {
        text.chop(1);
        text = text.trimmed();
    }
    return text;
}

void AccessibleNames::Name(QWidget* control, const QString& name)
{
    if (control == nullptr || name.isEmpty()) {
        return;
    }
    QWidget* target = control;
    if (auto* number = qobject_cast<NumberField*>(control)) {
        target = number->Edit();
    }
    if (target->accessibleName().isEmpty()) {
        target->setAccessibleName(name);
    }
    if (auto* list = qobject_cast<QComboBox*>(control);
        list != nullptr && list->lineEdit() != nullptr && list->lineEdit()->accessibleName().isEmpty()) {
        list->lineEdit()->setAccessibleName(name);
    }
    // A text area's reader may land on its viewport, which is otherwise a
    // nameless filler.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target);
        area != nullptr && area->viewport() != nullptr && area->viewport()->accessibleName().isEmpty()) {
        area->viewport()->setAccessibleName(name);
    }
}

void AccessibleNames::NameFieldsByLabels(QWidget* root)
{
    if (root->layout() != nullptr) {
        NameLayout(root->layout());
    }
    for (QWidget* child : root->findChildren<QWidget*>()) {
        if (child->layout() != nullptr) {
            NameLayout(child->layout());
        }
    }
    // A control with no label beside it and no text of its own (a list, a
    // slider) is named by its tip or by the group it sits in.
    for (QWidget* child : root->findChildren<QWidget*>()) {
        if ((child->focusPolicy() & Qt::TabFocus) == 0 || !child->accessibleName().isEmpty()) {
            continue;
        }
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(child);
        if (read == nullptr || !read->text(QAccessible::Name).isEmpty()) {
            continue;
        }
        QString name = child->toolTip();
        for (QWidget* up = child->parentWidget(); name.isEmpty() && up != nullptr && up != root->parentWidget();
             up = up->parentWidget()) {
            if (auto* group = qobject_cast<QGroupBox*>(up)) {
                name = Plain(group->title());
            } else if (!up->accessibleName().isEmpty()) {
                name = up->accessibleName();
            }
        }
        Name(child, name.isEmpty() ? child->window()->windowTitle() : name);
    }
}

bool AccessibleNames::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow()) {
            NameFieldsByLabels(widget);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace dromo
