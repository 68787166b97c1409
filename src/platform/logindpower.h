#pragma once

#include <QDBusConnection>

#include "base/ports/power.h"

namespace dromo {

// Powers the computer off through systemd-logind. Without the right to do
// so (or without logind) the call fails quietly: the program still exits.
class LogindPower : public Power {
public:
    explicit LogindPower(QDBusConnection bus = QDBusConnection::systemBus());
    bool PowerOff() override;

private:
    QDBusConnection m_bus;
};

}  // namespace dromo
