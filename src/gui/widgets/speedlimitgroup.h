#pragma once

#include <QGroupBox>

#include "base/forms/taskpagevalues.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace dromo {

class Messages;

// "Speed": "Unlimited", or a limit in KB/s set with the slider or typed in
// its figure; each follows the other. While "Unlimited" is ticked the
// slider and its figure are hidden.
class SpeedLimitGroup : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int kLowest = 1;
    static constexpr int kHighest = 10000;

    SpeedLimitGroup(SpeedFields& speed, QWidget* parent);

    void Load();
    // Leaving the page: a typed limit outside kLowest..kHighest (or none)
    // shows the usual message, takes the focus and keeps the page.
    bool Take(Messages& messages);
    QCheckBox* Unlimited() const { return m_unlimited; }
    QSlider* Slider() const { return m_slider; }
    QLineEdit* Figure() const { return m_figure; }

private:
    void ShowSlider();
    void Typed(const QString& text);

    SpeedFields& m_speed;
    QCheckBox* m_unlimited;
    QSlider* m_slider;
    QLineEdit* m_figure;
    QLabel* m_unit;
    bool m_typing = false;  // the slider follows the figure: it does not write back
};

}  // namespace dromo
