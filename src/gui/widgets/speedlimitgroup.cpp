#include "gui/widgets/speedlimitgroup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSlider>

#include "base/forms/fieldcheck.h"
#include "base/ports/messages.h"

namespace dromo {

SpeedLimitGroup::SpeedLimitGroup(SpeedFields& speed, QWidget* parent)
    : QGroupBox(tr("Speed"), parent), m_speed(speed), m_unlimited(new QCheckBox(tr("Unlimited"), this)),
      m_slider(new QSlider(Qt::Horizontal, this)), m_figure(new QLineEdit(this)), m_unit(new QLabel(tr("KB/s"), this))
{
    m_slider->setRange(kLowest, kHighest);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(50);
    // Digits only, as the other number fields; the range is checked when
    // the page is left.
    m_figure->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_figure));
    m_figure->setMaxLength(9);
    m_figure->setMaximumWidth(64);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_unlimited, 0, 0, 1, 3);
    grid->addWidget(m_slider, 1, 0);
    grid->addWidget(m_figure, 1, 1);
    grid->addWidget(m_unit, 1, 2);
    connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
        m_speed.limit = position;
        if (!m_typing) {
            m_figure->setText(QString::number(position));
        }
    });
    connect(m_figure, &QLineEdit::textEdited, this, &SpeedLimitGroup::Typed);
    connect(m_unlimited, &QCheckBox::clicked, this, [this](bool on) {
        m_speed.unlimited = on;
        ShowSlider();
    });
}

void SpeedLimitGroup::Typed(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < kLowest || value > kHighest) {
        return;  // the slider stays; leaving the page says what is wrong
    }
    m_typing = true;
    m_slider->setValue(value);
    m_speed.limit = value;
    m_typing = false;
}

void SpeedLimitGroup::Load()
{
    m_unlimited->setChecked(m_speed.unlimited);
    {
        // Placing the slider is not a move: a stored limit beyond its range
        // stays as it is until the user moves it.
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(m_speed.limit);
    }
    m_figure->setText(QString::number(m_speed.limit));
    ShowSlider();
}

bool SpeedLimitGroup::Take(Messages& messages)
{
    // Unchanged (a stored limit beyond the slider too) or not in force:
    // nothing to check.
    if (m_speed.unlimited || m_figure->text() == QString::number(m_speed.limit)) {
        return true;
    }
    int value = 0;
    if (const auto message = CheckInteger(m_figure->text().toStdString(), kLowest, kHighest, value)) {
        messages.Warning(*message);
        m_figure->setFocus();
        return false;
    }
    m_speed.limit = value;
    return true;
}

void SpeedLimitGroup::ShowSlider()
{
    for (QWidget* w :
         {static_cast<QWidget*>(m_slider), static_cast<QWidget*>(m_figure), static_cast<QWidget*>(m_unit)}) {
        w->setVisible(!m_speed.unlimited);
    }
}

}  // namespace dromo
