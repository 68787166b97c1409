#include "gui/dialogs/options/ccfggen.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/widgets/filechooser.h"
#include "gui/widgets/numberfield.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {
namespace {

std::int32_t GlobalOptions::*const kFlags[CCfgGen::kChecks] = {
    &GlobalOptions::deleteIfDone, &GlobalOptions::resumeIfStart,  &GlobalOptions::enableCookie,
    &GlobalOptions::popupDialog,  &GlobalOptions::notifyWhenDone, &GlobalOptions::keepAwake};

}  // namespace

CCfgGen::CCfgGen(GlobalOptions& options, FileChooser& files, Messages& messages, std::function<void()> clearHistory)
    : CPropertyPage(tr("General"), messages), m_options(options), m_saveTo(new QLineEdit(this)),
      m_browse(new QPushButton(tr(">>"), this)), m_user(new QLineEdit(this)), m_password(new QLineEdit(this)),
      m_maxHistory(new NumberField(this)), m_clearAll(new QPushButton(tr("Clear All"), this))
{
    m_password->setEchoMode(QLineEdit::Password);
    m_saveTo->setMinimumWidth(300);
    auto* page = new QGridLayout(this);
    QGridLayout* file = AddGroup(this, page, 0, tr("File"));
    QLabel* saveLabel = AddLabel(file, 0, 0, tr("Save to:"));
    file->addWidget(m_saveTo, 0, 1);
    file->addWidget(m_browse, 0, 2);
    QGridLayout* identity = AddGroup(this, page, 1, tr("Identity"));
    QLabel* userLabel = AddLabel(identity, 0, 0, tr("User:"));
    identity->addWidget(m_user, 0, 1);
    QLabel* passwordLabel = AddLabel(identity, 1, 0, tr("Password:"));
    identity->addWidget(m_password, 1, 1);
    QGridLayout* history = AddGroup(this, page, 2, tr("History"));
    QLabel* historyLabel = AddLabel(history, 0, 0, tr("Max ListBox Item:"));
    history->addWidget(m_maxHistory, 0, 1);
    history->addWidget(m_clearAll, 0, 3);
    history->setColumnStretch(2, 1);
    const QString labels[kChecks] = {tr("Delete task from list after done"),
                                     tr("Resume all tasks after running"),
                                     tr("Enable cookie"),
                                     tr("Popup Add URL dialog"),
                                     tr("Notify when downloads are done"),
                                     tr("Keep the computer awake while downloading")};
    for (int i = 0; i < kChecks; ++i) {
        m_checks[i] = new QCheckBox(labels[i], this);
        page->addWidget(m_checks[i], 3 + i, 0);
    }
    page->setRowStretch(3 + kChecks, 1);
    connect(m_browse, &QPushButton::clicked, this,
            [this, &files] { BrowseForFolder(this, files, Notices(), m_saveTo); });
    // The address bar empties at once, whatever OK or Cancel does later.
    connect(m_clearAll, &QPushButton::clicked, this, [clearHistory] { clearHistory(); });

    AddHelp({saveLabel, m_saveTo}, tr("Enter the default location to store the downloaded files."));
    AddHelp({m_browse}, tr("Open the Browse for Folder dialog to select a folder."));
    AddHelp({userLabel, m_user}, tr("Enter the default user id used in each FTP session."));
    AddHelp({passwordLabel, m_password}, tr("Enter the default password used in each FTP session."));
    AddHelp({historyLabel, static_cast<QWidget*>(m_maxHistory)},
            tr("Enter the max value for the items in address bar, the acceptable range is 5 to 20."));
    AddHelp({m_clearAll}, tr("Clear all the content in address bar."));
    AddHelp({m_checks[0]}, tr("Determine whether you want to remove all the successful task from list immediately."));
    AddHelp({m_checks[1]}, tr("Determine whether you want to start all the unfinished tasks once Dromo starts."));
    AddHelp({m_checks[2]}, tr("Allow Dromo to retrieve proper cookies from IE and send them to remote host."));
    AddHelp({m_checks[3]}, tr("Determine whether you want the AddURL dialog to popup when Dromo captures the "
                              "downloading from browsers."));
    AddHelp({m_checks[4]}, tr("Show a desktop notification when downloads finish or fail for good."));
    AddHelp({m_checks[5]}, tr("Keep the computer from suspending when idle while a download runs."));
}

void CCfgGen::OnInitDialog()
{
    m_saveTo->setText(ToQString(m_options.saveTo));
    m_user->setText(ToQString(m_options.username));
    m_password->setText(ToQString(m_options.password));
    m_maxHistory->SetValue(m_options.maxHistoryItem);
    for (int i = 0; i < kChecks; ++i) {
        m_checks[i]->setChecked(m_options.*kFlags[i] != 0);
    }
}

bool CCfgGen::OnKillActive()
{
    if (!TakeInt(m_maxHistory, 5, 20, m_options.maxHistoryItem)) {
        return false;
    }
    m_options.saveTo = ToStdString(m_saveTo->text());
    m_options.username = ToStdString(m_user->text());
    m_options.password = ToStdString(m_password->text());
    for (int i = 0; i < kChecks; ++i) {
        m_options.*kFlags[i] = m_checks[i]->isChecked() ? 1 : 0;
    }
    return true;
}

}  // namespace dromo
