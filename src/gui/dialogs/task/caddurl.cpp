#include "gui/dialogs/task/caddurl.h"

#include <QGridLayout>
#include <QLineEdit>

#include "base/download/digestlist.h"
#include "gui/dialogs/widgets/pagewidgets.h"

namespace dromo {

CAddURL::CAddURL(TaskPageValues& values, const CategoryList* categories, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("URL"), messages, parent), m_values(values), m_categories(categories),
      m_url(new QLineEdit(this)), m_saveAs(new QLineEdit(this)), m_checksum(new QLineEdit(this))
{
    auto* page = new QGridLayout(this);
    QGridLayout* grid = AddGroup(this, page, 0, tr("URL"));
    AddLabel(grid, 0, 0, tr("URL:"));
    grid->addWidget(m_url, 0, 1);
    AddLabel(grid, 1, 0, tr("Save as:"));
    grid->addWidget(m_saveAs, 1, 1);
    AddLabel(grid, 2, 0, tr("Checksum:"));
    grid->addWidget(m_checksum, 2, 1);
    m_checksum->setPlaceholderText(tr("optional: sha-256=… or the value sha256sum prints"));
    m_checksum->setToolTip(tr("The file is verified against this digest (SHA-256, SHA-512, SHA-1 or MD5) "
                              "before it is called downloaded."));
    page->setRowStretch(1, 1);
    m_url->setMinimumWidth(360);
    connect(m_url, &QLineEdit::textEdited, this, [this](const QString& url) {
        if (m_derivation) {
            m_saveAs->setText(ToQString(m_derivation->Derive(ToStdString(url))));
        }
    });
}

void CAddURL::OnInitDialog()
{
    m_derivation.emplace(m_values.targetFolder, m_categories);
    m_url->setText(ToQString(m_values.url));
    m_saveAs->setText(ToQString(SaveAsDerivation::DeriveOnShow(m_values.saveAs) ? m_derivation->Derive(m_values.url)
                                                                        : m_values.saveAs));
    m_checksum->setText(ToQString(m_values.checksum));
    m_url->setFocus();
}

bool CAddURL::OnKillActive()
{
    m_values.url = ToStdString(m_url->text());
    m_values.saveAs = ToStdString(m_saveAs->text());
    const std::string checksum = ToStdString(m_checksum->text());
    std::string reason;
    if (!DigestList::Parse(checksum, &reason)) {
        Notices().Warning("The checksum cannot be used: " + reason + ".");
        m_checksum->setFocus();
        return false;
    }
    m_values.checksum = checksum;
    return !m_values.url.empty() && !m_values.saveAs.empty();
}

}  // namespace dromo
