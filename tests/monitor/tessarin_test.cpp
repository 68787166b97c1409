// The tessarin host as the browser runs it: frames on stdin, answers on
// stdout, captured URLs handed to a stand-in for Dromo on a private bus.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

#include "platform/settingsprofile.h"
#include "tests/support/fakedromo.h"
#include "tests/support/testservers.h"

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
    // python3-dbusmock as DROMO.URLMonitor, logging every call; with
    // details, AddDownload logs them to calls.log.details.
    void FakeDromo(const std::string& log, bool withDetails = false)
    {
        m_dromo = test::StartFakeDromo(*m_bus, log, withDetails);
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
        Frame(
            R"({"monitor":"URLMonitor","event":"StatusTextChange","text":"Start downloading from site: http://h/c.exe","ctrl":false})") +
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
    // No Dromo on the bus and none to activate: the browser keeps the
    // download, as nothing could take it.
    std::string output;
    EXPECT_EQ(
        RunHost(Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/a.zip"})") +
                    Frame(R"({"monitor":"NVMonitor","event":"Initialize","protocol":"http","url":"http://h/a.zip"})"),
                output),
        0);
    EXPECT_EQ(Frames(output), (std::vector<std::string>{R"({"capture":false})", R"({"retVal":0})"}));

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
    QDBusMessage slow =
        QDBusMessage::createMethodCall("DROMO.URLMonitor", "/URLMonitor", "org.freedesktop.DBus.Mock", "AddMethod");
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

// What the extension adds to the five messages: request ids, the browser's
// details, the method, and its word on each capture it was told of.
TEST_F(Host, CapturesByTheBrowsersKnowledgeAndDeliversOnlyWhatTheExtensionConfirms)
{
    test::TempDir dir;
    FakeDromo(dir.File("calls.log"), true);
    const std::string details =
        R"("details":{"cookie":"session=s3cr3t; lang=en","referrer":"http://h/members.html","userAgent":"UA/1",)"
        R"("fileName":"report.zip","mimeType":"application/zip","size":4096,"color":"ignored"})";
    auto status = [&details](int id, const std::string& url, const std::string& extra = "") {
        return Frame(R"({"monitor":"URLMonitor","event":"StatusTextChange","id":)" + std::to_string(id) +
                     R"(,"url":")" + url + R"(","text":"Start downloading from site: )" + url + R"(","ctrl":false,)" +
                     extra + details + "}");
    };
    struct Case {
        std::string frame;
        std::string reply;
    };
    const std::vector<Case> cases = {
        // The URL hides the type: the browser's file name decides.
        {status(1, "http://h/get?id=7"), R"({"capture":true,"id":1})"},
        {status(2, "http://h/download/12345"), R"({"capture":true,"id":2})"},
        // The URL names a type of its own: the file name is not asked.
        {status(3, "http://h/page.html"), R"({"capture":false,"id":3})"},
        // Only web and FTP URLs fetched with GET can be fetched again.
        {status(4, "data:application/zip;base64,UEsFBg.zip"), R"({"capture":false,"id":4})"},
        {status(5, "blob:http://h/0c5e.zip"), R"({"capture":false,"id":5})"},
        {status(6, "http://h/form.zip", R"("method":"POST",)"), R"({"capture":false,"id":6})"},
        {Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","id":"c7","url":"http://h/a.zip",)"
               R"("method":"GET",)" +
               details + "}"),
         R"({"capture":true,"id":"c7"})"},
        {Frame(R"({"monitor":"NVMonitor","event":"Initialize","id":8,"protocol":"http","url":"http://h/get?id=8",)" +
               details + "}"),
         R"({"id":8,"retVal":1})"},
        // The extension's word: 1, 7 and 8 delivered, 2 given up.
        {Frame(R"({"monitor":"URLMonitor","event":"Deliver","id":1})"), R"({"id":1})"},
        {Frame(R"({"monitor":"URLMonitor","event":"Cancel","id":2})"), R"({"id":2})"},
        {Frame(R"({"monitor":"URLMonitor","event":"Deliver","id":2})"),
         R"({"error":"no capture held under this id","id":2})"},
        {Frame(R"({"monitor":"URLMonitor","event":"Deliver","id":3})"),
         R"({"error":"no capture held under this id","id":3})"},
        {Frame(R"({"monitor":"URLMonitor","event":"Deliver","id":"c7"})"), R"({"id":"c7"})"},
        {Frame(R"({"monitor":"NVMonitor","event":"Deliver","id":8})"), R"({"id":8})"},
        // The switches the content script decides clicks by.
        {Frame(R"({"monitor":"URLMonitor","event":"Switches"})"),
         R"({"allFtp":false,"clicks":true,"fileTypes":["exe","zip"]})"},
    };
    std::string input;
    for (const Case& c : cases) {
        input += c.frame;
    }
    std::string output;
    EXPECT_EQ(RunHost(input, output), 0);
    const auto frames = Frames(output);
    ASSERT_EQ(frames.size(), cases.size()) << output;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(frames[i], cases[i].reply) << "case " << i;
    }
    const std::string known =
        "cookie=session=s3cr3t; lang=en fileName=report.zip mimeType=application/zip "
        "referrer=http://h/members.html size=4096 userAgent=UA/1\n";
    std::vector<std::string> delivered;
    std::istringstream lines(test::ReadFile(dir.File("calls.log.details")));
    for (std::string line; std::getline(lines, line);) {
        delivered.push_back(line + "\n");
    }
    std::sort(delivered.begin(), delivered.end());
    EXPECT_EQ(delivered, (std::vector<std::string>{"http://h/a.zip " + known, "http://h/get?id=7 " + known,
                                                   "http://h/get?id=8 " + known}))
        << test::ReadFile(dir.File("calls.log"));
    EXPECT_EQ(test::ReadFile(dir.File("calls.log")).find("AddURL"), std::string::npos)
        << test::ReadFile(dir.File("calls.log"));
}

// What Dromo would refuse to take (a detail it could not send, a URL it
// cannot read) is never captured: the browser keeps its download instead of
// dropping it for a hand-over Dromo turns down, and a menu's link goes to
// the browser. Nothing of it reaches Dromo.
TEST_F(Host, WhatDromoWouldRefuseStaysWithTheBrowser)
{
    test::TempDir dir;
    FakeDromo(dir.File("calls.log"), true);
    const std::string longCookie = "c=" + std::string(8001, 'x');
    const std::vector<std::string> badDetails = {
        R"({"referrer":"http://h/\r\nX-Injected: 1"})",
        R"({"userAgent":"UA/1\nX-Injected: 1"})",
        R"({"referrer":"http://h/\tpage"})",
        R"({"cookie":"s=1\r\n"})",
        R"({"cookie":"s=1\u0000t=2"})",
        R"({"cookie":")" + longCookie + R"("})",
    };
    struct Case {
        std::string frame;
        std::string reply;
    };
    std::vector<Case> cases;
    int id = 0;
    for (const std::string& details : badDetails) {
        const std::string d = R"(,"details":)" + details + "}";
        ++id;
        cases.push_back({Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","id":)" + std::to_string(id) +
                               R"(,"url":"http://h/a.zip")" + d),
                         R"({"capture":false,"id":)" + std::to_string(id) + "}"});
        ++id;
        cases.push_back({Frame(R"({"monitor":"URLMonitor","event":"StatusTextChange","id":)" + std::to_string(id) +
                               R"(,"url":"http://h/b.exe","text":"Start downloading from site: http://h/b.exe")" + d),
                         R"({"capture":false,"id":)" + std::to_string(id) + "}"});
        ++id;
        cases.push_back({Frame(R"({"monitor":"NVMonitor","event":"Initialize","id":)" + std::to_string(id) +
                               R"(,"protocol":"http","url":"http://h/c.zip")" + d),
                         R"({"id":)" + std::to_string(id) + R"(,"retVal":0})"});
        ++id;
        cases.push_back({Frame(R"({"monitor":"URLMonitor","event":"AddDownload","id":)" + std::to_string(id) +
                               R"(,"url":"http://h/d.bin")" + d),
                         R"({"id":)" + std::to_string(id) + R"(,"taken":false})"});
    }
    // A URL with no host is no task: the browser says what it makes of it.
    cases.push_back(
        {Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http:///a.zip"})"), R"({"capture":false})"});
    // Details Dromo takes are captured as before.
    cases.push_back({Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","id":99,"url":"http://h/ok.zip",)"
                           R"("details":{"referrer":"http://h/page","cookie":"s=1"}})"),
                     R"({"capture":true,"id":99})"});
    cases.push_back({Frame(R"({"monitor":"URLMonitor","event":"Deliver","id":99})"), R"({"id":99})"});
    std::string input;
    for (const Case& c : cases) {
        input += c.frame;
    }
    // The refused captures are confirmed all the same, as an extension
    // would that took them: nothing is held for them.
    for (int i = 1; i <= id; ++i) {
        input += Frame(R"({"monitor":"URLMonitor","event":"Deliver","id":)" + std::to_string(i) + "}");
    }
    std::string output;
    EXPECT_EQ(RunHost(input, output), 0);
    const auto frames = Frames(output);
    ASSERT_EQ(frames.size(), cases.size() + static_cast<std::size_t>(id)) << output;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(frames[i], cases[i].reply) << "case " << i;
    }
    EXPECT_EQ(test::ReadFile(dir.File("calls.log.details")), "http://h/ok.zip cookie=s=1 referrer=http://h/page\n");
    const std::string calls = test::ReadFile(dir.File("calls.log"));
    EXPECT_EQ(calls.find("AddURL"), std::string::npos) << calls;
}

// The fragment never reaches the server: every monitor judges the URL
// without it, and Dromo gets it so.
TEST_F(Host, AUrlIsJudgedAndHandedOverWithoutItsFragment)
{
    test::TempDir dir;
    FakeDromo(dir.File("calls.log"));
    const std::string input =
        Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/n11.zip#top","ctrl":false})") +
        Frame(
            R"({"monitor":"URLMonitor","event":"StatusTextChange","text":"Start downloading from site: http://h/s.exe#x"})") +
        Frame(R"({"monitor":"NVMonitor","event":"Initialize","protocol":"http","url":"http://h/f.zip#a.b"})") +
        Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/page.html#a.zip"})");
    std::string output;
    EXPECT_EQ(RunHost(input, output), 0);
    EXPECT_EQ(Frames(output), (std::vector<std::string>{R"({"capture":true})", R"({"capture":true})", R"({"retVal":1})",
                                                        R"({"capture":false})"}));
    const std::string calls = test::ReadFile(dir.File("calls.log"));
    for (const char* url : {"http://h/n11.zip", "http://h/s.exe", "http://h/f.zip"}) {
        EXPECT_NE(calls.find("AddURL \"" + std::string(url) + "\""), std::string::npos) << calls;
    }
    EXPECT_EQ(calls.find('#'), std::string::npos) << calls;
}

// The menus: one link, or a page's links, handed over at once whatever the
// capture switches say, whenever Dromo can take them.
TEST_F(Host, TheMenusHandOverWhatTheUserChose)
{
    test::TempDir dir;
    FakeDromo(dir.File("calls.log"), true);
    {
        SettingsProfile profile(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini");
        profile.WriteInt("Settings", "Capture Clicks in IE", 0);  // no capture at all
        ASSERT_TRUE(profile.Flush());
    }
    const std::string shared = R"("details":{"referrer":"http://h/list.html","userAgent":"UA/1"})";
    struct Case {
        std::string frame;
        std::string reply;
    };
    const std::vector<Case> cases = {
        {Frame(R"({"monitor":"URLMonitor","event":"AddDownload","id":1,"url":"http://h/page.html#top",)"
               R"("details":{"cookie":"s=1","referrer":"http://h/list.html","userAgent":"UA/1"}})"),
         R"({"id":1,"taken":true})"},
        {Frame(R"({"monitor":"NVMonitor","event":"AddDownload","url":"mailto:someone@example.org"})"),
         R"({"taken":false})"},
        {Frame(R"({"monitor":"NVMonitor","event":"AddDownloads","id":2,)" + shared +
               R"(,"cookies":["s=1","t=2"],"links":[{"url":"http://h/a.bin","cookie":0},)"
               R"({"url":"mailto:x@y"},{"url":"ftp://f/b.iso#x","fileName":"b.iso"},)"
               R"({"url":"https://o/c.zip","cookie":1},{"url":"http://h/d","cookie":7},{"url":42},)"
               R"({"url":"http://h/e","cookie":-1}]})"),
         R"({"id":2,"links":5,"taken":true})"},
        // Nothing a task can come of: nothing goes to Dromo.
        {Frame(R"({"monitor":"URLMonitor","event":"AddDownloads","links":[{"url":"data:,x"}]})"),
         R"({"links":0,"taken":false})"},
        {Frame(R"({"monitor":"URLMonitor","event":"AddDownloads"})"), R"({"links":0,"taken":false})"},
    };
    std::string input;
    for (const Case& c : cases) {
        input += c.frame;
    }
    std::string output;
    EXPECT_EQ(RunHost(input, output), 0);
    const auto frames = Frames(output);
    ASSERT_EQ(frames.size(), cases.size()) << output;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(frames[i], cases[i].reply) << "case " << i;
    }
    EXPECT_EQ(test::ReadFile(dir.File("calls.log.details")),
              "http://h/page.html cookie=s=1 referrer=http://h/list.html userAgent=UA/1\n");
    EXPECT_EQ(test::ReadFile(dir.File("calls.log.links")),
              "call 5\n"
              "http://h/a.bin cookie=s=1 referrer=http://h/list.html userAgent=UA/1\n"
              "ftp://f/b.iso fileName=b.iso referrer=http://h/list.html userAgent=UA/1\n"
              "https://o/c.zip cookie=t=2 referrer=http://h/list.html userAgent=UA/1\n"
              "http://h/d referrer=http://h/list.html userAgent=UA/1\n"
              "http://h/e referrer=http://h/list.html userAgent=UA/1\n");
}

// The browser's cookie jar goes to Dromo whole; a jar Dromo could not send
// is refused in the answer, before the browser lets go of its download, and
// nothing of that message reaches Dromo.
TEST_F(Host, ACookieJarGoesToDromoWholeOrTheBrowserKeepsTheDownload)
{
    test::TempDir dir;
    FakeDromo(dir.File("calls.log"), true);
    const std::string jar = R"(#HttpOnly_members.example\tFALSE\t/\tTRUE\t0\tsession\ts3cr3t\n)"
                            R"(.example\tTRUE\t/sn/deep/\tFALSE\t1999999999\tsn\tdeep\n)";
    const std::string shown =
        "#HttpOnly_members.example\\tFALSE\\t/\\tTRUE\\t0\\tsession\\ts3cr3t\\n"
        ".example\\tTRUE\\t/sn/deep/\\tFALSE\\t1999999999\\tsn\\tdeep\\n";
    const std::string crlf = R"(members.example\tFALSE\t/\tTRUE\t0\tsession\ts3cr3t\r\n)";
    const std::string header = jar + R"(Cookie: admin=1\n)";
    const std::string huge = std::string(65537, '#');
    const auto withJar = [](const std::string& j) { return R"("details":{"cookieJar":")" + j + R"("})"; };
    const std::string control = "The browser's cookie jar holds a carriage return or another control character.";
    const std::string badLine =
        "The browser's cookie jar has a line that is no cookie: seven fields separated by tabs are expected.";
    const std::string tooLong = "The browser's cookie jar is longer than 65536 bytes.";
    struct Case {
        std::string frame;
        std::string reply;
    };
    const std::vector<Case> cases = {
        {Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","id":1,"url":"http://members.example/a.zip",)" +
               withJar(jar) + "}"),
         R"({"capture":true,"id":1})"},
        {Frame(R"({"monitor":"URLMonitor","event":"Deliver","id":1})"), R"({"id":1})"},
        {Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","id":2,"url":"http://members.example/b.zip",)" +
               withJar(crlf) + "}"),
         R"({"error":")" + control + R"(","id":2})"},
        {Frame(R"({"monitor":"URLMonitor","event":"Deliver","id":2})"),
         R"({"error":"no capture held under this id","id":2})"},
        {Frame(R"({"monitor":"NVMonitor","event":"Initialize","id":3,"protocol":"http",)"
               R"("url":"http://members.example/c.zip",)" +
               withJar(header) + "}"),
         R"({"error":")" + badLine + R"(","id":3})"},
        {Frame(R"({"monitor":"NVMonitor","event":"AddDownload","id":4,"url":"http://members.example/d.bin",)" +
               withJar(jar) + "}"),
         R"({"id":4,"taken":true})"},
        {Frame(R"({"monitor":"NVMonitor","event":"AddDownload","id":5,"url":"http://members.example/e.bin",)" +
               withJar(huge) + "}"),
         R"({"error":")" + tooLong + R"(","id":5})"},
        {Frame(R"({"monitor":"URLMonitor","event":"AddDownloads","id":6,"cookieJars":[")" + jar +
               R"("],"links":[{"url":"http://members.example/f.bin","cookieJar":0},{"url":"http://o/g.bin"}]})"),
         R"({"id":6,"links":2,"taken":true})"},
        {Frame(R"({"monitor":"URLMonitor","event":"AddDownloads","id":7,"cookieJars":[")" + jar + R"(",")" + crlf +
               R"("],"links":[{"url":"http://members.example/h.bin","cookieJar":0},)"
               R"({"url":"http://members.example/i.bin","cookieJar":1}]})"),
         R"({"error":")" + control + R"(","id":7})"},
    };
    std::string input;
    for (const Case& c : cases) {
        input += c.frame;
    }
    std::string output;
    EXPECT_EQ(RunHost(input, output), 0);
    const auto frames = Frames(output);
    ASSERT_EQ(frames.size(), cases.size()) << output;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(frames[i], cases[i].reply) << "case " << i;
    }
    std::vector<std::string> delivered;
    std::istringstream lines(test::ReadFile(dir.File("calls.log.details")));
    for (std::string line; std::getline(lines, line);) {
        delivered.push_back(line);
    }
    std::sort(delivered.begin(), delivered.end());
    EXPECT_EQ(delivered, (std::vector<std::string>{"http://members.example/a.zip cookieJar=" + shown,
                                                   "http://members.example/d.bin cookieJar=" + shown}));
    EXPECT_EQ(test::ReadFile(dir.File("calls.log.links")),
              "call 2\nhttp://members.example/f.bin cookieJar=" + shown + "\nhttp://o/g.bin\n");
    EXPECT_EQ(test::ReadFile(dir.File("calls.log")).find("AddURL"), std::string::npos);
}

TEST_F(Host, WithoutDromoTheMenusAreToldSoAndTooManyLinksAreRefused)
{
    std::string links;
    for (int i = 0; i < 10001; ++i) {
        links += std::string(i == 0 ? "" : ",") + R"({"url":"http://h/)" + std::to_string(i) + R"(.zip"})";
    }
    std::string output;
    EXPECT_EQ(RunHost(Frame(R"({"monitor":"URLMonitor","event":"AddDownload","url":"http://h/a.bin"})") +
                          Frame(R"({"monitor":"URLMonitor","event":"AddDownloads","links":[{"url":"http://h/a"}]})") +
                          Frame(R"({"monitor":"URLMonitor","event":"AddDownloads","id":3,"links":[)" + links + "]}"),
                      output),
              0);
    EXPECT_EQ(Frames(output), (std::vector<std::string>{R"({"taken":false})", R"({"links":0,"taken":false})",
                                                        R"({"error":"too many links","id":3})"}));
}

TEST_F(Host, ADromoWithoutAddDownloadGetsTheUrl)
{
    test::TempDir dir;
    FakeDromo(dir.File("calls.log"));
    std::string output;
    EXPECT_EQ(RunHost(Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/a.zip",)"
                            R"("details":{"referrer":"http://h/"}})"),
                      output),
              0);
    EXPECT_EQ(Frames(output), std::vector<std::string>{R"({"capture":true})"});
    const std::string calls = test::ReadFile(dir.File("calls.log"));
    EXPECT_NE(calls.find("AddURL \"http://h/a.zip\""), std::string::npos) << calls;
}

TEST_F(Host, ADromoTheBusCanStartCountsAsThere)
{
    // Not running, but activatable: the capture stands and the hand-over
    // starts it (here a stand-in that notes it was started, then fails).
    test::TempDir dir;
    const std::string services = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")).toStdString() + "/dbus-1/services";
    std::filesystem::create_directories(services);
    const std::string service = services + "/DROMO.URLMonitor.service";
    test::WriteFile(service, "[D-BUS Service]\nName=DROMO.URLMonitor\nExec=/bin/sh -c 'echo started >> " +
                                 dir.File("started") + "; exit 1'\n");
    m_bus.reset();
    m_daemon.reset();
    m_daemon = std::make_unique<test::PrivateSessionBus>();  // reads the service folders afresh
    std::string output;
    EXPECT_EQ(RunHost(Frame(R"({"monitor":"URLMonitor","event":"BeforeNavigate2","url":"http://h/a.zip"})"), output),
              0);
    std::filesystem::remove(service);
    EXPECT_EQ(Frames(output), std::vector<std::string>{R"({"capture":true})"});
    EXPECT_EQ(test::ReadFile(dir.File("started")), "started\n");
}

}  // namespace
}  // namespace dromo
