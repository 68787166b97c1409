#include "platform/networkmanagernetwork.h"

#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>

namespace dromo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManager = QStringLiteral("org.freedesktop.NetworkManager");
const QString kActive = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
constexpr unsigned kConnectedGlobal = 70;

QVariant Property(const QDBusConnection& bus, const QString& path, const QString& interface, const QString& name)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << interface << name;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().first().value<QDBusVariant>().variant();
}

QString PathOf(const QVariant& v)
{
    return v.value<QDBusObjectPath>().path();
}

bool IsModemType(const QString& type)
{
    return type == QLatin1String("gsm") || type == QLatin1String("cdma") || type == QLatin1String("pppoe") ||
           type == QLatin1String("adsl");
}

}  // namespace

NetworkManagerNetwork::NetworkManagerNetwork(QDBusConnection bus) : m_bus(std::move(bus))
{
}

bool NetworkManagerNetwork::Available()
{
    return m_bus.isConnected() && m_bus.interface() && m_bus.interface()->isServiceRegistered(kService);
}

ConnectionState NetworkManagerNetwork::GetConnectedState()
{
    if (!Available()) {
        return {true, false};
    }
    const QVariant state = Property(m_bus, kManagerPath, kManager, QStringLiteral("State"));
    const bool connected = !state.isValid() || state.toUInt() >= kConnectedGlobal;
    const QString primary = PathOf(Property(m_bus, kManagerPath, kManager, QStringLiteral("PrimaryConnection")));

    std::lock_guard lock(m_mutex);
    if (!primary.isEmpty() && primary != QLatin1String("/")) {
        const QString type = Property(m_bus, primary, kActive, QStringLiteral("Type")).toString();
        m_lastWasModem = IsModemType(type);
        if (m_lastWasModem) {
            m_modemActive = primary;
            m_modemConnection = PathOf(Property(m_bus, primary, kActive, QStringLiteral("Connection")));
            const auto devices =
                qdbus_cast<QList<QDBusObjectPath>>(Property(m_bus, primary, kActive, QStringLiteral("Devices")));
            m_modemDevice = devices.isEmpty() ? QStringLiteral("/") : devices.first().path();
        }
    }
    // With no primary connection (the line is down) the machine still goes
    // online by modem if that is how it went last.
    return {connected, m_lastWasModem};
}

bool NetworkManagerNetwork::Dial()
{
    std::lock_guard lock(m_mutex);
    if (m_modemConnection.isEmpty() || !Available()) {
        return false;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kManagerPath, kManager, QStringLiteral("ActivateConnection"));
    call << QVariant::fromValue(QDBusObjectPath(m_modemConnection))
         << QVariant::fromValue(QDBusObjectPath(m_modemDevice.isEmpty() ? QStringLiteral("/") : m_modemDevice))
         << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")));
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, 30000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return false;
    }
    m_modemActive = reply.arguments().isEmpty() ? QString() : PathOf(reply.arguments().first());
    return true;
}

bool NetworkManagerNetwork::HangUp()
{
    std::lock_guard lock(m_mutex);
    if (m_modemActive.isEmpty() || !Available()) {
        return false;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kManagerPath, kManager, QStringLiteral("DeactivateConnection"));
    call << QVariant::fromValue(QDBusObjectPath(m_modemActive));
    const bool ok = m_bus.call(call, QDBus::Block, 30000).type() == QDBusMessage::ReplyMessage;
    if (ok) {
        m_modemActive.clear();
    }
    return ok;
}

}  // namespace dromo
