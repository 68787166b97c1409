// "tessarin --register" and "--unregister": the manifests the browsers read,
// and the extension's identity they name.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "monitor/registration.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

QJsonObject ReadJson(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

QString Env(const char* name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

TEST(Registration, RegisterWritesEachBrowsersManifestAndUnregisterRemovesThem)
{
    std::string output;
    ASSERT_EQ(test::RunCommand({TESSARIN_BIN, "--register"}, &output), 0) << output;
    const QString name = QString::fromLatin1(Registration::kHostName) + ".json";
    struct Expected {
        QString path;
        bool chromium;
    } expected[] = {
        {Env("XDG_CONFIG_HOME") + "/chromium/NativeMessagingHosts/" + name, true},
        {Env("XDG_CONFIG_HOME") + "/google-chrome/NativeMessagingHosts/" + name, true},
        {Env("XDG_CONFIG_HOME") + "/microsoft-edge/NativeMessagingHosts/" + name, true},
        {Env("XDG_CONFIG_HOME") + "/BraveSoftware/Brave-Browser/NativeMessagingHosts/" + name, true},
        {Env("HOME") + "/.mozilla/native-messaging-hosts/" + name, false},
    };
    for (const Expected& e : expected) {
        const QJsonObject m = ReadJson(e.path);
        ASSERT_FALSE(m.isEmpty()) << e.path.toStdString();
        EXPECT_EQ(m["name"].toString(), Registration::kHostName);
        EXPECT_EQ(m["type"].toString(), "stdio");
        EXPECT_EQ(m["path"].toString(), QFileInfo(TESSARIN_BIN).absoluteFilePath());
        if (e.chromium) {
            EXPECT_EQ(m["allowed_origins"].toArray(),
                      QJsonArray{QString("chrome-extension://%1/").arg(Registration::kChromiumExtensionId)});
        } else {
            EXPECT_EQ(m["allowed_extensions"].toArray(), QJsonArray{QString(Registration::kFirefoxExtensionId)});
        }
        EXPECT_NE(output.find(e.path.toStdString()), std::string::npos) << output;
    }
    ASSERT_EQ(test::RunCommand({TESSARIN_BIN, "--unregister"}, &output), 0) << output;
    for (const Expected& e : expected) {
        EXPECT_FALSE(QFile::exists(e.path)) << e.path.toStdString();
    }
    EXPECT_EQ(test::RunCommand({TESSARIN_BIN, "--unregister"}, &output), 0) << "nothing left to remove is no error";
}

TEST(Registration, ProfileFolderAndBadOptions)
{
    test::TempDir profile;
    std::string output;
    ASSERT_EQ(test::RunCommand({TESSARIN_BIN, "--register", "--user-data-dir", profile.Path()}, &output), 0);
    const QString manifest =
        QString::fromStdString(profile.Path()) + "/NativeMessagingHosts/" + Registration::kHostName + ".json";
    EXPECT_TRUE(QFile::exists(manifest));
    EXPECT_FALSE(QFile::exists(Env("HOME") + "/.mozilla/native-messaging-hosts/" + Registration::kHostName + ".json"));
    EXPECT_EQ(test::RunCommand({TESSARIN_BIN, "--register", "--bogus"}, &output, "", true), 2);
    EXPECT_NE(output.find("unknown option --bogus"), std::string::npos) << output;

    // A folder where the manifest should go: the failure is said and counted.
    test::TempDir blocked;
    QDir().mkpath(QString::fromStdString(blocked.Path()) + "/NativeMessagingHosts/" + Registration::kHostName +
                  ".json");
    EXPECT_EQ(test::RunCommand({TESSARIN_BIN, "--register", "--user-data-dir", blocked.Path()}, &output, "", true), 1);
    EXPECT_NE(output.find("cannot write"), std::string::npos) << output;
}

TEST(Registration, TheExtensionCarriesTheIdentityTheManifestsName)
{
    const QJsonObject chromium = ReadJson(QStringLiteral(DROMO_SOURCE_DIR "/extension/manifest.json"));
    const QByteArray key = QByteArray::fromBase64(chromium["key"].toString().toLatin1());
    ASSERT_FALSE(key.isEmpty());
    // Chromium's id: the first 128 bits of the key's SHA-256, each hex digit
    // written as a letter from "a".
    const QByteArray hex = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32);
    QString id;
    for (char c : hex) {
        id += QChar('a' + QByteArray(1, c).toInt(nullptr, 16));
    }
    EXPECT_EQ(id, Registration::kChromiumExtensionId);

    const QJsonObject firefox = ReadJson(QStringLiteral(DROMO_SOURCE_DIR "/extension/firefox/manifest.json"));
    EXPECT_EQ(firefox["browser_specific_settings"].toObject()["gecko"].toObject()["id"].toString(),
              Registration::kFirefoxExtensionId);
}

}  // namespace
}  // namespace dromo
