#include "gui/dialogs/options/ccfgauto.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

#include "gui/widgets/pagewidgets.h"

namespace dromo {
namespace {

std::int32_t GlobalOptions::*const kSwitches[4] = {&GlobalOptions::captureClicksInIE, &GlobalOptions::captureClicksInNV,
                                                   &GlobalOptions::captureAllFtp, &GlobalOptions::startWithBrowser};

}  // namespace

CCfgAuto::CCfgAuto(GlobalOptions& options, Messages& messages)
    : CPropertyPage(tr("Automation"), messages), m_options(options)
{
    const QString labels[4] = {tr("Capture Clicks in Chromium, Chrome, Edge and Brave"),
                               tr("Capture Clicks in Firefox"), tr("Capture All FTP"), tr("Start with Browser")};
    auto* page = new QGridLayout(this);
    QGridLayout* grid = AddGroup(this, page, 0, tr("Browser Integration"));
    for (int i = 0; i < 4; ++i) {
        m_checks[i] = new QCheckBox(labels[i], this);
        grid->addWidget(m_checks[i], i, 0, 1, 2);
    }
    // Made in the order Tab reads them: the browsers, their types, then the
    // clipboard.
    m_types = new QPlainTextEdit(this);
    m_watch = new QCheckBox(this);
    QLabel* typesLabel = AddLabel(grid, 4, 0, tr("File Types:"));
    grid->addWidget(m_types, 5, 0, 1, 2);
    m_types->setTabChangesFocus(true);
    m_types->setMaximumHeight(90);
    QGridLayout* clipboard = AddGroup(this, page, 1, tr("Clipboard"));
    clipboard->addWidget(m_watch, 0, 0);
    page->setRowStretch(2, 1);
    for (int i = 0; i < 2; ++i) {
        connect(m_checks[i], &QCheckBox::clicked, this, [this] { ApplyReadOnly(); });
    }
    // The field holds at most 1024 characters, as typed or pasted.
    connect(m_types, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_types->toPlainText();
        if (text.size() > kFileTypesLimit) {
            m_types->setPlainText(text.left(kFileTypesLimit));
            m_types->moveCursor(QTextCursor::End);
        }
        ShowWatchedTypes();
    });
    ShowWatchedTypes();

    AddHelp({m_checks[0]}, tr("Capture the download of the files in Chromium-family browsers (Chromium, Chrome, Edge, "
                              "Brave), whose type is defined in File Types field."));
    AddHelp({m_checks[1]}, tr("Capture the download of the files in Firefox, whose type is defined in File Types "
                              "field."));
    AddHelp({m_checks[2]}, tr("Capture all the FTP download."));
    AddHelp({m_checks[3]}, tr("Start Dromo when browser starts up."));
    AddHelp({m_watch}, tr("When a link to a file of a type in File Types field is copied, Dromo offers to download "
                          "it: the Add URL dialog, or a notice while its window is hidden."));
    AddHelp({typesLabel, m_types},
            tr("Specify the file extensions that can be captured by Dromo,  delimitated by blank space."));
}

void CCfgAuto::OnInitDialog()
{
    for (int i = 0; i < 4; ++i) {
        m_checks[i]->setChecked(m_options.*kSwitches[i] != 0);
    }
    m_types->setPlainText(ToQString(m_options.captureFileTypes));
    m_watch->setChecked(m_options.watchClipboard != 0);
    ApplyReadOnly();
}

// The copied links offered are those of the File Types field: the option
// names them, so a copied link of another type is not a surprise.
void CCfgAuto::ShowWatchedTypes()
{
    const QString types = m_types->toPlainText().simplified();
    m_watch->setText(types.isEmpty()
                         ? tr("Offer copied links to files of the types in File Types (none yet) for download")
                         : tr("Offer copied links to files of these types for download: %1")
                               .arg(types.size() > 60 ? types.left(57) + QStringLiteral("...") : types));
}

void CCfgAuto::ApplyReadOnly()
{
    m_types->setReadOnly(!m_checks[0]->isChecked() && !m_checks[1]->isChecked());
}

bool CCfgAuto::OnKillActive()
{
    for (int i = 0; i < 4; ++i) {
        m_options.*kSwitches[i] = m_checks[i]->isChecked() ? 1 : 0;
    }
    // The field wraps over lines, but the list is one line of blank-separated
    // extensions: a line break typed with Enter would glue two of them
    // together for the capture rules, so it counts as a blank.
    QString types = m_types->toPlainText();
    for (QChar& c : types) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')) {
            c = QLatin1Char(' ');
        }
    }
    m_options.captureFileTypes = ToStdString(types);
    m_options.watchClipboard = m_watch->isChecked() ? 1 : 0;
    return true;
}

}  // namespace dromo
