#pragma once

#include <QString>
#include <optional>

class QLineEdit;
class QWidget;

namespace dromo {

class Messages;

// The system's file and folder pickers, behind an interface so the pages
// that open them can be driven without a person at the screen.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // An existing file; nothing on Cancel. `filter` in the toolkit's form
    // ("Wave Audio Files (*.wav)").
    virtual std::optional<QString> ChooseFile(QWidget* parent, const QString& filter);
    // A folder; nothing on Cancel, an empty text when the chosen folder has
    // no usable path.
    virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title);
};

// ">>" beside a folder field: the folder browser, then the field holds the
// chosen folder ending in "/". "Cannot open folder" for a folder without a
// usable path; Cancel changes nothing. True when the field changed.
bool BrowseForFolder(QWidget* parent, FileChooser& files, Messages& messages, QLineEdit* field);

}  // namespace dromo
