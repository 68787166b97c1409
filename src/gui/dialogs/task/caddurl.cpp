#include "gui/dialogs/task/caddurl.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "base/forms/urlbatch.h"
#include "base/ports/messages.h"
#include "base/text/digestlist.h"
#include "base/text/textutil.h"
#include "base/text/variantchoice.h"
#include "gui/widgets/pagewidgets.h"
#include "platform/basetexts.h"

namespace dromo {

CAddURL::CAddURL(TaskPageValues& values, const CategoryList* categories, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("URL"), messages, parent), m_values(values), m_categories(categories),
      m_url(new QLineEdit(this)), m_saveAs(new QLineEdit(this)), m_count(new QLabel(this)),
      m_checksum(new QLineEdit(this)), m_variant(new QLineEdit(this))
{
    auto* page = new QGridLayout(this);
    QGridLayout* grid = AddGroup(this, page, 0, tr("URL"));
    AddLabel(grid, 0, 0, tr("URL:"));
    grid->addWidget(m_url, 0, 1);
    grid->addWidget(m_count, 1, 1);
    AddLabel(grid, 2, 0, tr("Save as:"));
    grid->addWidget(m_saveAs, 2, 1);
    AddLabel(grid, 3, 0, tr("Checksum:"));
    grid->addWidget(m_checksum, 3, 1);
    m_checksum->setPlaceholderText(tr("optional: sha-256=… or the value sha256sum prints"));
    m_checksum->setToolTip(
        tr("The file is verified against this digest (SHA-256, SHA-512, SHA-1 or MD5) "
           "before it is called downloaded."));
    AddLabel(grid, 4, 0, tr("Video variant:"));
    grid->addWidget(m_variant, 4, 1);
    m_variant->setPlaceholderText(tr("best, or lowest, 720p, 1280x720, 2500k"));
    m_variant->setToolTip(
        tr("For a video stream (an HLS playlist or a DASH manifest): the variant to record. A height, "
           "resolution or bandwidth takes the best variant that does not exceed it."));
    page->setRowStretch(1, 1);
    m_url->setMinimumWidth(360);
    m_count->setWordWrap(true);
    m_count->setVisible(false);
    connect(m_url, &QLineEdit::textEdited, this, &CAddURL::UrlEdited);
    connect(m_url, &QLineEdit::textChanged, this, &CAddURL::ShowCount);
}

void CAddURL::UrlEdited(const QString& text)
{
    if (!m_derivation) {
        return;
    }
    if (!m_values.manyUrls) {
        m_saveAs->setText(ToQString(m_derivation->Derive(ToStdString(text))));
        return;
    }
    // Many URLs each keep their own name: "Save as" shows their folder.
    const UrlBatch batch = ReadUrlBatch(ToStdString(text));
    if (!batch.many) {
        m_saveAs->setText(ToQString(m_derivation->Derive(batch.urls.empty() ? std::string() : batch.urls.front())));
    } else {
        // A faulty pattern still means many files: their folder, not a name.
        if (!batch.urls.empty()) {
            m_derivation->Derive(batch.urls.front());
        }
        m_saveAs->setText(ToQString(m_derivation->Folder()));
    }
}

void CAddURL::ShowCount()
{
    // A pasted list shows as one line here (its breaks as blanks): the count
    // says what it holds.
    const QString summary =
        m_values.manyUrls ? BaseTexts::Shown(ReadUrlBatch(ToStdString(m_url->text())).Summary()) : QString();
    m_count->setText(summary);
    m_count->setVisible(!summary.isEmpty());
}

void CAddURL::OnInitDialog()
{
    m_derivation.emplace(m_values.targetFolder, m_categories);
    m_url->setText(ToQString(m_values.url));
    m_saveAs->setText(ToQString(SaveAsDerivation::DeriveOnShow(m_values.saveAs) ? m_derivation->Derive(m_values.url)
                                                                                : m_values.saveAs));
    m_checksum->setText(ToQString(m_values.checksum));
    m_variant->setText(ToQString(m_values.variant));
    m_url->setFocus();
}

QString CAddURL::StayReason() const
{
    if (!m_url->text().isEmpty() && !m_saveAs->text().isEmpty()) {
        return {};  // refused for a reason a message box already gave
    }
    return tr("Enter a URL first: the other tabs open once the URL and \"Save as\" are filled in.");
}

bool CAddURL::OnKillActive()
{
    m_values.url = ToStdString(m_url->text());
    m_values.saveAs = ToStdString(m_saveAs->text());
    const std::string checksum = ToStdString(m_checksum->text());
    if (m_values.manyUrls) {
        const UrlBatch batch = ReadUrlBatch(m_values.url);
        if (!batch.error.empty()) {
            Notices().Warning(batch.error);
            m_url->setFocus();
            return false;
        }
        // One digest fits one file: given to many, all but one would fail.
        if (batch.many && !TrimBlanks(checksum).empty()) {
            Notices().Warning("A checksum belongs to one file: leave it empty when adding several URLs.");
            m_checksum->setFocus();
            return false;
        }
    }
    std::string reason;
    if (!DigestList::Parse(checksum, &reason)) {
        Notices().Warning("The checksum cannot be used: " + reason + ".");
        m_checksum->setFocus();
        return false;
    }
    m_values.checksum = checksum;
    const std::string variant = ToStdString(m_variant->text());
    if (!VariantChoice::Parse(variant)) {
        Notices().Warning(
            "The video variant cannot be used: give best, lowest, a height (720p), a resolution "
            "(1280x720) or a bandwidth (2500k).");
        m_variant->setFocus();
        return false;
    }
    m_values.variant = variant;
    return !m_values.url.empty() && !m_values.saveAs.empty();
}

}  // namespace dromo
