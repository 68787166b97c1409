#include "gui/dialogs/widgets/speedlimitgroup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

namespace dromo {

SpeedLimitGroup::SpeedLimitGroup(SpeedFields& speed, QWidget* parent)
    : QGroupBox(tr("Speed"), parent), m_speed(speed), m_unlimited(new QCheckBox(tr("Unlimited"), this)),
      m_slider(new QSlider(Qt::Horizontal, this)), m_figure(new QLineEdit(this)), m_unit(new QLabel(tr("KB/s"), this))
{
    m_slider->setRange(1, 10000);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(50);
    m_figure->setReadOnly(true);
    m_figure->setMaximumWidth(64);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_unlimited, 0, 0, 1, 3);
    grid->addWidget(m_slider, 1, 0);
    grid->addWidget(m_figure, 1, 1);
    grid->addWidget(m_unit, 1, 2);
    connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
        m_speed.limit = position;
        m_figure->setText(QString::number(position));
    });
    connect(m_unlimited, &QCheckBox::clicked, this, [this](bool on) {
        m_speed.unlimited = on;
        ShowSlider();
    });
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

void SpeedLimitGroup::ShowSlider()
{
    for (QWidget* w : {static_cast<QWidget*>(m_slider), static_cast<QWidget*>(m_figure), static_cast<QWidget*>(m_unit)}) {
        w->setVisible(!m_speed.unlimited);
    }
}

}  // namespace dromo
