#include "gui/mainwindow/cspeedbar.h"

#include <QPainter>
#include <algorithm>

#include "base/text/progresstexts.h"
#include "base/view/speedsamples.h"

namespace dromo {

CSpeedBar::CSpeedBar(const SpeedSamples& samples, QWidget* parent) : ToolWindow(1, parent), m_samples(samples)
{
    setFixedSize(270, 32);
    setWindowTitle(tr("Speed Bar"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
}

QString CSpeedBar::Text() const
{
    return tr("%1 KB/s").arg(
        QString::fromStdString(FormatOneDecimal(static_cast<double>(m_samples.Sample(1)) / 1024.0)));
}

std::vector<QLine> CSpeedBar::GridLines(int width, int height)
{
    std::vector<QLine> lines;
    const int g = width / 34;
    if (g <= 0) {
        return lines;
    }
    if (height / g > 1) {
        for (int k = 1; k <= height / g - 1; ++k) {
            lines.emplace_back(0, k * g, width - 1, k * g);
        }
    }
    for (int k = 1; k <= 34; ++k) {
        lines.emplace_back(k * g, 0, k * g, height - 1);
    }
    return lines;
}

std::vector<QLine> CSpeedBar::GraphLines(const SpeedSamples& samples, int width, int height)
{
    std::vector<QLine> lines;
    const int g = width / 34;
    const std::int64_t max = samples.Max();
    if (max <= 0 || samples.Count() <= 1) {
        return lines;
    }
    const int b = height - 1;
    for (int i = 1; i <= samples.Count() - 1; ++i) {
        const std::int64_t a = samples.Sample(i);
        const std::int64_t c = samples.Sample(i + 1);
        if (a == 0 && c == 0) {
            continue;
        }
        lines.emplace_back((i - 1) * g, static_cast<int>(b - a * b / max), i * g, static_cast<int>(b - c * b / max));
    }
    return lines;
}

void CSpeedBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width();
    const int h = height();
    p.fillRect(rect(), Qt::black);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    p.setFont(font);
    p.setPen(QPen(QColor(0, 128, 0)));
    for (const QLine& line : GridLines(w, h)) {
        p.drawLine(line);
    }
    p.setPen(QPen(QColor(0, 255, 0)));
    for (const QLine& line : GraphLines(m_samples, w, h)) {
        p.drawLine(line);
    }
    // At W - 55, or further left when the font at hand needs more room.
    const QString text = Text();
    const int textWidth = p.fontMetrics().horizontalAdvance(text) + 2;
    const int left = std::min(w - 55, w - textWidth);
    const QRect box(left, h - 1 - 15, w - left, 15);
    p.fillRect(box, Qt::black);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

}  // namespace dromo
