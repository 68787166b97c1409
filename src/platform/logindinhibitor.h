#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include "base/view/desktopwatch.h"

namespace dromo {

// Holds a systemd-logind inhibitor lock against idle suspend: logind keeps
// it while the descriptor it hands out stays open, so releasing is closing
// it (as does the program's end, however it ends). The request is
// asynchronous; without logind nothing is held and nothing is said.
class LogindInhibitor : public QObject, public SleepInhibitor {
    Q_OBJECT
public:
    explicit LogindInhibitor(QDBusConnection bus = QDBusConnection::systemBus(), QObject* parent = nullptr);
    void Take() override;
    void Release() override;
    bool Holding() const { return m_lock.isValid(); }

private:
    QDBusConnection m_bus;
    QDBusUnixFileDescriptor m_lock;
    bool m_wanted = false;
    bool m_asking = false;
};

}  // namespace dromo
