// The real Dromo on a private bus against a server whose signed addresses
// expire part way through the file: the task fails as an expired link and
// keeps its bytes, and a new address handed over on the bus continues it
// when it serves the same file (the server then sends only the 64 KiB
// check and the rest), and becomes a task of its own when it does not. An
// expired task still waits after a restart, however Dromo ended.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>

#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <thread>

#include "base/values/addresssample.h"
#include "gui/capture/curlhook.h"
#include "platform/settingsprofile.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kSize = 1000000;
constexpr std::size_t kExpiresAfter = 400000;
const std::string kExpired = "The address has expired";

class ExpiredAddress : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server = std::make_unique<test::FaultServer>(m_www.Path());
        m_daemon = std::make_unique<test::PrivateSessionBus>();
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(m_daemon->Address()), QStringLiteral("expired")));
        ASSERT_TRUE(m_bus->isConnected());
        m_ini = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini";
        QFile::remove(m_ini);
        SettingsProfile profile(m_ini);
        profile.WriteString("Settings", "Save to", m_downloads.Path() + "/");
        profile.WriteInt("Settings", "Interval between Retries", 1);
        ASSERT_TRUE(profile.Flush());
        qDBusRegisterMetaType<CURLHook::Details>();
    }
    void TearDown() override
    {
        m_bus.reset();
        m_daemon.reset();
    }
    bool Owned() { return m_bus->interface()->isServiceRegistered(QString::fromLatin1(CURLHook::kService)); }
    static bool WaitFor(const std::function<bool()>& condition)
    {
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (!condition()) {
            if (Clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }
    QDBusMessage AddDownload(const std::string& url, const CURLHook::Details& details)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(CURLHook::kService),
                                                           QString::fromLatin1(CURLHook::kPath),
                                                           QString::fromLatin1(CURLHook::kService), "AddDownload");
        call << QString::fromStdString(url) << QVariant::fromValue(details);
        return m_bus->call(call, QDBus::Block, 60000);
    }
    // A field of the saved task with this target ("" for no such task).
    std::string SavedField(const std::string& target, const std::string& field)
    {
        SettingsProfile saved(m_ini);
        const int count = saved.GetInt("Settings", "MRU Num", 0);
        for (int i = 0; i < count; ++i) {
            const std::string prefix = "URL" + std::to_string(i) + "\\";
            if (saved.GetString("URL", prefix + "Target", "") == target) {
                return saved.GetString("URL", prefix + field, "");
            }
        }
        return "";
    }
    int SavedTasks() { return SettingsProfile(m_ini).GetInt("Settings", "MRU Num", 0); }
    bool Expired(const std::string& url)
    {
        const std::string failure = SavedField(url, "Failure");
        return failure.size() >= kExpired.size() && failure.substr(failure.size() - kExpired.size()) == kExpired;
    }
    // What the fault server answers at a path.
    std::string Fetched(const std::string& path)
    {
        std::string text;
        EXPECT_EQ(test::RunCommand({"python3", "-c",
                                    "import sys, urllib.request\n"
                                    "sys.stdout.write(urllib.request.urlopen(sys.argv[1]).read().decode('latin-1'))",
                                    m_server->Url(path)},
                                   &text, "", false),
                  0);
        return text;
    }
    // The Range each request for a signed address's token asked for since
    // the last look ("" for none), oldest first.
    std::vector<std::string> RangesAsked(const std::string& token)
    {
        const std::string heads = Fetched("/heads?reset=1");
        std::vector<std::string> ranges;
        for (std::size_t at = 0; (at = heads.find("GET /signed/" + token + "/", at)) != std::string::npos;) {
            const std::size_t end = heads.find("\r\n\r\n", at);
            const std::string head = heads.substr(at, end - at);
            const std::size_t range = head.find("\r\nRange: ");
            ranges.push_back(
                range == std::string::npos ? "" : head.substr(range + 9, head.find("\r\n", range + 2) - range - 9));
            at = end;
        }
        return ranges;
    }
    // The file's body bytes the server sent since the last look.
    std::int64_t BytesSent()
    {
        const std::string stats = Fetched("/stats?reset=1");
        const std::size_t at = stats.find(" bytes ");
        return at == std::string::npos ? -1 : std::stoll(stats.substr(at + 7));
    }
    // Since the last look, the new address was asked for the check and
    // then the rest from the resume point on, and sent nothing else.
    void ExpectOnlyTheCheckAndTheRest(const std::string& token)
    {
        const std::vector<std::string> ranges = RangesAsked(token);
        ASSERT_EQ(ranges.size(), 2u);
        EXPECT_EQ(ranges[0], TailRange());
        EXPECT_EQ(ranges[1].rfind("bytes=" + std::to_string(kExpiresAfter) + "-", 0), 0u) << ranges[1];
        EXPECT_EQ(BytesSent(), static_cast<std::int64_t>(kSameFileTail + kSize - kExpiresAfter));
    }
    void Look()
    {
        RangesAsked("");
        BytesSent();
    }
    std::string Expiring(const std::string& token, const std::string& name) const
    {
        return m_server->Url("/signed/" + token + "/" + name + "?expires=" + std::to_string(kExpiresAfter));
    }
    // Hands over the expiring address of a new file and waits until its
    // task has failed as an expired link, the failure on disk.
    void ExpireOnce(const std::string& url, const std::string& name)
    {
        ASSERT_EQ(AddDownload(url, {{"fileName", QString::fromStdString(name)}}).type(), QDBusMessage::ReplyMessage);
        ASSERT_TRUE(WaitFor([&] { return Expired(url); })) << SavedField(url, "Failure");
    }
    static std::string TailRange()
    {
        return "bytes=" + std::to_string(kExpiresAfter - kSameFileTail) + "-" + std::to_string(kExpiresAfter - 1);
    }

    test::TempDir m_www;
    test::TempDir m_downloads;
    std::unique_ptr<test::FaultServer> m_server;
    std::unique_ptr<test::PrivateSessionBus> m_daemon;
    std::unique_ptr<QDBusConnection> m_bus;
    QString m_ini;
};

TEST_F(ExpiredAddress, ATaskContinuesFromANewAddressOfTheSameFileAndOnlyFromThat)
{
    const std::string data = test::RandomBytes(kSize, 31);
    test::WriteFile(m_www.File("f.bin"), data);
    test::ChildProcess dromo({DROMO_BIN});
    ASSERT_TRUE(WaitFor([&] { return Owned(); }));
    const std::string first = Expiring("first", "f.bin");
    ExpireOnce(first, "f.bin");
    const std::string partial = m_downloads.File("f.bin+++");
    EXPECT_EQ(test::ReadFile(partial), data.substr(0, kExpiresAfter));

    // Other bytes of the same length and validators: checked, found out,
    // and added as a download of its own; the waiting task is left as it is.
    Look();
    const std::string other = m_server->Url("/signed/other/f.bin?alter=1");
    ASSERT_EQ(AddDownload(other, {{"fileName", "f.bin"}}).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(SavedTasks(), 2);
    EXPECT_FALSE(SavedField(other, "Target").empty());
    const std::vector<std::string> checked = RangesAsked("other");
    ASSERT_FALSE(checked.empty());
    EXPECT_EQ(checked.front(), TailRange());
    EXPECT_TRUE(Expired(first));
    EXPECT_EQ(test::ReadFile(partial), data.substr(0, kExpiresAfter));

    // The same file's new address: the waiting task takes it, with the
    // page it came from, and the server sends the check and the rest.
    std::string altered = data;
    for (char& byte : altered) {
        byte = static_cast<char>(static_cast<unsigned char>(byte) + 1);
    }
    ASSERT_TRUE(WaitFor([&] { return test::ReadFile(m_downloads.File("f (1).bin")) == altered; }));
    Look();
    const std::string second = m_server->Url("/signed/second/f.bin");
    ASSERT_EQ(AddDownload(second, {{"fileName", "f.bin"}, {"referrer", "http://127.0.0.1/page.html"}}).type(),
              QDBusMessage::ReplyMessage);
    ASSERT_TRUE(WaitFor([&] { return test::ReadFile(m_downloads.File("f.bin")) == data; }));
    ExpectOnlyTheCheckAndTheRest("second");
    ASSERT_TRUE(WaitFor([&] { return !SavedField(second, "Target").empty(); }));
    EXPECT_EQ(SavedTasks(), 2);
    EXPECT_EQ(SavedField(first, "Target"), "");
    EXPECT_EQ(SavedField(second, "Referrer"), "http://127.0.0.1/page.html");
    EXPECT_EQ(dromo.Terminate(10000), 0);
}

// However Dromo ended, the task it left still waits for a new address when
// it starts again, and continues from one.
TEST_F(ExpiredAddress, AnExpiredTaskStillWaitsAfterARestart)
{
    const struct {
        const char* how;
        int signal;
    } cases[] = {{"SIGTERM", SIGTERM}, {"kill -9", SIGKILL}};
    unsigned seed = 50;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        const std::string name = std::string("r") + std::to_string(seed) + ".bin";
        const std::string data = test::RandomBytes(kSize, ++seed);
        test::WriteFile(m_www.File(name), data);
        const std::string token = "t" + std::to_string(seed);
        const std::string url = Expiring(token, name);
        {
            test::ChildProcess dromo({DROMO_BIN});
            ASSERT_TRUE(WaitFor([&] { return Owned(); }));
            ExpireOnce(url, name);
            dromo.Signal(c.signal, 10000);
        }
        ASSERT_TRUE(WaitFor([&] { return !Owned(); }));
        EXPECT_TRUE(Expired(url));
        test::ChildProcess dromo({DROMO_BIN});
        ASSERT_TRUE(WaitFor([&] { return Owned(); }));
        Look();
        const std::string renewed = m_server->Url("/signed/n" + token + "/" + name);
        ASSERT_EQ(AddDownload(renewed, {{"fileName", QString::fromStdString(name)}}).type(),
                  QDBusMessage::ReplyMessage);
        ASSERT_TRUE(WaitFor([&] { return test::ReadFile(m_downloads.File(name)) == data; }));
        ExpectOnlyTheCheckAndTheRest("n" + token);
        EXPECT_EQ(dromo.Terminate(10000), 0);
    }
}

}  // namespace
}  // namespace dromo
