// A browser's cookies handed to the real Dromo on a private bus as the jar
// the browser holds (AddDownload's "cookieJar"), against nginx over plain
// HTTP and TLS under a host name that is no loopback address (a.localhost,
// which libcurl resolves itself): every request and every redirect hop of a
// download carries what a browser would send, and a members-only Metalink
// file is fetched with the jar, the referrer and the user agent.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "gui/capture/curlhook.h"
#include "platform/settingsprofile.h"
#include "tests/support/hexdigest.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using Clock = std::chrono::steady_clock;

const std::string kHost = "a.localhost";
const char* const kAgent = "Browser/1.0 (members test)";

std::string Line(const std::string& domain, const std::string& path, bool secure, const std::string& name,
                 const std::string& value)
{
    return domain + "\tFALSE\t" + path + "\t" + (secure ? "TRUE" : "FALSE") + "\t0\t" + name + "\t" + value + "\n";
}

// The site's cookies as a browser holds them: a Secure session for the TLS
// members area, one name on two paths, and a cookie of one folder.
const std::string kJar = "#HttpOnly_" + Line(kHost, "/", true, "sess", "s3cret") +
                         Line(kHost, "/", false, "sn", "root") + Line(kHost, "/sn/deep/", false, "sn", "deep") +
                         Line(kHost, "/scoped/", false, "scoped", "1");

std::string Meta4(const std::string& name, const std::string& data, const std::string& url)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<metalink xmlns=\"urn:ietf:params:xml:ns:metalink\">\n"
           "<file name=\"" +
           name + "\">\n<hash type=\"sha-256\">" + test::HexDigest(data) + "</hash>\n<url priority=\"1\">" + url +
           "</url>\n</file>\n</metalink>\n";
}

class BrowserCookies : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::MakeTestCa(m_keys.Path(), {kHost}));
        m_ca = std::make_unique<test::ScopedEnv>("CURL_CA_BUNDLE", m_keys.File("ca.pem").c_str());
        // The members area over TLS: the session cookie, and for its
        // Metalink file the page as referrer and the browser's agent too.
        m_tls = std::make_unique<test::Nginx>(
            m_www.Path(),
            "location /members/ { if ($cookie_sess != \"s3cret\") { return 403; } }"
            " location ~ \\.meta4$ { if ($cookie_sess != \"s3cret\") { return 403; }"
            " if ($http_referer !~ \"^https://a\\.localhost:[0-9]+/list\\.html$\") { return 403; }"
            " if ($http_user_agent != \"" +
                std::string(kAgent) + "\") { return 403; } }",
            m_keys.File("cert.pem"), m_keys.File("key.pem"));
        // Plain HTTP: a Secure cookie here is a leak (400); /secure/ moves
        // to the members area; each path checks the cookies it must get.
        m_plain = std::make_unique<test::Nginx>(
            m_www.Path(),
            "absolute_redirect off;"
            " location /secure/ { if ($http_cookie ~ \"sess=\") { return 400; }"
            " rewrite ^/secure/(.*)$ https://" +
                kHost + ":" + std::to_string(m_tls->Port()) +
                "/members/$1 permanent; }"
                " location /sn/deep/ { if ($http_cookie != \"sn=deep; sn=root\") { return 403; } }"
                " location /scoped/ { if ($cookie_scoped != \"1\") { return 403; }"
                " rewrite ^/scoped/(.*)$ /open/$1 redirect; }"
                " location /open/ { if ($http_cookie ~ \"scoped=|sess=\") { return 403; } }");
        for (const char* folder : {"members", "sn/deep", "open"}) {
            std::filesystem::create_directories(m_www.File(folder));
        }
        m_daemon = std::make_unique<test::PrivateSessionBus>();
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(m_daemon->Address()), QStringLiteral("cookies")));
        ASSERT_TRUE(m_bus->isConnected());
        m_ini = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini";
        QFile::remove(m_ini);
        SettingsProfile profile(m_ini);
        profile.WriteString("Settings", "Save to", m_downloads.Path() + "/");
        ASSERT_TRUE(profile.Flush());
        qDBusRegisterMetaType<CURLHook::Details>();
    }
    void TearDown() override
    {
        m_bus.reset();
        m_daemon.reset();
    }
    std::string Http(const std::string& path) const
    {
        return "http://" + kHost + ":" + std::to_string(m_plain->Port()) + path;
    }
    std::string Https(const std::string& path) const
    {
        return "https://" + kHost + ":" + std::to_string(m_tls->Port()) + path;
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
        return m_bus->call(call, QDBus::Block, 30000);
    }
    // What the profile on disk holds of the task with this target:
    // "FIELD=VALUE" for the asked fields, "" for no such task.
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

    test::TempDir m_keys;
    test::TempDir m_www;
    test::TempDir m_downloads;
    std::unique_ptr<test::ScopedEnv> m_ca;
    std::unique_ptr<test::Nginx> m_tls;
    std::unique_ptr<test::Nginx> m_plain;
    std::unique_ptr<test::PrivateSessionBus> m_daemon;
    std::unique_ptr<QDBusConnection> m_bus;
    QString m_ini;
};

// Each download gets what a browser would send on each hop, from one jar.
TEST_F(BrowserCookies, EachHopOfADownloadCarriesWhatTheBrowserWouldSend)
{
    const struct {
        const char* what;
        const char* file;  // under the folder the server keeps it in
        std::string url;
    } cases[] = {
        {"http to https: the Secure session on the TLS leg only", "members/secure.bin", Http("/secure/secure.bin")},
        {"one name on two paths: both, the longer path first", "sn/deep/two.bin", Http("/sn/deep/two.bin")},
        {"a folder's cookie stays behind on a redirect out of it", "open/scoped.bin", Http("/scoped/scoped.bin")},
    };
    test::ChildProcess dromo({DROMO_BIN});
    ASSERT_TRUE(WaitFor([&] { return Owned(); }));
    unsigned seed = 40;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string data = test::RandomBytes(150000, ++seed);
        test::WriteFile(m_www.File(c.file), data);
        const std::string name = std::filesystem::path(c.file).filename();
        const QDBusMessage reply = AddDownload(c.url, {{"cookieJar", QString::fromStdString(kJar)},
                                                       {"userAgent", kAgent},
                                                       {"fileName", QString::fromStdString(name)}});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        EXPECT_TRUE(WaitFor([&] { return test::ReadFile(m_downloads.File(name)) == data; }))
            << SavedField(c.url, "Failure");
    }
    EXPECT_EQ(dromo.Terminate(10000), 0);
    // The jar is a secret: it never reaches the profile.
    EXPECT_EQ(test::ReadFile(m_ini.toStdString()).find("s3cret"), std::string::npos);
}

// A members-only Metalink file comes with the browser's jar, referrer and
// agent, and its file's task goes with the jar too; one that cannot be had
// leaves a task that says why.
TEST_F(BrowserCookies, AMembersOnlyMetalinkFileIsFetchedAsTheBrowserWould)
{
    const std::string data = test::RandomBytes(300000, 61);
    test::WriteFile(m_www.File("members/m.iso"), data);
    test::WriteFile(m_www.File("members/all.meta4"), Meta4("m.iso", data, Https("/members/m.iso")));
    const CURLHook::Details details{{"cookieJar", QString::fromStdString(kJar)},
                                    {"referrer", QString::fromStdString(Https("/list.html"))},
                                    {"userAgent", kAgent}};
    test::ChildProcess dromo({DROMO_BIN});
    ASSERT_TRUE(WaitFor([&] { return Owned(); }));
    const QDBusMessage reply = AddDownload(Https("/members/all.meta4"), details);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_TRUE(WaitFor([&] { return test::ReadFile(m_downloads.File("m.iso")) == data; }));
    EXPECT_EQ(SavedField(Https("/members/m.iso"), "Checksum"), "sha-256=" + test::HexDigest(data));

    // Without the page it came from the site refuses it: the hand-over is
    // taken, and the task it leaves says why.
    CURLHook::Details noReferrer = details;
    noReferrer.remove("referrer");
    test::WriteFile(m_www.File("members/copy.meta4"), Meta4("copy.iso", data, Https("/members/m.iso")));
    const std::string refused = Https("/members/copy.meta4");
    ASSERT_EQ(AddDownload(refused, noReferrer).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(WaitFor([&] { return !SavedField(refused, "Failure").empty(); }));
    EXPECT_NE(SavedField(refused, "Failure").find("The Metalink file could not be fetched: "), std::string::npos)
        << SavedField(refused, "Failure");
    EXPECT_EQ(SavedField(refused, "Metalink Document"), "1");

    // A jar no request could carry is refused at once, fetched never.
    CURLHook::Details broken = details;
    broken["cookieJar"] = QStringLiteral("a.localhost\tFALSE\t/\n");
    const QDBusMessage answer = AddDownload(Https("/members/copy.meta4?broken"), broken);
    EXPECT_EQ(answer.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(answer.errorMessage().toStdString(), AddResultMessage(AddResult::BadCookieJar));
    EXPECT_EQ(dromo.Terminate(10000), 0);
    EXPECT_EQ(test::ReadFile(m_ini.toStdString()).find("s3cret"), std::string::npos);
}

}  // namespace
}  // namespace dromo
