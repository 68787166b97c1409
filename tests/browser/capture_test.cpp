// Tessarin end to end in Debian's Chromium, headless: the extension loaded,
// the host registered for the test's profile, a stand-in for Dromo on a
// private session bus, pages on a local nginx. Playwright (drive.mjs) clicks.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>

#include <chrono>
#include <filesystem>
#include <thread>

#include "settingsprofile.h"
#include "testservers.h"

namespace dromo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kChromium = "/usr/bin/chromium";

TEST(Browser, ClicksAndDownloadsReachDromoCtrlClicksDoNot)
{
    const std::string driver = DROMO_SOURCE_DIR "/tests/browser/drive.mjs";
    if (!fs::exists(kChromium) || !fs::exists(DROMO_SOURCE_DIR "/tests/browser/node_modules/playwright-core")) {
        GTEST_SKIP() << "needs Debian's chromium and `npm ci --prefix tests/browser`";
    }
    test::PrivateSessionBus daemon;
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromStdString(daemon.Address()), "browser");
    ASSERT_TRUE(bus.isConnected());

    // The switches the host reads: clicks in the Chromium family, zip files.
    {
        SettingsProfile profile;
        profile.WriteInt("Settings", "Capture Clicks in IE", 1);
        profile.WriteInt("Settings", "Capture Clicks in NV", 0);
        profile.WriteInt("Settings", "Capture All FTP", 0);
        profile.WriteInt("Settings", "Start with Browser", 0);
        profile.WriteString("Settings", "Capture File Types", "exe zip");
        ASSERT_TRUE(profile.Flush());
    }

    // Dromo's stand-in logs every AddURL.
    test::TempDir dir;
    test::ChildProcess dromo({"/usr/bin/python3", "-m", "dbusmock", "--session", "-l", dir.File("calls.log"),
                              "DROMO.URLMonitor", "/URLMonitor", "DROMO.URLMonitor"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!bus.interface()->isServiceRegistered("DROMO.URLMonitor")) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    QDBusMessage add =
        QDBusMessage::createMethodCall("DROMO.URLMonitor", "/URLMonitor", "org.freedesktop.DBus.Mock", "AddMethod");
    add << QString("DROMO.URLMonitor") << QString("AddURL") << QString("s") << QString("") << QString("");
    ASSERT_EQ(bus.call(add).type(), QDBusMessage::ReplyMessage);

    test::TempDir www;
    test::WriteFile(www.File("page.html"),
                    "<!doctype html><html><body>\n"
                    "<a id=\"capture\" href=\"/a.zip\">a.zip</a>\n"
                    "<a id=\"ctrl\" href=\"/b.zip\">b.zip</a>\n"
                    "<a id=\"plain\" href=\"/other.html\">other</a>\n"
                    "</body></html>\n");
    test::WriteFile(www.File("other.html"), "<!doctype html><p>other</p>\n");
    test::WriteFile(www.File("a.zip"), test::RandomBytes(4096, 1));
    test::WriteFile(www.File("b.zip"), test::RandomBytes(4096, 2));
    fs::create_directories(www.File("attach"));
    test::WriteFile(www.File("attach/report.zip"), test::RandomBytes(4096, 3));
    test::Nginx nginx(www.Path(), "types { text/html html; application/zip zip; } "
                                  "location /attach/ { add_header Content-Disposition attachment; }");

    test::TempDir userData;
    std::string output;
    ASSERT_EQ(test::RunCommand({TESSARIN_BIN, "--register", "--user-data-dir", userData.Path()}, &output), 0) << output;

    const int port = test::FreePort();
    const std::string extension = DROMO_SOURCE_DIR "/extension";
    test::ChildProcess chromium({kChromium, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                                 "--remote-debugging-port=" + std::to_string(port), "--user-data-dir=" + userData.Path(),
                                 "--load-extension=" + extension, "--disable-extensions-except=" + extension,
                                 "about:blank"});
    ASSERT_TRUE(test::WaitForPort(port, 30000));

    const int driven = test::RunCommand(
        {"node", driver, "http://127.0.0.1:" + std::to_string(port), nginx.Url("/page.html")}, &output);
    chromium.Terminate(10000);
    ASSERT_EQ(driven, 0) << output;
    EXPECT_NE(output.find("after capture click: " + nginx.Url("/page.html")), std::string::npos)
        << "a captured link is not followed\n" << output;
    EXPECT_NE(output.find("after plain click: " + nginx.Url("/other.html")), std::string::npos) << output;

    const std::string calls = test::ReadFile(dir.File("calls.log"));
    EXPECT_NE(calls.find("AddURL \"" + nginx.Url("/a.zip") + "\""), std::string::npos) << calls;
    EXPECT_NE(calls.find("AddURL \"" + nginx.Url("/attach/report.zip") + "\""), std::string::npos) << calls;
    EXPECT_EQ(calls.find("b.zip"), std::string::npos) << "Ctrl+click stays the browser's\n" << calls;
    EXPECT_EQ(calls.find("other.html"), std::string::npos) << calls;

    // The browser kept the Ctrl+click download and dropped the captured ones.
    const std::string downloads = std::string(getenv("HOME")) + "/Downloads/";
    EXPECT_TRUE(fs::exists(downloads + "b.zip"));
    EXPECT_FALSE(fs::exists(downloads + "a.zip"));
    EXPECT_FALSE(fs::exists(downloads + "report.zip"));
    QDBusConnection::disconnectFromBus("browser");
}

}  // namespace
}  // namespace dromo
