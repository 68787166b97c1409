#include "platform/desktopnotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "base/ports/shell.h"
#include "platform/basetexts.h"

namespace dromo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kOpen = QStringLiteral("open");
const QString kOpenFolder = QStringLiteral("folder");
const QString kDownload = QStringLiteral("download");

}  // namespace

DesktopNotifier::DesktopNotifier(Shell& shell, QDBusConnection bus, QObject* parent)
    : QObject(parent), m_shell(shell), m_bus(std::move(bus))
{
    // Any sender: the server's unique name changes when it restarts.
    m_bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this, SLOT(OnAction(uint, QString)));
    m_bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this, SLOT(OnClosed(uint, uint)));
}

void DesktopNotifier::Show(const DesktopNotice& notice)
{
    if (m_capabilities) {
        Send(notice);
        return;
    }
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(ask), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, notice](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QStringList> reply = *w;
        if (reply.isError()) {
            return;  // no server: this notice goes untold, the next one asks again
        }
        m_capabilities = reply.value();
        Send(notice);
    });
}

void DesktopNotifier::Send(const DesktopNotice& notice)
{
    QString body = BaseTexts::Lines(notice.body);
    // A file name is text, not markup, on servers that read markup.
    if (m_capabilities->contains(QStringLiteral("body-markup"))) {
        body = body.toHtmlEscaped();
    }
    QStringList actions;
    if (!notice.path.empty() && m_capabilities->contains(QStringLiteral("actions"))) {
        if (notice.canOpen) {
            actions << kOpen << tr("Open");
        }
        actions << kOpenFolder << tr("Open Folder");
    }
    if (!notice.offerUrl.empty() && m_capabilities->contains(QStringLiteral("actions"))) {
        actions << kDownload << tr("Download");
    }
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("dromo"));
    hints.insert(QStringLiteral("category"), !notice.offerUrl.empty() ? QStringLiteral("transfer")
                                             : notice.path.empty()    ? QStringLiteral("transfer.error")
                                                                      : QStringLiteral("transfer.complete"));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Dromo") << uint(0) << QStringLiteral("dromo") << BaseTexts::Shown(notice.summary) << body
         << actions << hints << -1;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    const std::string path = notice.path;
    const std::string offer = notice.offerUrl;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, path, offer](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<uint> reply = *w;
        if (!reply.isError() && !path.empty()) {
            m_paths[reply.value()] = path;
        }
        if (!reply.isError() && !offer.empty()) {
            m_offers[reply.value()] = offer;
        }
    });
}

void DesktopNotifier::OnAction(uint id, const QString& action)
{
    if (const auto offered = m_offers.find(id); offered != m_offers.end() && action == kDownload) {
        const QString url = QString::fromStdString(offered->second);
        m_offers.erase(offered);
        emit DownloadWanted(url);
        return;
    }
    const auto found = m_paths.find(id);
    if (found == m_paths.end()) {
        return;  // another program's notice, or one this run did not send
    }
    if (action == kOpen) {
        m_shell.Open(found->second);
    } else if (action == kOpenFolder) {
        m_shell.ShowItem(found->second);
    }
}

void DesktopNotifier::OnClosed(uint id, uint)
{
    m_paths.erase(id);
    m_offers.erase(id);
}

}  // namespace dromo
