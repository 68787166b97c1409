#include "platform/platformpaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace dromo {
namespace {

std::string WithSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder.toStdString();
}

QString ProgramFolder()
{
    // Works without a QCoreApplication, unlike applicationDirPath().
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return QFileInfo(self.canonicalFilePath()).absolutePath();
}

}  // namespace

std::string PlatformPaths::DownloadFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    return WithSlash(folder);
}

std::string PlatformPaths::ProgramDataFolder()
{
    const QString program = ProgramFolder();
    const QString installed = QDir::cleanPath(program + QStringLiteral("/../share/dromo"));
    if (QFileInfo(installed).isDir()) {
        return WithSlash(installed);
    }
    return WithSlash(program);
}

std::string PlatformPaths::UserDataFolder()
{
    return WithSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Dromo"));
}

std::string PlatformPaths::RuntimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return WithSlash(folder);
}

PlatformDefaults PlatformPaths::Defaults()
{
    return PlatformDefaults{DownloadFolder(), ProgramDataFolder()};
}

}  // namespace dromo
