#include "platform/logindinhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace dromo {

LogindInhibitor::LogindInhibitor(QDBusConnection bus, QObject* parent) : QObject(parent), m_bus(std::move(bus))
{
}

void LogindInhibitor::Take()
{
    m_wanted = true;
    if (m_asking || m_lock.isValid()) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("idle") << QStringLiteral("Dromo") << tr("Downloading files") << QStringLiteral("block");
    m_asking = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        m_asking = false;
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        if (reply.isError() || !m_wanted) {
            return;  // no logind, or everything ended while it answered (the reply's copy closes)
        }
        m_lock = reply.value();
    });
}

void LogindInhibitor::Release()
{
    m_wanted = false;
    m_lock = QDBusUnixFileDescriptor();  // closes our copy: logind lets go
}

}  // namespace dromo
