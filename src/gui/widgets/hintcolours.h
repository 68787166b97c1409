#pragma once

#include <QColor>
#include <QObject>
#include <QPalette>

namespace dromo {

// The grey hint text of empty fields ("Find tasks…", the checksum's
// example) readable on any palette. A desktop's dark palette often sets
// text and background but leaves the hint at the light palette's dark
// grey, which then hardly shows on the dark field. The hint is made a mix
// of the palette's own text and field colours, whatever they are, and
// again whenever the desktop changes the palette.
class HintColours : public QObject {
    Q_OBJECT
public:
    // Installed on the application: its palette now and after every change.
    static void Follow();

    // Text and field colour mixed, closer to the text.
    static QColor HintFor(const QPalette& palette, QPalette::ColorGroup group);
    // Whether `palette` was changed.
    static bool Apply(QPalette& palette);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit HintColours(QObject* parent) : QObject(parent) {}
    static void ApplyToApplication();
};

}  // namespace dromo
