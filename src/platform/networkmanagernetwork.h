#pragma once

#include <QDBusConnection>
#include <QString>
#include <mutex>

#include "base/ports/network.h"

namespace dromo {

// The network as NetworkManager sees it. Connected means full global
// connectivity; a modem connection is a mobile-broadband or DSL/dial-up one
// (types gsm, cdma, pppoe, adsl). Dialling activates the last such
// connection seen, hanging up deactivates it. Without NetworkManager on the
// bus: connected, no modem, nothing to dial. Safe to call from any thread.
class NetworkManagerNetwork : public Network {
public:
    explicit NetworkManagerNetwork(QDBusConnection bus = QDBusConnection::systemBus());

    ConnectionState GetConnectedState() override;
    bool Dial() override;
    bool HangUp() override;

private:
    bool Available();

    QDBusConnection m_bus;
    std::mutex m_mutex;
    bool m_lastWasModem = false;
    QString m_modemConnection;  // settings path of the last modem connection
    QString m_modemDevice;
    QString m_modemActive;  // its active-connection path while up
};

}  // namespace dromo
