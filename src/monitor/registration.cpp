#include "monitor/registration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace dromo {

std::vector<Registration::Target> Registration::UserTargets(const QString& home, const QString& configHome)
{
    const QString manifest = QStringLiteral("/%1.json").arg(QString::fromLatin1(kHostName));
    return {
        {QStringLiteral("Chromium"), configHome + "/chromium/NativeMessagingHosts" + manifest, Family::Chromium},
        {QStringLiteral("Google Chrome"), configHome + "/google-chrome/NativeMessagingHosts" + manifest,
         Family::Chromium},
        {QStringLiteral("Microsoft Edge"), configHome + "/microsoft-edge/NativeMessagingHosts" + manifest,
         Family::Chromium},
        {QStringLiteral("Brave"), configHome + "/BraveSoftware/Brave-Browser/NativeMessagingHosts" + manifest,
         Family::Chromium},
        {QStringLiteral("Firefox"), home + "/.mozilla/native-messaging-hosts" + manifest, Family::Firefox},
    };
}

Registration::Target Registration::ProfileTarget(const QString& userDataDir)
{
    return {QStringLiteral("Chromium profile"),
            QDir(userDataDir).absoluteFilePath(QStringLiteral("NativeMessagingHosts/%1.json").arg(kHostName)),
            Family::Chromium};
}

QByteArray Registration::Manifest(Family family, const QString& hostPath)
{
    QJsonObject m{
        {QStringLiteral("name"), QString::fromLatin1(kHostName)},
        {QStringLiteral("description"), QStringLiteral("Tessarin, Dromo's browser capture host")},
        {QStringLiteral("path"), QFileInfo(hostPath).absoluteFilePath()},
        {QStringLiteral("type"), QStringLiteral("stdio")},
    };
    if (family == Family::Chromium) {
        // The origin needs its trailing "/" or Chromium refuses the host.
        m.insert(QStringLiteral("allowed_origins"),
                 QJsonArray{QStringLiteral("chrome-extension://%1/").arg(kChromiumExtensionId)});
    } else {
        m.insert(QStringLiteral("allowed_extensions"), QJsonArray{QString::fromLatin1(kFirefoxExtensionId)});
    }
    return QJsonDocument(m).toJson(QJsonDocument::Indented);
}

bool Registration::Write(const std::vector<Target>& targets, const QString& hostPath, QStringList& errors)
{
    const qsizetype before = errors.size();
    for (const Target& t : targets) {
        QDir().mkpath(QFileInfo(t.manifestPath).absolutePath());
        QSaveFile file(t.manifestPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(Manifest(t.family, hostPath)) < 0 || !file.commit()) {
            errors << QStringLiteral("%1: cannot write %2: %3").arg(t.browser, t.manifestPath, file.errorString());
        }
    }
    return errors.size() == before;
}

bool Registration::Remove(const std::vector<Target>& targets, QStringList& errors)
{
    const qsizetype before = errors.size();
    for (const Target& t : targets) {
        QFile file(t.manifestPath);
        if (file.exists() && !file.remove()) {
            errors << QStringLiteral("%1: cannot remove %2: %3").arg(t.browser, t.manifestPath, file.errorString());
        }
    }
    return errors.size() == before;
}

}  // namespace dromo
