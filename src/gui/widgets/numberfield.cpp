#include "gui/widgets/numberfield.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace dromo {

NumberField::NumberField(QWidget* parent) : QWidget(parent), m_edit(new QLineEdit(this))
{
    m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_edit));
    m_edit->setMaximumWidth(72);
    m_up = new QToolButton(this);
    m_down = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    for (QToolButton* b : {m_up, m_down}) {
        b->setFixedSize(16, 11);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        arrows->addWidget(b);
    }
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    row->addWidget(m_edit);
    row->addLayout(arrows);
    setFocusProxy(m_edit);
    // The arrows always raise and lower, also where no range is set and the
    // classic control ran backwards over 0 to 100.
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void NumberField::SetSpinRange(int low, int high)
{
    m_low = low;
    m_high = high;
}

void NumberField::SetValue(int value)
{
    m_edit->setText(QString::number(value));
}

QString NumberField::Text() const
{
    return m_edit->text();
}

void NumberField::Step(int delta)
{
    bool ok = false;
    const int now = m_edit->text().toInt(&ok);
    const int next = ok ? std::clamp(now + delta, m_low, m_high) : m_low;
    SetValue(next);
}

}  // namespace dromo
