#pragma once

#include <QDBusConnection>
#include <QUrl>

#include "base/ports/shell.h"

namespace dromo {

// Opens files and pages with the desktop's default program (through
// QDesktopServices, that is xdg-open) and starts programs with an argument
// list, never through a shell.
class DesktopShell : public Shell {
public:
    explicit DesktopShell(QDBusConnection bus = QDBusConnection::sessionBus()) : m_bus(std::move(bus)) {}
    // A local file that is not there fails at once, so the caller can say so.
    bool Open(const std::string& path) override;
    // Through xdg-open, whose exit status tells whether a program showed
    // the page (QDesktopServices only tells whether xdg-open started).
    void OpenPage(const std::string& path, std::function<void()> failed) override;
    bool Start(const std::string& program, const std::vector<std::string>& arguments) override;
    // Asks the file manager (org.freedesktop.FileManager1) to show the file;
    // without one, or when it refuses, the folder is opened instead. False
    // when the file is not there.
    bool ShowItem(const std::string& path) override;

private:
    // The file URL of a local path, "page.html#section" too; empty when the
    // file is not there.
    static QUrl LocalUrl(const QString& path);

    QDBusConnection m_bus;
};

}  // namespace dromo
