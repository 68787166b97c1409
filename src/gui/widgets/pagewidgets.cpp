#include "gui/widgets/pagewidgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include "base/forms/pagechoices.h"
#include "base/view/textcolortable.h"
#include "gui/widgets/accessiblenames.h"
#include "gui/widgets/numberfield.h"
#include "platform/basetexts.h"

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

QLabel* AddFieldRow(QGridLayout* grid, int row, const QString& label, QWidget* field, const QString& unit)
{
    QLabel* shown = AddLabel(grid, row, 0, label);
    grid->addWidget(field, row, 1);
    if (!unit.isEmpty()) {
        AddLabel(grid, row, 2, unit);
    }
    grid->setColumnStretch(3, 1);
    return shown;
}

QLabel* AddRefreshRow(QGridLayout* grid, int row, NumberField* field)
{
    QWidget* parent = grid->parentWidget();
    QLabel* shown = AddLabel(grid, row, 0, QCoreApplication::translate("dromo::CCfgSys", "Refresh every:"));
    auto* glued = new QHBoxLayout;
    glued->setSpacing(0);
    glued->addWidget(field);
    auto* unit = new QLabel(QCoreApplication::translate("dromo::CCfgSys", "00 msecs"), parent);
    glued->addWidget(unit);
    auto* reading = new QLabel(parent);
    glued->addSpacing(12);
    glued->addWidget(reading);
    grid->addLayout(glued, row, 1, 1, 2);
    grid->setColumnStretch(3, 1);
    shown->setBuddy(field->Edit());
    AccessibleNames::Name(field, AccessibleNames::Plain(shown->text()));
    auto read = [field, reading] {
        bool number = false;
        const int tenths = field->Text().toInt(&number);
        const QString text =
            number ? QCoreApplication::translate("dromo::CCfgSys", "= %1 ms").arg(tenths * 100) : QString();
        reading->setText(text);
        field->Edit()->setAccessibleDescription(text);
    };
    QObject::connect(field->Edit(), &QLineEdit::textChanged, reading, read);
    read();
    return shown;
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
        list->addItem(QIcon(swatch), BaseTexts::Shown(c.name));
    }
    list->setCurrentIndex(selected >= 0 && selected < list->count() ? selected : -1);
}

}  // namespace dromo
