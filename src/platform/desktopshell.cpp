#include "platform/desktopshell.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace dromo {

bool DesktopShell::Open(const std::string& path)
{
    const QString text = QString::fromStdString(path);
    const QUrl given(text);
    const bool remote = given.isValid() && !given.scheme().isEmpty() && given.scheme().size() > 1 &&
                        given.scheme() != QLatin1String("file");
    if (remote) {
        return QDesktopServices::openUrl(given);
    }
    if (QFileInfo::exists(text)) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(text));
    }
    // A page of the guide at one of its sections: "page.html#section".
    const qsizetype hash = text.lastIndexOf(QLatin1Char('#'));
    if (hash <= 0 || !QFileInfo(text.left(hash)).isFile()) {
        return false;
    }
    QUrl page = QUrl::fromLocalFile(text.left(hash));
    page.setFragment(text.mid(hash + 1));
    return QDesktopServices::openUrl(page);
}

bool DesktopShell::Start(const std::string& program, const std::vector<std::string>& arguments)
{
    if (program.empty()) {
        return false;
    }
    QStringList args;
    for (const std::string& a : arguments) {
        args << QString::fromStdString(a);
    }
    return QProcess::startDetached(QString::fromStdString(program), args);
}

bool DesktopShell::ShowItem(const std::string& path)
{
    const QFileInfo file(QString::fromStdString(path));
    if (!file.exists()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous: a file manager that starts slowly does not hold the window.
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call));
    const QString folder = file.absolutePath();
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [folder](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError()) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
        }
    });
    return true;
}

}  // namespace dromo
