#include "gui/widgets/filechooser.h"

#include <QFileDialog>
#include <QLineEdit>

#include "base/forms/pagechoices.h"
#include "base/ports/messages.h"

namespace dromo {

std::optional<QString> FileChooser::ChooseFile(QWidget* parent, const QString& filter)
{
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

std::optional<QString> FileChooser::ChooseFolder(QWidget* parent, const QString& title)
{
    QFileDialog dialog(parent, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

bool BrowseForFolder(QWidget* parent, FileChooser& files, Messages& messages, QLineEdit* field)
{
    const auto chosen = files.ChooseFolder(parent, QObject::tr("Please select a folder below. Then click OK."));
    if (!chosen) {
        return false;
    }
    if (chosen->isEmpty()) {
        messages.Warning(QObject::tr("Cannot open folder").toStdString());
        return false;
    }
    field->setText(QString::fromStdString(WithTrailingSlash(chosen->toStdString())));
    return true;
}

}  // namespace dromo
