// A field's hint stays readable on any palette: on a dark one Qt's own hint
// colour is darker than the field itself.

#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QLineEdit>
#include <QPalette>

#include "gui/widgets/hintcolours.h"

namespace dromo {
namespace {

struct Scheme {
    const char* name;
    QColor text;
    QColor field;
};

TEST(HintColours, TheHintLiesBetweenTheFieldAndItsTextOnEveryPalette)
{
    const QPalette before = QApplication::palette();
    HintColours::Follow();
    const Scheme schemes[] = {{"dark", QColor(230, 230, 230), QColor(35, 38, 41)},
                              {"light", QColor(20, 20, 20), QColor(255, 255, 255)},
                              {"dark blue", QColor(200, 210, 255), QColor(10, 20, 60)}};
    QLineEdit field;
    field.setPlaceholderText("Find tasks");
    field.show();
    for (const Scheme& scheme : schemes) {
        QPalette palette = before;
        palette.setColor(QPalette::Text, scheme.text);
        palette.setColor(QPalette::Base, scheme.field);
        palette.setColor(QPalette::PlaceholderText, scheme.field.darker(150));  // as a theme may leave it
        QApplication::setPalette(palette);
        QApplication::processEvents();
        const QColor hint = field.palette().color(QPalette::Active, QPalette::PlaceholderText);
        const int text = scheme.text.lightness();
        const int base = scheme.field.lightness();
        // On the text's side of the field, and far enough from it to be read.
        EXPECT_GT((hint.lightness() - base) * (text - base), 0) << scheme.name;
        EXPECT_GE(std::abs(hint.lightness() - base) * 100, std::abs(text - base) * 40) << scheme.name;
    }
    QApplication::setPalette(before);
}

}  // namespace
}  // namespace dromo
