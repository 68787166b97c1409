#include "desktopshell.h"

#include <QDesktopServices>
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
    if (!QFileInfo::exists(text)) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(text));
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

}  // namespace dromo
