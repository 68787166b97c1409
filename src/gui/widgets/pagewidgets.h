#pragma once

#include <QString>
#include <string>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QWidget;

namespace dromo {

class NumberField;

// Small pieces the pages of both sheets are built from.

// A titled group with a grid inside.
QGridLayout* AddGroup(QWidget* page, QGridLayout* pageGrid, int row, const QString& title, QGroupBox** box = nullptr);
QLabel* AddLabel(QGridLayout* grid, int row, int column, const QString& text);
// A row of a group: the label, the field, its unit when there is one; the
// space left over goes to the right. Returns the label (help tables want it).
QLabel* AddFieldRow(QGridLayout* grid, int row, const QString& label, QWidget* field, const QString& unit = {});

// "Refresh every:" with the field in hundreds of milliseconds: "00 msecs"
// right against the number, so the two read as one ("2" and "00 msecs",
// 200), and the period it gives spelled out after it for the eye and for
// a screen reader.
QLabel* AddRefreshRow(QGridLayout* grid, int row, NumberField* field);

// The auto-save steps, the one whose text begins with `stored` selected;
// none selected when none does.
void FillAutoSaveList(QComboBox* list, const std::string& stored);
// The 16 text colours by name, each with its swatch.
void FillTextColorList(QComboBox* list, int selected);

inline QString ToQString(const std::string& text)
{
    return QString::fromStdString(text);
}
inline std::string ToStdString(const QString& text)
{
    return text.toStdString();
}

}  // namespace dromo
