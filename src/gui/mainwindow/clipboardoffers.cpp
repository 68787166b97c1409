#include "gui/mainwindow/clipboardoffers.h"

#include <QApplication>
#include <QClipboard>
#include <QTimer>

#include "base/ports/notifications.h"
#include "base/tasks/tasktable.h"
#include "base/values/globaloptions.h"

namespace dromo {

ClipboardOffers::ClipboardOffers(TaskTable& table, const GlobalOptions& options, Notifications& notices,
                                 std::function<bool()> windowShown, OpenSheet openSheet, QObject* parent)
    : QObject(parent), m_table(table), m_options(options), m_notices(notices), m_windowShown(std::move(windowShown)),
      m_openSheet(std::move(openSheet))
{
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &ClipboardOffers::ClipboardChanged);
}

void ClipboardOffers::ClipboardChanged()
{
    std::string types;
    {
        auto guard = m_table.Lock();  // workers read the options under it
        if (m_options.watchClipboard == 0) {
            return;
        }
        types = m_options.captureFileTypes;
    }
    const std::string url = m_watch.Offer(QApplication::clipboard()->text().toStdString(), types);
    if (url.empty()) {
        return;
    }
    // A sheet or box already up keeps the user's attention: the offer waits
    // in a notice rather than stacking a second modal sheet over it.
    if (m_windowShown() && QApplication::activeModalWidget() == nullptr) {
        QTimer::singleShot(0, this, [this, link = QString::fromStdString(url)] { m_openSheet(link); });
        return;
    }
    DesktopNotice notice;
    notice.summary = tr("Download the copied link?").toStdString();
    notice.body = url;
    notice.offerUrl = url;
    m_notices.Show(notice);
}

}  // namespace dromo
