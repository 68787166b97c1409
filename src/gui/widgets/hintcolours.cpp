#include "gui/widgets/hintcolours.h"

#include <QApplication>
#include <QEvent>

namespace dromo {

void HintColours::Follow()
{
    static HintColours* installed = nullptr;
    if (installed == nullptr) {
        installed = new HintColours(qApp);
        qApp->installEventFilter(installed);
    }
    ApplyToApplication();
}

QColor HintColours::HintFor(const QPalette& palette, QPalette::ColorGroup group)
{
    const QColor text = palette.color(group, QPalette::Text);
    const QColor field = palette.color(group, QPalette::Base);
    auto mix = [](int a, int b) { return (a * 3 + b * 2) / 5; };
    return QColor(mix(text.red(), field.red()), mix(text.green(), field.green()), mix(text.blue(), field.blue()));
}

bool HintColours::Apply(QPalette& palette)
{
    bool changed = false;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor hint = HintFor(palette, group);
        if (palette.color(group, QPalette::PlaceholderText) != hint) {
            palette.setColor(group, QPalette::PlaceholderText, hint);
            changed = true;
        }
    }
    return changed;
}

void HintColours::ApplyToApplication()
{
    QPalette palette = QApplication::palette();
    if (Apply(palette)) {
        QApplication::setPalette(palette);  // the change it causes finds nothing more to do
    }
}

bool HintColours::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) {
        ApplyToApplication();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace dromo
