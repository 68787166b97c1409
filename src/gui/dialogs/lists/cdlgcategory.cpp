#include "gui/dialogs/lists/cdlgcategory.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/widgets/filechooser.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {

CDlgCategory::CDlgCategory(const CategoryEntry& entry, FileChooser& files, Messages& messages, QWidget* parent)
    : QDialog(parent), m_name(new QLineEdit(ToQString(entry.name), this)),
      m_extension(new QLineEdit(ToQString(entry.extension), this)),
      m_folder(new QLineEdit(ToQString(entry.folder), this))
{
    setWindowTitle(tr("Category"));
    auto* browse = new QPushButton(tr(">>"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Category:"), this), 0, 0);
    grid->addWidget(m_name, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Extension:"), this), 1, 0);
    grid->addWidget(m_extension, 1, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Savepath:"), this), 2, 0);
    grid->addWidget(m_folder, 2, 1);
    grid->addWidget(browse, 2, 2);
    grid->addWidget(buttons, 3, 0, 1, 3);
    m_folder->setMinimumWidth(280);
    connect(browse, &QPushButton::clicked, this,
            [this, &files, &messages] { BrowseForFolder(this, files, messages, m_folder); });
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgCategory::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgCategory::reject);
}

CategoryEntry CDlgCategory::Entry() const
{
    return {ToStdString(m_name->text()), ToStdString(m_extension->text()), ToStdString(m_folder->text())};
}

void CDlgCategory::accept()
{
    if (!m_name->text().isEmpty() && !m_extension->text().isEmpty() && !m_folder->text().isEmpty()) {
        QDialog::accept();
    }
}

}  // namespace dromo
