#include "dialogs/pagewidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>

#include "dialogs/pagechoices.h"
#include "mainwindow/textcolortable.h"

namespace dromo {

QGridLayout* AddGroup(QWidget* page, QGridLayout* pageGrid, int row, const QString& title, QGroupBox** box)
{
    auto* group = new QGroupBox(title, page);
    auto* grid = new QGridLayout(group);
    pageGrid->addWidget(group, row, 0, 1, -1);
    if (box != nullptr) {
        *box = group;
    }
    return grid;
}

QLabel* AddLabel(QGridLayout* grid, int row, int column, const QString& text)
{
    auto* label = new QLabel(text, grid->parentWidget());
    grid->addWidget(label, row, column);
    return label;
}

void FillAutoSaveList(QComboBox* list, const std::string& stored)
{
    list->clear();
    for (const char* step : kAutoSaveSteps) {
        list->addItem(QString::fromLatin1(step));
    }
    list->setCurrentIndex(AutoSaveChoice(stored));
}

void FillTextColorList(QComboBox* list, int selected)
{
    list->clear();
    for (const TextColor& c : TextColorTable()) {
        QPixmap swatch(16, 16);
        swatch.fill(QColor(c.red, c.green, c.blue));
        list->addItem(QIcon(swatch), QString::fromLatin1(c.name));
    }
    list->setCurrentIndex(selected >= 0 && selected < list->count() ? selected : -1);
}

}  // namespace dromo
