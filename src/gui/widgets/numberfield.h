#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace dromo {

// A number edit with its spin arrows: digits only, stepped by the arrows
// within the spin's range. Whether the text is a number in the field's own
// range is checked by the page when it is left.
class NumberField : public QWidget {
    Q_OBJECT
public:
    explicit NumberField(QWidget* parent = nullptr);

    void SetSpinRange(int low, int high);
    void SetValue(int value);
    QString Text() const;
    QLineEdit* Edit() const { return m_edit; }
    void Step(int delta);

private:
    QLineEdit* m_edit;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_low = 0;
    int m_high = 100;
};

}  // namespace dromo
