// The window's side of the hand-overs from outside: what the desk asks it
// to show or ask, the address bar's Return and "Refresh Address…".

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QStatusBar>

#include "base/commands/addresshistory.h"
#include "base/ports/messages.h"
#include "base/ports/shell.h"
#include "base/tasks/tasktable.h"
#include "base/text/clipboardurl.h"
#include "base/text/filenames.h"
#include "base/text/urllines.h"
#include "gui/mainwindow/cmainframe.h"

namespace dromo {

void CMainFrame::AddTyped(const QString& text)
{
    // A copied list of links pasted into the box is a task a line, as a
    // drop; each the user's own add, in the window.
    const TaskAdder::UserAdds asking = m_desk->UserAdds();
    const std::vector<std::string> lines = UrlLines(text.toStdString());
    if (lines.empty()) {
        m_ctx.addresses.QuickAdd(text.toStdString());  // nothing to add: refused as always
        LoadHistoryBox(text.toStdString());
    }
    for (const std::string& line : lines) {
        AddFromAddressBar(line);
    }
}

// The first change of a pass of the loop shows at once; the rest of a burst
// (hundreds of URLs handed over in one call) once, at the end of the pass,
// with the last URL added.
void CMainFrame::HistoryChanged(const std::string& added)
{
    if (m_historyDue) {
        m_historyAdded = added;
        return;
    }
    LoadHistoryBox(added);
    m_historyDue = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_historyDue = false;
            if (m_historyAdded) {
                LoadHistoryBox(*std::exchange(m_historyAdded, std::nullopt));
            }
        },
        Qt::QueuedConnection);
}

std::optional<QString> CMainFrame::AskAddUrl(const QString& text, const DownloadDetails* details)
{
    return OpenAddUrl(text, details);
}

void CMainFrame::ContinuesFromNewAddress(const QString& name)
{
    statusBar()->showMessage(tr("The task %1 continues from its new address.").arg(name), 30000);
}

void CMainFrame::RefreshAddress(TaskId taskId)
{
    const std::optional<TaskRecord> task = m_ctx.table.CopyOut(m_ctx.table.RowOf(taskId));
    if (!task || !task->WaitsForNewAddress()) {
        return;
    }
    const QString name = QString::fromStdString(NameOfPath(task->saveAs));
    if (!task->referrer.empty()) {
        // The site hands out a fresh signed link to whoever asks on its
        // page: the browser's next hand-over of the file is checked as any.
        m_ctx.shell.OpenPage(task->referrer, [] {});
        statusBar()->showMessage(
            tr("Click the download of %1 again on its page; the task continues from the new address.").arg(name),
            60000);
        return;
    }
    QInputDialog ask(this);
    ask.setWindowTitle(tr("Refresh Address"));
    ask.setLabelText(tr("The new address of %1:").arg(name));
    ask.setTextValue(QString::fromStdString(UrlFromClipboard(QApplication::clipboard()->text().toStdString())));
    // Wide enough that a signed link shows its path and most of its query.
    ask.resize(std::max(ask.sizeHint().width(), ask.fontMetrics().averageCharWidth() * 72), ask.sizeHint().height());
    const QString url = ask.exec() == QDialog::Accepted ? ask.textValue().trimmed() : QString();
    if (url.isEmpty()) {
        return;
    }
    const bool checking = m_desk->RefreshFrom(taskId, url.toStdString());
    if (!checking) {
        m_ctx.messages.Warning(AddResultMessage(AddResult::InvalidUrl));
    }
}

}  // namespace dromo
