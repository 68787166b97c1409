// The main window's ways of adding many tasks at once: a page's links from
// a browser ("Download all links with Dromo..."), listed for the user to
// pick from, and the Add URL sheet's pattern or list; each lot is saved once.
// Also the copied links "Watch Clipboard" offers.

#include <QTimer>

#include "base/capture/linkchoice.h"
#include "base/commands/taskadder.h"
#include "base/storage/autosaver.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "base/values/globaloptions.h"
#include "gui/capture/linklistdialog.h"
#include "gui/mainwindow/clipboardoffers.h"
#include "gui/mainwindow/cmainframe.h"
#include "gui/mainwindow/helptopic.h"

namespace dromo {

QString CMainFrame::OfferLinks(const std::vector<OfferedLink>& links)
{
    std::string fileTypes;
    bool allFtp = false;
    {
        auto guard = m_ctx.table.Lock();
        fileTypes = m_ctx.settings.options.captureFileTypes;
        allFtp = m_ctx.settings.options.captureAllFtp != 0;
    }
    LinkChoice choice(links, fileTypes, allFtp);
    if (const std::string refusal = choice.Refusal(); !refusal.empty()) {
        return QString::fromStdString(refusal);
    }
    // The list opens from the event loop: whoever offered the links has its
    // answer first and never waits for the user.
    QTimer::singleShot(0, this, [this, choice = std::move(choice)] {
        auto* list = new LinkListDialog(
            choice, [this](const LinkChoice& chosen) { ShowNotice(AddChosenLinks(chosen).toStdString()); }, this);
        list->setAttribute(Qt::WA_DeleteOnClose);
        HelpTopic::Mark(list, QStringLiteral("browser.html#download-links"));
        list->show();
        list->raise();
        list->activateWindow();
    });
    return {};
}

QString CMainFrame::AddChosenLinks(const LinkChoice& choice)
{
    // One save for the lot, once every task is in the table.
    return choice.AddChosen(m_ctx.adder) > 0 ? m_desk->SaveTakenTasks() : QString();
}

void CMainFrame::WatchClipboard(Notifications* notices)
{
    delete m_clipboard;
    m_clipboard = nullptr;
    if (notices != nullptr) {
        m_clipboard = new ClipboardOffers(
            m_ctx.table, m_ctx.settings.options, *notices, [this] { return MainWindowShown(); },
            [this](const QString& url) { OpenAddUrl(url); }, this);
    }
}

QString CMainFrame::AddUrlBatch(const std::vector<std::string>& urls, const TaskRecord& record)
{
    int added = 0;
    std::string refusal;
    for (const std::string& url : urls) {
        const AddResult result = m_ctx.adder.AddTaskFromRecord(url, record);
        if (result == AddResult::Added) {
            ++added;
        } else if (refusal.empty()) {
            refusal = AddResultMessage(result);
        }
        if (result == AddResult::TooManyTasks) {
            break;  // every later one would be refused the same way
        }
    }
    QString saved = added > 0 ? m_desk->SaveTakenTasks() : QString();
    if (refusal.empty()) {
        return saved;
    }
    // English, as every answer on the bus; BaseTexts shows it translated.
    const QString notAdded = QStringLiteral("%1 of %2 URLs were added; the others were refused: %3")
                                 .arg(added)
                                 .arg(urls.size())
                                 .arg(QString::fromStdString(refusal));
    return saved.isEmpty() ? notAdded : notAdded + QLatin1Char('\n') + saved;
}

}  // namespace dromo
