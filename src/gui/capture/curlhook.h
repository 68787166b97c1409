#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <functional>

namespace dromo {

// The capture object on the session bus: name DROMO.URLMonitor, object
// /URLMonitor, interface DROMO.URLMonitor, method AddURL(s). The caller's
// reply is sent only after the window has handled the URL, so a caller
// waits while a dialog asks about it.
class CURLHook : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "DROMO.URLMonitor")
public:
    static constexpr const char* kService = "DROMO.URLMonitor";
    static constexpr const char* kPath = "/URLMonitor";

    // `handOver` takes a URL and calls `done` once it has been handled.
    using HandOver = std::function<void(const QString& url, std::function<void()> done)>;

    CURLHook(HandOver handOver, QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~CURLHook() override;

    // Takes the name and publishes the object. A name already owned by
    // another Dromo is not reported: the first instance serves every client.
    bool Register();
    bool OwnsName() const { return m_ownsName; }

    // The D-Bus service file that lets a call start Dromo ("--automation").
    static QString ServiceFilePath();
    static bool WriteServiceFile(const QString& program);

public slots:
    Q_SCRIPTABLE void AddURL(const QString& url, const QDBusMessage& message);

private:
    HandOver m_handOver;
    QDBusConnection m_bus;
    bool m_ownsName = false;
};

// Hands URLs to a running Dromo through its capture object; false when no
// instance answered.
bool SendUrlsToRunningInstance(const QStringList& urls, QDBusConnection bus = QDBusConnection::sessionBus());

}  // namespace dromo
