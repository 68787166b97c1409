#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <functional>

namespace dromo {

// The capture object on the session bus: name DROMO.URLMonitor, object
// /URLMonitor, interface DROMO.URLMonitor, method AddURL(s). The caller's
// reply is sent once the window has handled the URL: at once for a quick
// add (the task saved first), after the Add URL sheet closed when it asks.
// A refused URL gets an error reply (kRefused) with the text of the refusal.
class CURLHook : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "DROMO.URLMonitor")
public:
    static constexpr const char* kService = "DROMO.URLMonitor";
    static constexpr const char* kPath = "/URLMonitor";
    static constexpr const char* kRefused = "DROMO.URLMonitor.Refused";

    // `handOver` takes a URL and calls `done` once it has been handled, with
    // an empty text when it was taken, else with what refused it.
    using Done = std::function<void(const QString& refusal)>;
    using HandOver = std::function<void(const QString& url, Done done)>;

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

// What became of URLs handed to a running Dromo.
struct HandOverResult {
    bool answered = false;  // a Dromo owned the name (and so took the URLs)
    QStringList errors;     // "URL: why", one for each URL it refused or lost
};

// Hands URLs to a running Dromo through its capture object. With `waitMs`,
// first waits that long for the name to be owned: a Dromo that holds the
// instance lock may still be starting.
HandOverResult SendUrlsToRunningInstance(const QStringList& urls, int waitMs = 0,
                                         QDBusConnection bus = QDBusConnection::sessionBus());

}  // namespace dromo
