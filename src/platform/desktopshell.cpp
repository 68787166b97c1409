#include "platform/desktopshell.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include <memory>

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
    const QUrl local = LocalUrl(text);
    return !local.isEmpty() && QDesktopServices::openUrl(local);
}

QUrl DesktopShell::LocalUrl(const QString& path)
{
    if (QFileInfo::exists(path)) {
        return QUrl::fromLocalFile(path);
    }
    // A page of the guide at one of its sections: "page.html#section".
    const qsizetype hash = path.lastIndexOf(QLatin1Char('#'));
    if (hash <= 0 || !QFileInfo(path.left(hash)).isFile()) {
        return {};
    }
    QUrl page = QUrl::fromLocalFile(path.left(hash));
    page.setFragment(path.mid(hash + 1));
    return page;
}

void DesktopShell::OpenPage(const std::string& path, std::function<void()> failed)
{
    const QUrl page = LocalUrl(QString::fromStdString(path));
    if (page.isEmpty()) {
        failed();
        return;
    }
    // No parent: a browser that xdg-open waits for outlives the program's
    // exit, which would otherwise end it. The object goes when it ends.
    auto* opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({page.toString(QUrl::FullyEncoded)});
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    auto once = std::make_shared<std::function<void()>>(std::move(failed));
    auto fail = [once] {
        if (*once) {
            auto call = std::move(*once);
            *once = nullptr;
            call();
        }
    };
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, fail](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            fail();
            opener->deleteLater();
        }
    });
    QObject::connect(opener, &QProcess::finished, opener, [opener, fail](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0) {
            fail();
        }
        opener->deleteLater();
    });
    opener->start();
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
