// A site's cookies as the browser holds them, from a click in Chromium and
// in Firefox ESR to the file on disk through the real Dromo. The site is on
// a host name that is not loopback (to which browsers send no Secure cookie
// over plain http): members.test, which the browsers and Dromo reach at
// 127.0.0.1 by the test's own means (Chromium's resolver rules, Firefox's
// local domains, an nss_wrapper hosts file for Dromo). Each link's file
// comes whole only when every request on the way carried what the browser
// would have sent, and no more: the servers refuse the rest, and their logs
// name a cookie that went where the browser would not have sent it.

#include <gtest/gtest.h>

#include <QDBusConnection>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/settingsprofile.h"
#include "tests/browser/browsers.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

namespace fs = std::filesystem;

using test::ReadFile;
using test::WriteFile;

const std::string kHost = "members.test";

// A link of the site's page, the file its last server serves (a path under
// the plain or the TLS server's folder) and what it tries.
struct Link {
    const char* what;
    const char* href;
    const char* served;
    bool overTls;
};

const Link kLinks[] = {
    // An http link to the members' area, which moved to https and wants its
    // Secure session cookie (and the partitioned one the site set, where the
    // browser partitions it).
    {"http to https, Secure session", "/members/vault.zip", "members/vault.zip", true},
    // sn on / and on /sn/deep/: below /sn/deep/ the deeper one goes first.
    {"two of one name, the deeper path's", "/sn/deep/deep.zip", "sn/deep/deep.zip", false},
    {"two of one name, the root's", "/sn/root.zip", "sn/root.zip", false},
    // pc belongs to /a/; the file moved to /b/, where pc is refused.
    {"a path's cookie stays behind on a redirect", "/a/scoped.zip", "b/scoped.zip", false},
};

// A location of the plain server, and the cookies its log must never see
// (an nginx condition: not empty when one of them came).
struct Leak {
    const char* what;
    const char* location;
    const char* cookies;
};

const Leak kLogs[] = {
    // The http leg of the members' link, before its 301 to https.
    {"a Secure cookie over plain http", "members", "$cookie_sid$cookie_pt"},
    {"a path's cookie on another path", "b", "$cookie_pc"},
};

class SiteCookies : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(test::kDriverDir + "/node_modules/playwright-core")) {
            GTEST_SKIP() << "needs `npm ci --prefix tests/browser`";
        }
        WriteFile(m_dir.File("hosts"), "127.0.0.1 " + kHost + "\n");
        m_resolve = {"LD_PRELOAD=libnss_wrapper.so", "NSS_WRAPPER_HOSTS=" + m_dir.File("hosts")};
        std::vector<std::string> getent = {"/usr/bin/env"};
        getent.insert(getent.end(), m_resolve.begin(), m_resolve.end());
        getent.insert(getent.end(), {"getent", "hosts", kHost});
        std::string resolved;
        if (test::RunCommand(getent, &resolved, "", false) != 0 || resolved.find("127.0.0.1") != 0) {
            GTEST_SKIP() << "needs libnss-wrapper: " << resolved;
        }
        ASSERT_TRUE(test::MakeTestCa(m_keys.Path(), {kHost}));
        Serve();

        m_daemon = std::make_unique<test::PrivateSessionBus>();
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(m_daemon->Address()), "site-cookies"));
        ASSERT_TRUE(m_bus->isConnected());
        SettingsProfile profile;
        profile.WriteInt("Settings", "Capture Clicks in IE", 1);
        profile.WriteInt("Settings", "Capture Clicks in NV", 1);
        profile.WriteInt("Settings", "Capture All FTP", 0);
        profile.WriteInt("Settings", "Start with Browser", 0);
        profile.WriteString("Settings", "Capture File Types", "zip");
        profile.WriteString("Settings", "Save to", m_saveTo.Path() + "/");
        ASSERT_TRUE(profile.Flush());
        std::vector<std::string> env = m_resolve;
        env.insert(env.end(), {"CURL_CA_BUNDLE=" + m_keys.File("ca.pem"), "DROMO_TRACE=1"});
        m_dromo = test::StartDromo(*m_bus, env, m_dir.File("trace.log"));
        ASSERT_TRUE(m_dromo) << "Dromo did not take its bus name\n" << ReadFile(m_dir.File("trace.log"));
        fs::create_directories(m_downloads.Path());
    }

    void TearDown() override
    {
        if (m_dromo) {
            EXPECT_EQ(m_dromo->Terminate(10000), 0);
        }
        m_dromo.reset();
        m_bus.reset();
        QDBusConnection::disconnectFromBus("site-cookies");
        m_daemon.reset();
    }

    // The site: its https side sets the session (Secure, HttpOnly, and one
    // partitioned), its http side the page's cookies and the redirects.
    void Serve()
    {
        WriteFile(m_tlsWww.File("login.html"), "<!doctype html><p>signed in</p>\n");
        std::string page = "<!doctype html><body>\n";
        for (std::size_t i = 0; i < std::size(kLinks); ++i) {
            const Link& link = kLinks[i];
            const test::TempDir& www = link.overTls ? m_tlsWww : m_www;
            fs::create_directories(fs::path(www.File(link.served)).parent_path());
            WriteFile(www.File(link.served), test::RandomBytes(4096 + i, static_cast<unsigned>(i) + 11));
            page += "<a class=\"case\" id=\"case" + std::to_string(i) + "\" href=\"" + link.href + "\">" + link.what +
                    "</a>\n";
        }
        WriteFile(m_www.File("cookies.html"), page + "</body>\n");
        const std::string types = "types { text/html html; application/zip zip; } ";
        m_tls = std::make_unique<test::Nginx>(
            m_tlsWww.Path(),
            types +
                "location = /login.html { add_header Set-Cookie \"sid=s3cure; Path=/; Secure; HttpOnly\"; "
                "  add_header Set-Cookie \"pt=part; Path=/; Secure; SameSite=None; Partitioned\"; } "
                "location /members/ { if ($cookie_sid != \"s3cure\") { return 403; } "
                "  if ($cookie_pt != \"part\") { return 403; } }",
            m_keys.File("cert.pem"), m_keys.File("key.pem"));
        const std::string tls = "https://" + kHost + ":" + std::to_string(m_tls->Port());
        m_plain = std::make_unique<test::Nginx>(
            m_www.Path(), types + "location = /login.html { return 301 " + tls +
                              "/login.html; } "
                              "location = /cookies.html { add_header Set-Cookie \"sn=root; Path=/\"; "
                              "  add_header Set-Cookie \"sn=deep; Path=/sn/deep/\"; "
                              "  add_header Set-Cookie \"pc=scoped; Path=/a/\"; } "
                              "location /members/ { " +
                              Logs(kLogs[0]) + "return 301 " + tls +
                              "$request_uri; } "
                              "location /sn/deep/ { if ($cookie_sn != \"deep\") { return 403; } } "
                              "location /sn/ { if ($cookie_sn != \"root\") { return 403; } } "
                              "location /a/ { if ($cookie_pc != \"scoped\") { return 403; } "
                              "  rewrite ^/a/(.*)$ /b/$1 redirect; } "
                              "location /b/ { " +
                              Logs(kLogs[1]) + "if ($cookie_pc != \"\") { return 403; } }");
    }

    // A location's two logs: every request, and apart those that carried
    // what the browser keeps from it.
    std::string Logs(const Leak& leak) const
    {
        return "access_log " + m_logs.File(std::string(leak.location) + ".log") + "; access_log " +
               m_logs.File(std::string(leak.location) + ".leaked.log") + " combined if=" + leak.cookies + "; ";
    }

    std::string Origin() const { return "http://" + kHost + ":" + std::to_string(m_plain->Port()); }

    // Every link's file in Dromo's folder, byte-exact; none left to the
    // browser. What was lost comes with the driver's account and Dromo's
    // trace.
    void CheckFiles(const std::string& output)
    {
        std::vector<std::string> lost;
        for (const Link& link : kLinks) {
            const std::string name = fs::path(link.served).filename();
            const test::TempDir& www = link.overTls ? m_tlsWww : m_www;
            if (ReadFile(m_saveTo.File(name)) != ReadFile(www.File(link.served))) {
                lost.emplace_back(link.what);
            }
            EXPECT_FALSE(fs::exists(m_downloads.File(name))) << link.what;
        }
        EXPECT_EQ(lost, std::vector<std::string>()) << output << "\nDromo's trace:\n"
                                                    << ReadFile(m_dir.File("trace.log"));
        // The server's own account: each location was asked for, and no
        // request to it carried what the browser would not have sent (a
        // leak the server let pass leaves the file whole).
        for (const Leak& leak : kLogs) {
            const std::string location = leak.location;
            EXPECT_NE(ReadFile(m_logs.File(location + ".log")), "") << leak.what;
            EXPECT_EQ(ReadFile(m_logs.File(location + ".leaked.log")), "") << leak.what;
        }
    }

    // The links clicked in Firefox ESR with more preferences.
    void RunFirefox(const std::string& prefs)
    {
        if (!fs::exists(test::kFirefox)) {
            GTEST_SKIP() << "needs Debian's firefox-esr";
        }
        test::FirefoxEsr firefox(m_downloads.Path(),
                                 "user_pref(\"network.dns.localDomains\", \"" + kHost + "\");\n" + prefs);
        const std::string output =
            Drive(firefox.Driver({Origin(), "", m_downloads.Path(), "cookies", m_saveTo.Path()}));
        firefox.process->Terminate(10000);
        CheckFiles(output);
    }

    // Runs a driver; its output, with its exit status checked.
    std::string Drive(const std::vector<std::string>& argv)
    {
        std::string output;
        EXPECT_EQ(test::RunCommand(argv, &output), 0) << output;
        return output;
    }

    test::TempDir m_dir;
    test::TempDir m_keys;
    test::TempDir m_logs;
    test::TempDir m_www;
    test::TempDir m_tlsWww;
    test::TempDir m_saveTo;
    test::TempDir m_downloads;
    std::vector<std::string> m_resolve;
    std::unique_ptr<test::Nginx> m_tls;
    std::unique_ptr<test::Nginx> m_plain;
    std::unique_ptr<test::PrivateSessionBus> m_daemon;
    std::unique_ptr<QDBusConnection> m_bus;
    std::unique_ptr<test::ChildProcess> m_dromo;
};

TEST_F(SiteCookies, Chromium)
{
    if (!fs::exists(test::kChromium)) {
        GTEST_SKIP() << "needs Debian's chromium";
    }
    // The test's TLS server has a certificate of the test's own CA.
    test::Chromium chromium(m_downloads.Path(),
                            {"--host-resolver-rules=MAP " + kHost + " 127.0.0.1", "--ignore-certificate-errors"});
    const std::string output = Drive({"node", test::kDriverDir + "/drive.mjs", chromium.cdp, Origin(), "",
                                      m_downloads.Path(), "cookies", m_saveTo.Path()});
    chromium.process->Terminate(10000);
    CheckFiles(output);
}

TEST_F(SiteCookies, FirefoxEsr)
{
    RunFirefox("");
}

// With first-party isolation, the add-on names the first party it reads
// cookies for, or reads none.
TEST_F(SiteCookies, FirefoxEsrWithFirstPartyIsolation)
{
    RunFirefox("user_pref(\"privacy.firstparty.isolate\", true);\n");
}

}  // namespace
}  // namespace dromo
