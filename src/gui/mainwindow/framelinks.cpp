// The main window's part in "Download all links with Dromo...": a page's
// links from a browser, listed for the user to pick from, and the chosen
// ones added in one go.

#include <QTimer>

#include "base/capture/linkchoice.h"
#include "base/core/autosaver.h"
#include "base/core/globaloptions.h"
#include "base/core/settingsstore.h"
#include "base/core/tasktable.h"
#include "gui/capture/linklistdialog.h"
#include "gui/mainwindow/cmainframe.h"

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
        list->show();
        list->raise();
        list->activateWindow();
    });
    return {};
}

QString CMainFrame::AddChosenLinks(const LinkChoice& choice)
{
    // One save for the lot, once every task is in the table.
    return choice.AddChosen(m_ctx.adder) > 0 ? SaveTakenTasks() : QString();
}

}  // namespace dromo
