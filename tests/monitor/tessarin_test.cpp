// The tessarin host as the browser runs it: frames on stdin, answers on
// stdout, captured URLs handed to a stand-in for Dromo on a private bus.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>

#include <chrono>
#include <cstring>
#include <thread>

#include "settingsprofile.h"
#include "testservers.h"

namespace dromo {
namespace {

std::string Frame(const std::string& json)
{
    const auto length = static_cast<std::uint32_t>(json.size());
    std::string frame(reinterpret_cast<const char*>(&length), sizeof length);
    return frame + json;
}

std::vector<std::string> Frames(const std::string& output)
{
    std::vector<std::string> frames;
    std::size_t at = 0;
    while (at + 4 <= output.size()) {
        std::uint32_t length = 0;
        std::memcpy(&length, output.data() + at, 4);
        frames.push_back(output.substr(at + 4, length));
        at += 4 + length;
    }
    return frames;
}

// Runs the host with this input on stdin; its stdout and exit status.
int RunHost(const std::string& input, std::string& output)
{
    test::TempDir dir;
    test::WriteFile(dir.File("in"), input);
    return test::RunCommand({TESSARIN_BIN, "chrome-extension://test/"}, &output, dir.File("in"), false);
}

class Host : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_daemon = std::make_unique<test::PrivateSessionBus>();
        m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            QString::fromStdString(m_daemon->Address()), QStringLiteral("host%1").arg(++s_n)));
        const QString ini = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini";
        QFile::remove(ini);
        SettingsProfile profile(ini);
        profile.WriteInt("Settings", "Capture Clicks in IE", 1);
        profile.WriteInt("Settings", "Capture Clicks in NV", 1);
        profile.WriteInt("Settings", "Capture All FTP", 0);
        profile.WriteString("Settings", "Capture File Types", "exe zip");
        profile.WriteInt("Settings", "Start with Browser", 0);
        ASSERT_TRUE(profile.Flush());
    }
    void TearDown() override
    {
        m_dromo.reset();
        m_bus.reset();
        m_daemon.reset();
    }
    // python3-dbusmock as DROMO.URLMonitor, logging every call.
    void FakeDromo(const std::string& log)
    {
        m_dromo = std::make_unique<test::ChildProcess>(std::vector<std::string>{
            "/usr/bin/python3", "-m", "dbusmock", "--session", "-l", log, "DROMO.URLMonitor", "/URLMonitor",
            "DROMO.URLMonitor"});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (!m_bus->interface()->isServiceRegistered(QStringLiteral("DROMO.URLMonitor"))) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        QDBusMessage add = QDBusMessage::createMethodCall("DROMO.URLMonitor", "/URLMonitor",
                                                          "org.freedesktop.DBus.Mock", "AddMethod");
        add << QString("DROMO.URLMonitor") << QString("AddURL") << QString("s") << QString("") << QString("");
        ASSERT_EQ(m_bus->call(add).type(), QDBusMessage::ReplyMessage);
    }

    std::unique_ptr<test::PrivateSessionBus> m_daemon;
    std::unique_ptr<test::ChildProcess> m_dromo;
    std::unique_ptr<QDBusConnection> m_bus;
    static inline int s_n = 0;
};

TEST_F(Host, AnswersEveryMessageAndHandsCapturedUrlsToDromo)
{
    test::TempDir dir;
    FakeDromo(dir.File("calls.log"));
    const std::string input =
        Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/A.zip","ctrl":false})") +
        Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/b.zip","ctrl":true})") +
        Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/page.html","ctrl":false})") +
        Frame(R"({"monitor":"URLMonitor","event":"StatusTextChange","text":"Start downloading from site: http://h/c.exe","ctrl":false})") +
        Frame(R"({"monitor":"NVMonitor","event":"Initialize","protocol":"http","url":"http://h/d.exe"})") +
        Frame(R"({"monitor":"NVMonitor","event":"Open","url":"http://h/d.exe"})") +
        Frame(R"({"monitor":"URLMonitor","event":"OnQuit"})") + Frame("not json") +
        Frame(R"({"monitor":"Other","event":"x"})");
    std::string output;
    EXPECT_EQ(RunHost(input, output), 0);  // end of input ends it
    const auto frames = Frames(output);
    ASSERT_EQ(frames.size(), 9u) << output;
    EXPECT_EQ(frames[0], R"({"capture":true})");
    EXPECT_EQ(frames[1], R"({"capture":false})");
    EXPECT_EQ(frames[2], R"({"capture":false})");
    EXPECT_EQ(frames[3], R"({"capture":true})");
    EXPECT_EQ(frames[4], R"({"retVal":1})");
    EXPECT_EQ(frames[5], "{}");
    EXPECT_EQ(frames[6], "{}");
    EXPECT_NE(frames[7].find("\"error\""), std::string::npos);
    EXPECT_NE(frames[8].find("\"error\""), std::string::npos);
    const std::string calls = test::ReadFile(dir.File("calls.log"));
    EXPECT_NE(calls.find("AddURL \"http://h/A.zip\""), std::string::npos) << calls;  // as received
    EXPECT_NE(calls.find("AddURL \"http://h/c.exe\""), std::string::npos) << calls;
    EXPECT_NE(calls.find("AddURL \"http://h/d.exe\""), std::string::npos) << calls;
    EXPECT_EQ(calls.find("b.zip"), std::string::npos);
}

TEST_F(Host, WithoutDromoOrWithBadFramesItNeverBreaks)
{
    // No Dromo on the bus: the capture is still answered, the URL dropped.
    std::string output;
    EXPECT_EQ(RunHost(Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/a.zip"})"), output),
              0);
    EXPECT_EQ(Frames(output), std::vector<std::string>{R"({"capture":true})"});

    // A frame over 1 MiB: an error answer, then the host ends.
    std::string huge(4, '\0');
    const std::uint32_t tooLong = 2 * 1024 * 1024;
    std::memcpy(huge.data(), &tooLong, 4);
    output.clear();
    EXPECT_EQ(RunHost(huge + "xxxx", output), 1);
    ASSERT_EQ(Frames(output).size(), 1u);
    EXPECT_NE(Frames(output)[0].find("too large"), std::string::npos);

    // A frame cut short and an empty input end it quietly.
    output.clear();
    EXPECT_EQ(RunHost(Frame(R"({"monitor":"URLMonitor"})").substr(0, 10), output), 0);
    EXPECT_TRUE(output.empty());
    EXPECT_EQ(RunHost("", output), 0);
}

TEST_F(Host, AnswersGoOnWhileDromoTakesItsTimeAndHandOversFinishAtTheEnd)
{
    test::TempDir dir;
    FakeDromo(dir.File("calls.log"));
    // Dromo stands for one asking the user: AddURL returns only once the
    // test lets it.
    const std::string gate = dir.File("go");
    QDBusMessage slow = QDBusMessage::createMethodCall("DROMO.URLMonitor", "/URLMonitor",
                                                       "org.freedesktop.DBus.Mock", "AddMethod");
    slow << QString("DROMO.URLMonitor") << QString("AddURL") << QString("s") << QString("")
         << QString::fromStdString("import os, time\nwhile not os.path.exists('" + gate + "'): time.sleep(0.02)");
    ASSERT_EQ(m_bus->call(slow).type(), QDBusMessage::ReplyMessage);

    QProcess host;
    host.start(TESSARIN_BIN, {"chrome-extension://test/"});
    ASSERT_TRUE(host.waitForStarted());
    auto answer = [&host](const std::string& json) {
        host.write(QByteArray::fromStdString(Frame(json)));
        QByteArray got;
        while (got.size() < 4 || got.size() < 4 + *reinterpret_cast<const std::uint32_t*>(got.constData())) {
            if (!host.waitForReadyRead(10000)) {
                return std::string("(no answer)");
            }
            got += host.readAllStandardOutput();
        }
        return got.mid(4).toStdString();
    };
    EXPECT_EQ(answer(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/1.zip","ctrl":false})"),
              R"({"capture":true})");
    // The first hand-over is still waiting for Dromo; the browser is answered.
    EXPECT_EQ(answer(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/2.zip","ctrl":false})"),
              R"({"capture":true})");
    host.closeWriteChannel();
    EXPECT_FALSE(host.waitForFinished(500)) << "pending hand-overs are finished before the end";
    test::WriteFile(gate, "");
    ASSERT_TRUE(host.waitForFinished(20000));
    EXPECT_EQ(host.exitCode(), 0);
    const std::string calls = test::ReadFile(dir.File("calls.log"));
    EXPECT_NE(calls.find("AddURL \"http://h/1.zip\""), std::string::npos) << calls;
    EXPECT_NE(calls.find("AddURL \"http://h/2.zip\""), std::string::npos) << calls;
}

}  // namespace
}  // namespace dromo
