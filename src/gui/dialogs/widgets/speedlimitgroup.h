#pragma once

#include <QGroupBox>

#include "base/dialogs/taskpagevalues.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace dromo {

// "Speed": "Unlimited", or a limit in KB/s set with the slider alone. While
// "Unlimited" is ticked the slider and its figure are hidden.
class SpeedLimitGroup : public QGroupBox {
    Q_OBJECT
public:
    SpeedLimitGroup(SpeedFields& speed, QWidget* parent);

    void Load();
    QCheckBox* Unlimited() const { return m_unlimited; }
    QSlider* Slider() const { return m_slider; }
    QLineEdit* Figure() const { return m_figure; }

private:
    void ShowSlider();

    SpeedFields& m_speed;
    QCheckBox* m_unlimited;
    QSlider* m_slider;
    QLineEdit* m_figure;
    QLabel* m_unit;
};

}  // namespace dromo
