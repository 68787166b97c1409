#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace dromo {

// What a screen reader says for a control: the label beside a field names
// it, as a person reads the row. Qt finds a label only through its buddy,
// and only when the label sits in the field's own parent, so a field in a
// group box, a number field's inner edit or an editable list's edit would
// go unnamed. Installed on the application, it names the fields of every
// window as the window first shows; controls with no label beside them get
// their names where they are made.
class AccessibleNames : public QObject {
    Q_OBJECT
public:
    explicit AccessibleNames(QObject* parent = nullptr) : QObject(parent) {}

    // Every label with text in a layout of `root` becomes the buddy of the
    // control after it in its row, and names that control (the inner edit
    // of a number field or an editable list too) unless it has a name.
    static void NameFieldsByLabels(QWidget* root);
    // A label's text as a name: no mnemonic mark, no colon at the end.
    static QString Plain(const QString& labelText);
    // Names a control and, for an editable list, its edit; never
    // overwrites a name given before.
    static void Name(QWidget* control, const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace dromo
