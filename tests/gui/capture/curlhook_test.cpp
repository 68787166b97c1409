// The capture object of the real program on a private session bus.

#include "gui/capture/curlhook.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDBusVirtualObject>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

#include <QDBusPendingCall>
#include <QLineEdit>
#include <QTest>

#include "base/commands/addresshistory.h"
#include "gui/dialogs/task/caddprop.h"
#include "gui/dialogs/task/caddurl.h"
#include "platform/platformpaths.h"
#include "platform/settingsprofile.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using Clock = std::chrono::steady_clock;

class Capture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_daemon = std::make_unique<test::PrivateSessionBus>();
        m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            QString::fromStdString(m_daemon->Address()), QStringLiteral("capture%1").arg(++s_n)));
        ASSERT_TRUE(m_bus->isConnected());
        m_ini = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini";
        QFile::remove(m_ini);  // whatever an earlier test in this process saved
    }
    void TearDown() override
    {
        m_bus.reset();
        m_daemon.reset();
    }
    bool Owned() { return m_bus->interface()->isServiceRegistered(QString::fromLatin1(CURLHook::kService)); }
    bool WaitFor(const std::function<bool()>& condition, int seconds = 20)
    {
        const auto deadline = Clock::now() + std::chrono::seconds(seconds);
        while (!condition()) {
            if (Clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }
    QDBusMessage AddUrl(const std::string& url)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(CURLHook::kService),
                                                           QString::fromLatin1(CURLHook::kPath),
                                                           QString::fromLatin1(CURLHook::kService), "AddURL");
        call << QString::fromStdString(url);
        return m_bus->call(call, QDBus::Block, 30000);
    }
    // A profile whose downloads go to the folder.
    void WriteProfile(const test::TempDir& downloads)
    {
        SettingsProfile profile(m_ini);
        profile.WriteString("Settings", "Save to", downloads.Path() + "/");
        ASSERT_TRUE(profile.Flush());
    }
    // The targets of the tasks saved in the profile on disk, in their order.
    std::vector<std::string> SavedTargets()
    {
        SettingsProfile saved(m_ini);
        std::vector<std::string> targets;
        const int count = saved.GetInt("Settings", "MRU Num", 0);
        for (int i = 0; i < count; ++i) {
            targets.push_back(saved.GetString("URL", "URL" + std::to_string(i) + "\\Target", ""));
        }
        return targets;
    }
    // URLs of a port nobody listens on: their tasks fail and wait to retry,
    // so they stay in the list.
    static std::string DeadUrl(const std::string& name)
    {
        static const std::string base = "http://127.0.0.1:" + std::to_string(test::FreePort()) + "/";
        return base + name;
    }

    std::unique_ptr<test::PrivateSessionBus> m_daemon;
    std::unique_ptr<QDBusConnection> m_bus;
    QString m_ini;
    static inline int s_n = 0;
};

TEST_F(Capture, UrlsFromOutsideReachTheRunningDromo)
{
    test::TempDir www;
    test::TempDir downloads;
    const std::string a = test::RandomBytes(200000, 1);
    const std::string b = test::RandomBytes(300000, 2);
    test::WriteFile(www.File("a.bin"), a);
    test::WriteFile(www.File("b.bin"), b);
    test::Nginx nginx(www.Path());
    const std::string urlA = nginx.Url("/a.bin");
    const std::string urlB = nginx.Url("/b.bin");
    {
        SettingsProfile profile(m_ini);
        profile.WriteString("Settings", "Save to", downloads.Path() + "/");
        profile.WriteInt("Settings", "MRU List Num", 2);
        profile.WriteString("History", "URL0", "http://elsewhere/x.zip");
        profile.WriteString("History", "URL1", QString::fromStdString(urlA).toUpper().toStdString());
        ASSERT_TRUE(profile.Flush());
    }

    test::ChildProcess dromo({DROMO_BIN});
    ASSERT_TRUE(WaitFor([&] { return Owned(); }));
    // The service file that lets a call start Dromo.
    const std::string service = test::ReadFile(CURLHook::ServiceFilePath().toStdString());
    EXPECT_NE(service.find("Name=DROMO.URLMonitor\n"), std::string::npos) << service;
    EXPECT_NE(service.find(std::string("Exec=") + DROMO_BIN + " --automation\n"), std::string::npos) << service;

    EXPECT_EQ(AddUrl(urlA).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(AddUrl("ftp://127.0.0.1/pub/dir/").type(), QDBusMessage::ErrorMessage);  // a folder: nothing
    ASSERT_TRUE(WaitFor([&] { return test::ReadFile(downloads.File("a.bin")) == a; }));

    // A second start with a URL hands it over and ends at once.
    std::string output;
    EXPECT_EQ(test::RunCommand({DROMO_BIN, urlB}, &output), 0) << output;
    // The file is whole before its task is done: wait for it in the history.
    const std::string history = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")).toStdString() + "/Dromo/history.htm";
    ASSERT_TRUE(WaitFor([&] { return test::ReadFile(history).find("/b.bin\">") != std::string::npos; }));
    EXPECT_EQ(dromo.Terminate(10000), 0);

    SettingsProfile saved(m_ini);
    EXPECT_EQ(saved.GetInt("Settings", "MRU Num", -1), 2);  // the folder URL added nothing
    EXPECT_EQ(saved.GetInt("Settings", "MRU List Num", -1), 3);
    EXPECT_EQ(saved.GetString("History", "URL0", ""), urlB);
    EXPECT_EQ(saved.GetString("History", "URL1", ""), urlA);  // moved to the top, not doubled
    EXPECT_EQ(saved.GetString("History", "URL2", ""), "http://elsewhere/x.zip");
}

TEST_F(Capture, ACallStartsDromoWhenItIsNotRunning)
{
    test::TempDir www;
    test::TempDir downloads;
    const std::string c = test::RandomBytes(100000, 3);
    test::WriteFile(www.File("c.bin"), c);
    test::Nginx nginx(www.Path());
    {
        SettingsProfile profile(m_ini);
        profile.WriteString("Settings", "Save to", downloads.Path() + "/");
        ASSERT_TRUE(profile.Flush());
    }
    // A first, ordinary start writes the service file.
    {
        test::ChildProcess first({DROMO_BIN});
        ASSERT_TRUE(WaitFor([&] { return Owned(); }));
        EXPECT_EQ(first.Terminate(10000), 0);
    }
    ASSERT_TRUE(WaitFor([&] { return !Owned(); }));
    m_bus->call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                               "ReloadConfig"));

    EXPECT_EQ(AddUrl(nginx.Url("/c.bin")).type(), QDBusMessage::ReplyMessage);  // starts it
    ASSERT_TRUE(WaitFor([&] { return test::ReadFile(downloads.File("c.bin")) == c; }));
    const QDBusReply<uint> pid = m_bus->interface()->servicePid(QString::fromLatin1(CURLHook::kService));
    ASSERT_TRUE(pid.isValid());
    kill(static_cast<pid_t>(pid.value()), SIGTERM);
    EXPECT_TRUE(WaitFor([&] { return !Owned(); }));
}

TEST_F(Capture, WithPopupDialogTheCallReturnsWhenTheSheetCloses)
{
    test::Window w;
    w.settings.options.popupDialog = 1;
    // The window's own connection serves the capture object; the test calls
    // it over another one, so both run in this thread's event loop.
    QDBusConnection serving = QDBusConnection::connectToBus(QString::fromStdString(m_daemon->Address()), "serving");
    CURLHook hook([&w](const QString& url, CURLHook::Done done) { w.frame->Desk().HandOverUrl(url, std::move(done)); },
                  serving);
    ASSERT_TRUE(hook.Register());

    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(CURLHook::kService), QString::fromLatin1(CURLHook::kPath),
                                       QString::fromLatin1(CURLHook::kService), "AddURL");
    call << QStringLiteral("http://files.example/popup.zip");
    QDBusPendingCall pending = m_bus->asyncCall(call, 30000);
    bool answeredWhileOpen = true;
    QString shown;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        shown = static_cast<CAddProp&>(sheet).UrlPage()->UrlEdit()->text();
        QTest::qWait(300);  // the caller keeps waiting while the sheet is open
        answeredWhileOpen = pending.isFinished();
        sheet.accept();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 10000));
    EXPECT_FALSE(answeredWhileOpen);
    EXPECT_EQ(shown, "http://files.example/popup.zip");
    EXPECT_FALSE(pending.isError()) << pending.error().message().toStdString();
    EXPECT_EQ(w.table.Count(), 1);
    QDBusConnection::disconnectFromBus("serving");
}

TEST_F(Capture, AHandedOverUrlIsOnDiskBeforeTheCallerHearsOfIt)
{
    test::TempDir downloads;
    WriteProfile(downloads);
    // By a second start's command line, then by a call; each time Dromo is
    // killed the moment the caller heard success.
    std::vector<std::string> added;
    for (const bool byCommandLine : {true, false}) {
        SCOPED_TRACE(byCommandLine ? "dromo URL" : "AddURL");
        test::ChildProcess dromo({DROMO_BIN});
        ASSERT_TRUE(WaitFor([&] { return Owned(); }));
        added.push_back(DeadUrl(byCommandLine ? "line.bin" : "call.bin"));
        if (byCommandLine) {
            std::string output;
            ASSERT_EQ(test::RunCommand({DROMO_BIN, added.back()}, &output), 0) << output;
        } else {
            const QDBusMessage reply = AddUrl(added.back());
            ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        }
        EXPECT_EQ(dromo.Signal(SIGKILL, 10000), 128 + SIGKILL);
        EXPECT_EQ(SavedTargets(), added);
        ASSERT_TRUE(WaitFor([&] { return !Owned(); }));
    }
    // Started again, Dromo has them both (and saves them again at its end).
    test::ChildProcess dromo({DROMO_BIN});
    ASSERT_TRUE(WaitFor([&] { return Owned(); }));
    EXPECT_EQ(dromo.Terminate(10000), 0);
    EXPECT_EQ(SavedTargets(), added);
}

// Many hand-overs at once share saves, and still no caller hears success
// before its task is on disk: Dromo is killed while a burst from several
// callers is being answered, and every call answered with success must be
// in the profile; then a long command line, killed the moment it returned.
TEST_F(Capture, ABurstOfHandOversIsOnDiskBeforeAnyCallerHearsOfIt)
{
    test::TempDir downloads;
    WriteProfile(downloads);
    {
        test::ChildProcess dromo({DROMO_BIN});
        ASSERT_TRUE(WaitFor([&] { return Owned(); }));
        constexpr int kCallers = 6;
        constexpr int kCallsEach = 60;
        std::vector<QDBusConnection> callers;
        std::vector<std::pair<std::string, QDBusPendingCall>> calls;
        for (int c = 0; c < kCallers; ++c) {
            callers.push_back(QDBusConnection::connectToBus(QString::fromStdString(m_daemon->Address()),
                                                            QStringLiteral("burst%1-%2").arg(s_n).arg(c)));
            ASSERT_TRUE(callers.back().isConnected());
        }
        for (int i = 0; i < kCallsEach; ++i) {
            for (int c = 0; c < kCallers; ++c) {
                const std::string url = DeadUrl("burst-" + std::to_string(c) + "-" + std::to_string(i) + ".bin");
                QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(CURLHook::kService),
                                                                   QString::fromLatin1(CURLHook::kPath),
                                                                   QString::fromLatin1(CURLHook::kService), "AddURL");
                call << QString::fromStdString(url);
                calls.emplace_back(url, callers[static_cast<std::size_t>(c)].asyncCall(call, 30000));
            }
        }
        auto answered = [&calls] {
            return std::count_if(calls.begin(), calls.end(), [](auto& c) { return c.second.isFinished(); });
        };
        // Killed in the middle of the answers: some callers heard, others not yet.
        ASSERT_TRUE(QTest::qWaitFor([&] { return answered() >= static_cast<long>(calls.size()) / 3; }, 30000));
        EXPECT_EQ(dromo.Signal(SIGKILL, 10000), 128 + SIGKILL);
        ASSERT_TRUE(QTest::qWaitFor([&] { return answered() == static_cast<long>(calls.size()); }, 30000));
        const std::vector<std::string> saved = SavedTargets();
        int heard = 0;
        for (auto& [url, call] : calls) {
            if (!call.isError()) {
                ++heard;
                EXPECT_NE(std::find(saved.begin(), saved.end(), url), saved.end()) << url << " heard success, lost";
            }
        }
        EXPECT_GE(heard, static_cast<int>(calls.size()) / 3);
        for (int c = 0; c < kCallers; ++c) {
            QDBusConnection::disconnectFromBus(callers[static_cast<std::size_t>(c)].name());
        }
        ASSERT_TRUE(WaitFor([&] { return !Owned(); }));
    }
    test::ChildProcess dromo({DROMO_BIN});
    ASSERT_TRUE(WaitFor([&] { return Owned(); }));
    const std::size_t before = SavedTargets().size();
    std::vector<std::string> line = {DROMO_BIN};
    for (int i = 0; i < 300; ++i) {
        line.push_back(DeadUrl("line-" + std::to_string(i) + ".bin"));
    }
    std::string output;
    ASSERT_EQ(test::RunCommand(line, &output), 0) << output;
    EXPECT_EQ(dromo.Signal(SIGKILL, 10000), 128 + SIGKILL);
    const std::vector<std::string> saved = SavedTargets();
    ASSERT_EQ(saved.size(), before + 300);
    EXPECT_TRUE(std::equal(line.begin() + 1, line.end(), saved.begin() + static_cast<long>(before)));
}

TEST_F(Capture, ARefusedUrlGetsAnErrorReplyWithItsMessageAtOnce)
{
    test::TempDir downloads;
    WriteProfile(downloads);
    test::ChildProcess dromo({DROMO_BIN});
    ASSERT_TRUE(WaitFor([&] { return Owned(); }));
    // The warning box stays open in Dromo while the callers go on.
    const std::pair<std::string, std::string> refused[] = {
        {"nonsense", "invalid url"},
        {"", kNothingToAdd},
        {"ftp://127.0.0.1/pub/dir/", kNothingToAdd},
        // Two links in one text are no URL; nor is one with a control
        // character in it. Neither becomes a task.
        {DeadUrl("a.bin") + "\n" + DeadUrl("b.bin"), "The URL holds a line break or another control character."},
        {DeadUrl("c.bin") + "\t", "The URL holds a line break or another control character."},
    };
    for (const auto& [url, message] : refused) {
        const QDBusMessage reply = AddUrl(url);
        EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage) << url;
        EXPECT_EQ(reply.errorName().toStdString(), CURLHook::kRefused) << url;
        EXPECT_EQ(reply.errorMessage().toStdString(), message) << url;
    }
    // A second start prints what refused its URL and fails; the good one of
    // its URLs is still added.
    std::string output;
    EXPECT_EQ(test::RunCommand({DROMO_BIN, "nonsense", DeadUrl("good.bin")}, &output), 1) << output;
    EXPECT_EQ(output, "dromo: nonsense: invalid url\n");
    EXPECT_EQ(SavedTargets(), std::vector<std::string>{DeadUrl("good.bin")});
    EXPECT_EQ(dromo.Terminate(10000), 0);
}

// A start's URLs go to the running Dromo in one AddURLs call; the answer
// names what refused each, in their order.
TEST_F(Capture, ManyUrlsInOneCallAreAnsweredEachInTheirOrder)
{
    test::TempDir downloads;
    WriteProfile(downloads);
    test::ChildProcess dromo({DROMO_BIN});
    ASSERT_TRUE(WaitFor([&] { return Owned(); }));
    const QStringList urls = {QString::fromStdString(DeadUrl("many-1.bin")), QStringLiteral("nonsense"),
                              QString::fromStdString(DeadUrl("many-2.bin")), QStringLiteral("ftp://127.0.0.1/pub/")};
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(CURLHook::kService), QString::fromLatin1(CURLHook::kPath),
                                       QString::fromLatin1(CURLHook::kService), "AddURLs");
    call << urls;
    const QDBusMessage reply = m_bus->call(call, QDBus::Block, 30000);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(reply.arguments().value(0).toStringList(),
              (QStringList{QString(), QStringLiteral("invalid url"), QString(), QString::fromLatin1(kNothingToAdd)}));
    // Success was heard only with the tasks on disk.
    EXPECT_EQ(SavedTargets(), (std::vector<std::string>{DeadUrl("many-1.bin"), DeadUrl("many-2.bin")}));
    call.setArguments({QVariant(QStringList())});
    EXPECT_EQ(m_bus->call(call, QDBus::Block, 30000).arguments().value(0).toStringList(), QStringList());
    EXPECT_EQ(dromo.Terminate(10000), 0);
}

// A Dromo that knows only AddURL still gets a start's URLs, one call each.
TEST_F(Capture, ADromoWithoutAddUrlsGetsTheUrlsOneByOne)
{
    class OnlyAddUrl : public QDBusVirtualObject {
    public:
        QStringList taken;
        QString introspect(const QString&) const override { return {}; }
        bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
        {
            if (message.member() != QLatin1String("AddURL")) {
                return false;  // the bus answers UnknownMethod
            }
            const QString url = message.arguments().value(0).toString();
            taken << url;
            connection.send(url.startsWith(QLatin1String("http"))
                                ? message.createReply()
                                : message.createErrorReply(QString::fromLatin1(CURLHook::kRefused), "invalid url"));
            return true;
        }
    };
    QDBusConnection server =
        QDBusConnection::connectToBus(QString::fromStdString(m_daemon->Address()), QStringLiteral("older%1").arg(s_n));
    OnlyAddUrl older;
    ASSERT_TRUE(server.registerVirtualObject(QString::fromLatin1(CURLHook::kPath), &older));
    ASSERT_TRUE(server.registerService(QString::fromLatin1(CURLHook::kService)));
    // The older Dromo answers on this thread's loop: the start's side waits on a thread of its own.
    const QStringList urls = {QStringLiteral("http://h/a.bin"), QStringLiteral("nonsense"),
                              QStringLiteral("http://h/b.bin")};
    HandOverResult result;
    std::atomic<bool> ended = false;
    std::thread start([&] {
        result = SendUrlsToRunningInstance(urls, 0, *m_bus);
        ended = true;
    });
    const bool answered = QTest::qWaitFor([&] { return ended.load(); }, 30000);
    start.join();
    ASSERT_TRUE(answered);
    EXPECT_TRUE(result.answered);
    EXPECT_EQ(result.errors, QStringList{QStringLiteral("nonsense: invalid url")});
    EXPECT_EQ(older.taken, urls);
    server.unregisterObject(QString::fromLatin1(CURLHook::kPath));
    server.unregisterService(QString::fromLatin1(CURLHook::kService));
    QDBusConnection::disconnectFromBus(server.name());
}

TEST_F(Capture, UrlsOfStartsRacingEachOtherAllArrive)
{
    test::TempDir downloads;
    const std::string lock = PlatformPaths::RuntimeFolder() + "dromo.lock";
    for (const bool plainFirst : {false, true}) {
        SCOPED_TRACE(plainFirst ? "a plain start, then dromo URL as it takes the lock" : "two dromo URL at once");
        QFile::remove(m_ini);
        WriteProfile(downloads);
        std::vector<std::string> urls{DeadUrl("race2.bin")};
        std::vector<std::unique_ptr<test::ChildProcess>> starts;
        if (plainFirst) {
            starts.push_back(std::make_unique<test::ChildProcess>(std::vector<std::string>{DROMO_BIN}));
            ASSERT_TRUE(WaitFor([&] { return test::Exists(lock); }));
        } else {
            urls.insert(urls.begin(), DeadUrl("race1.bin"));
            starts.push_back(std::make_unique<test::ChildProcess>(std::vector<std::string>{DROMO_BIN, urls[0]}));
        }
        starts.push_back(std::make_unique<test::ChildProcess>(std::vector<std::string>{DROMO_BIN, urls.back()}));
        // One of them is Dromo; the other hands its URL over and ends well.
        std::optional<int> ended;
        std::size_t running = 0;
        ASSERT_TRUE(WaitFor([&] {
            for (std::size_t i = 0; i < starts.size() && !ended; ++i) {
                ended = starts[i]->Wait(0);
                running = ended ? 1 - i : running;
            }
            return ended.has_value();
        }));
        EXPECT_EQ(*ended, 0);
        ASSERT_TRUE(WaitFor([&] { return SavedTargets().size() == urls.size(); }));
        EXPECT_EQ(starts[running]->Terminate(10000), 0);
        std::vector<std::string> saved = SavedTargets();
        std::sort(saved.begin(), saved.end());
        EXPECT_EQ(saved, urls);
        ASSERT_TRUE(WaitFor([&] { return !Owned(); }));
    }
}

// A browser's download: the members-only file arrives through the real
// Dromo with the browser's cookie, under the browser's name; a URL no task
// can be made of is refused at once, and so is a page of such links.
TEST_F(Capture, ABrowsersDownloadArrivesWithItsCookieUnderItsName)
{
    test::TempDir downloads;
    test::TempDir www;
    const std::string data = test::RandomBytes(200000, 3);
    test::WriteFile(www.File("members.bin"), data);
    test::FaultServer server(www.Path());
    WriteProfile(downloads);
    test::ChildProcess dromo({DROMO_BIN});
    ASSERT_TRUE(WaitFor([&] { return Owned(); }));
    qDBusRegisterMetaType<CURLHook::Details>();
    const auto addDownload = [this](const std::string& url, const CURLHook::Details& details) {
        QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(CURLHook::kService),
                                                           QString::fromLatin1(CURLHook::kPath),
                                                           QString::fromLatin1(CURLHook::kService), "AddDownload");
        call << QString::fromStdString(url) << QVariant::fromValue(details);
        return m_bus->call(call, QDBus::Block, 30000);
    };
    const CURLHook::Details details{{"cookie", "theme=dark; dromo=yes"},
                                    {"referrer", QString::fromStdString(server.Url("/page.html"))},
                                    {"fileName", "Quarterly Report 2026.bin"},
                                    {"mimeType", "application/octet-stream"},
                                    {"somethingNew", "ignored"}};
    const QDBusMessage reply = addDownload(server.Url("/file/members.bin?cookie=1"), details);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_TRUE(WaitFor([&] { return test::ReadFile(downloads.File("Quarterly Report 2026.bin")) == data; }));

    const QDBusMessage refused = addDownload("data:text/plain,hello", {{"fileName", "hello.txt"}});
    EXPECT_EQ(refused.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(refused.errorMessage().toStdString(), "invalid url");

    // A page's links: answered at once, the list waiting for the user; a
    // page of nothing to download refused.
    const auto addDownloads = [this](const QList<OfferedLinkArgument>& links) {
        QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(CURLHook::kService),
                                                           QString::fromLatin1(CURLHook::kPath),
                                                           QString::fromLatin1(CURLHook::kService), "AddDownloads");
        call << QVariant::fromValue(links);
        return m_bus->call(call, QDBus::Block, 30000);
    };
    OfferedLinkArgument::Register();
    const QDBusMessage listed = addDownloads({{QString::fromStdString(server.Url("/file/members.bin")), details}});
    EXPECT_EQ(listed.type(), QDBusMessage::ReplyMessage) << listed.errorMessage().toStdString();
    const QDBusMessage nothing = addDownloads({{"mailto:someone@example.org", {}}});
    EXPECT_EQ(nothing.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(nothing.errorMessage().toStdString(), kNoLinksToOffer);

    // Details that would break a request's head are refused at once; no
    // task is made of them.
    const struct {
        const char* what;
        CURLHook::Details details;
        AddResult expected;
    } unsafe[] = {
        {"referrer", {{"referrer", "http://h/\r\nX-Injected: 1"}, {"fileName", "r.bin"}}, AddResult::UnsafeDetails},
        {"user agent", {{"userAgent", "UA/1\nX-Injected: 1"}, {"fileName", "u.bin"}}, AddResult::UnsafeDetails},
        {"cookie", {{"cookie", "a=1\r\nX-Injected: 1"}, {"fileName", "c.bin"}}, AddResult::UnsafeDetails},
        {"long cookie",
         {{"cookie", QString(1 << 20, QLatin1Char('c'))}, {"fileName", "l.bin"}},
         AddResult::CookieTooLong},
    };
    for (const auto& u : unsafe) {
        SCOPED_TRACE(u.what);
        const QDBusMessage answer = addDownload(server.Url("/file/members.bin"), u.details);
        EXPECT_EQ(answer.type(), QDBusMessage::ErrorMessage);
        EXPECT_EQ(answer.errorMessage().toStdString(), AddResultMessage(u.expected));
        EXPECT_FALSE(test::Exists(downloads.File(u.details.value("fileName").toStdString())));
    }
    EXPECT_EQ(dromo.Terminate(10000), 0);
    // The cookie is a secret: it never reaches the profile.
    EXPECT_EQ(test::ReadFile(m_ini.toStdString()).find("dromo=yes"), std::string::npos);
}

}  // namespace
}  // namespace dromo
