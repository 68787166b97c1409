#pragma once

#include <QLine>
#include <QString>
#include <vector>

#include "gui/mainwindow/toolwindow.h"

namespace dromo {

class SpeedSamples;

// The speed bar: the last 35 speed samples as a green graph on a black
// grid, newest at the left, with the newest speed written at the right.
class CSpeedBar : public ToolWindow {
    Q_OBJECT
public:
    explicit CSpeedBar(const SpeedSamples& samples, QWidget* parent = nullptr);

    // The text: sample 1 / 1024 with one decimal and " KB/s".
    QString Text() const;
    // The grid's lines and the graph's segments for a window of W x H.
    static std::vector<QLine> GridLines(int width, int height);
    static std::vector<QLine> GraphLines(const SpeedSamples& samples, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const SpeedSamples& m_samples;
};

}  // namespace dromo
