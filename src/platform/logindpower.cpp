#include "platform/logindpower.h"

#include <QDBusMessage>

namespace dromo {

LogindPower::LogindPower(QDBusConnection bus) : m_bus(std::move(bus))
{
}

bool LogindPower::PowerOff()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << false;  // not interactive: no authentication dialog
    return m_bus.call(call, QDBus::Block, 10000).type() == QDBusMessage::ReplyMessage;
}

}  // namespace dromo
