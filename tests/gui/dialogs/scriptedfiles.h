#pragma once

// Answers the sheets' file and folder pickers from the test.

#include <QString>
#include <optional>

#include "gui/widgets/filechooser.h"

namespace dromo::test {

struct ScriptedFiles : FileChooser {
    std::optional<QString> file;
    std::optional<QString> folder;
    QString lastFilter;
    QString lastTitle;
    int asked = 0;

    std::optional<QString> ChooseFile(QWidget*, const QString& filter) override
    {
        ++asked;
        lastFilter = filter;
        return file;
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString& title) override
    {
        ++asked;
        lastTitle = title;
        return folder;
    }
};

}  // namespace dromo::test
