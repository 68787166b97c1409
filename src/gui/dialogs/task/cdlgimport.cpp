#include "gui/dialogs/task/cdlgimport.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "gui/widgets/filechooser.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {

CDlgImport::CDlgImport(TaskPageValues& values, FileChooser& files, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("File"), messages, parent), m_values(values), m_files(files), m_url(new QLineEdit(this)),
      m_file(new QLineEdit(this)), m_browse(new QPushButton(tr("<<"), this))
{
    auto* page = new QGridLayout(this);
    QGridLayout* grid = AddGroup(this, page, 0, tr("URL"));
    AddLabel(grid, 0, 0, tr("URL:"));
    grid->addWidget(m_url, 0, 1, 1, 2);
    AddLabel(grid, 1, 0, tr("File:"));
    grid->addWidget(m_file, 1, 1);
    grid->addWidget(m_browse, 1, 2);
    m_url->setMinimumWidth(360);
    page->setRowStretch(1, 1);
    connect(m_browse, &QPushButton::clicked, this, [this] {
        if (const auto chosen = m_files.ChooseFile(this, tr("All Files (*)"))) {
            m_file->setText(*chosen);
        }
    });
}

void CDlgImport::OnInitDialog()
{
    // The file is what the command is about: the keys start there.
    m_file->setFocus();
}

QString CDlgImport::StayReason() const
{
    if (!m_url->text().isEmpty() && !m_file->text().isEmpty()) {
        return {};
    }
    return tr("Enter the URL and the file first: the other tabs open once both are filled in.");
}

bool CDlgImport::OnKillActive()
{
    m_values.url = ToStdString(m_url->text());
    m_values.saveAs = ToStdString(m_file->text());
    return !m_values.url.empty() && !m_values.saveAs.empty();
}

}  // namespace dromo
