#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

#include <map>
#include <optional>
#include <string>

#include "base/view/desktopwatch.h"

namespace dromo {

class Shell;

// Desktop notifications through org.freedesktop.Notifications. Every call
// is asynchronous, so a slow or missing server never holds the program up;
// without one, nothing is shown and nothing is said. Where the server
// offers actions, a notice about a finished file carries "Open" and "Open
// Folder", which go to the shell, and a notice offering a link carries
// "Download", which DownloadWanted hands on.
class DesktopNotifier : public QObject, public Notifications {
    Q_OBJECT
public:
    explicit DesktopNotifier(Shell& shell, QDBusConnection bus = QDBusConnection::sessionBus(),
                             QObject* parent = nullptr);
    void Show(const DesktopNotice& notice) override;

signals:
    void DownloadWanted(const QString& url);

private slots:
    void OnAction(uint id, const QString& action);
    void OnClosed(uint id, uint reason);

private:
    void Send(const DesktopNotice& notice);

    Shell& m_shell;
    QDBusConnection m_bus;
    std::optional<QStringList> m_capabilities;  // asked once, at the first notice
    std::map<uint, std::string> m_paths;        // notice id -> the file its actions act on
    std::map<uint, std::string> m_offers;       // notice id -> the link its "Download" adds
};

}  // namespace dromo
