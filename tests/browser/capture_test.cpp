// Tessarin end to end in Debian's Chromium and Firefox ESR, headless: the
// extension loaded, the host registered, a stand-in for Dromo on a private
// session bus, pages on a local nginx. Drivers click (drive.mjs over the
// DevTools protocol, drive-firefox.mjs over WebDriver BiDi); this side checks
// what reached Dromo and what the browser kept.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <filesystem>
#include <regex>
#include <sstream>

#include "platform/settingsprofile.h"
#include "tests/browser/browsers.h"
#include "tests/support/fakedromo.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

namespace fs = std::filesystem;

// The members' session as a hand-over carries it: the Cookie header, and the
// jar (the fake Dromo's log writes its tabs and line ends as \t and \n) with
// the cookie HttpOnly, host-only, on path /, not Secure, for the session.
const std::string kSession =
    " cookie=session=s3cr3t cookieJar=#HttpOnly_127.0.0.1\\tFALSE\\t/\\tFALSE\\t0\\tsession\\ts3cr3t\\n ";

using test::Chromium;
using test::FirefoxEsr;
using test::kChromium;
using test::kDriverDir;
using test::kFirefox;

class BrowserCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(kDriverDir + "/node_modules/playwright-core")) {
            GTEST_SKIP() << "needs `npm ci --prefix tests/browser`";
        }
        m_daemon = std::make_unique<test::PrivateSessionBus>();
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(m_daemon->Address()), "browser"));
        ASSERT_TRUE(m_bus->isConnected());

        // The switches the host reads: clicks in both families, three types.
        SettingsProfile profile;
        profile.WriteInt("Settings", "Capture Clicks in IE", 1);
        profile.WriteInt("Settings", "Capture Clicks in NV", 1);
        profile.WriteInt("Settings", "Capture All FTP", 0);
        profile.WriteInt("Settings", "Start with Browser", 0);
        profile.WriteString("Settings", "Capture File Types", "exe zip pdf");
        ASSERT_TRUE(profile.Flush());

        m_dromo = test::StartFakeDromo(*m_bus, m_dir.File("calls.log"), true);

        const std::string www = m_www.Path();
        test::WriteFile(m_www.File("page.html"), R"html(<!doctype html><html><body>
<a id="capture" href="/a.zip">a.zip</a>
<a id="ctrl" href="/b.zip">b.zip</a>
<a id="plain" href="/other.html">other</a>
<a id="get" href="/get?id=7">report</a>
<a id="named" href="/files/blob-7" download="quarterly.zip">named</a>
<a id="data" href="data:application/zip;base64,UEsFBgAAAAAAAAAAAAAAAAAAAAAAAA==" download="inline.zip">data</a>
<a id="counted" href="/c.zip">counted</a>
<a id="cancelled" href="/d.zip">cancelled</a>
<a id="absent" href="/e.zip">e.zip</a>
<a id="renamed" href="/f.zip" download="renamed.zip">f.zip</a>
<a id="double" href="/n09.zip">n09.zip</a>
<a id="fragment" href="/n11.zip#top">n11.zip</a>
<a id="renamedc" href="/named/c.zip" download="renamed-c.zip">c.zip</a>
<a id="blank" href="/g.zip" target="_blank">g.zip</a>
<button id="open" onclick="window.open('/h.zip')">h.zip</button>
<form method="post" action="/post/form.zip"><button id="send">send</button></form>
<script>
window.clicks = 0;
document.getElementById("counted").addEventListener("click", () => { window.clicks++; });
document.getElementById("cancelled").addEventListener("click", (e) => e.preventDefault());
</script>
</body></html>
)html");
        test::WriteFile(m_www.File("members.html"),
                        "<!doctype html><a id=\"members\" href=\"/members/report.zip\">report</a>\n");
        test::WriteFile(m_www.File("other.html"), "<!doctype html><p>other</p>\n");
        for (const char* name : {"a.zip", "b.zip", "c.zip", "d.zip", "e.zip", "f.zip", "report.bin", "n09.zip",
                                 "n11.zip", "g.zip", "h.zip"}) {
            test::WriteFile(m_www.File(name), test::RandomBytes(4096, name[0]));
        }
        fs::create_directories(m_www.File("attach"));
        fs::create_directories(m_www.File("members"));
        fs::create_directories(m_www.File("files"));
        fs::create_directories(m_www.File("named"));
        test::WriteFile(m_www.File("named/c.zip"), test::RandomBytes(4096, 6));
        for (const char* name : {"a.bin", "b.zip", "c.pdf", "d.exe", "f.bin"}) {
            test::WriteFile(m_www.File(std::string("members/") + name), test::RandomBytes(2048, name[0]));
        }
        test::WriteFile(m_www.File("attach/report.zip"), test::RandomBytes(4096, 3));
        test::WriteFile(m_www.File("members/report.zip"), test::RandomBytes(8192, 4));
        test::WriteFile(m_www.File("files/blob-7"), test::RandomBytes(4096, 5));
        m_nginx = std::make_unique<test::Nginx>(
            www,
            "types { text/html html; application/zip zip; } "
            "location /attach/ { add_header Content-Disposition attachment; } "
            "location = /members.html { add_header Set-Cookie \"session=s3cr3t; Path=/; HttpOnly\"; } "
            "location /members/ { if ($cookie_session != \"s3cr3t\") { return 403; } } "
            "location = /get { default_type application/pdf; "
            "  add_header Content-Disposition 'attachment; filename=\"report.pdf\"'; alias " +
                www +
                "/report.bin; } "
                "location /files/ { default_type application/octet-stream; } "
                "location /post/ { default_type application/zip; "
                "  add_header Content-Disposition 'attachment; filename=\"form.zip\"'; return 200 'PK form answer'; }");
        // The page whose links the menus hand over: one on another host (its
        // own cookies, none here), a fragment and a repeat, what no task can
        // come of.
        test::WriteFile(m_www.File("members/list.html"),
                        "<!doctype html><body>\n"
                        "<a href=\"a.bin\">a.bin</a> <a href=\"b.zip\">b.zip</a> <a href=\"c.pdf#p2\">c.pdf</a>\n"
                        "<a href=\"c.pdf\">c.pdf</a> <a href=\"d.exe\" download=\"setup.exe\">setup</a>\n"
                        "<a href=\"/other.html\">other</a> <a href=\"mailto:someone@example.org\">mail</a>\n"
                        "<a href=\"javascript:void(0)\">script</a> <a href=\"" +
                            OtherHost() +
                            "/e.zip\">e</a>\n"
                            "</body>\n");
        fs::create_directories(m_downloads.Path());
    }

    void TearDown() override
    {
        m_nginx.reset();
        m_dromo.reset();
        m_bus.reset();
        QDBusConnection::disconnectFromBus("browser");
        m_daemon.reset();
    }

    std::string Origin() const { return m_nginx->Url(""); }
    // The same server under another host name: a site of its own to cookies.
    std::string OtherHost() const { return std::regex_replace(Origin(), std::regex("127\\.0\\.0\\.1"), "localhost"); }
    std::string Details() const { return test::ReadFile(m_dir.File("calls.log.details")); }
    bool Kept(const std::string& name) const { return fs::exists(m_downloads.File(name)); }

    // The details line of the hand-over of `path`, or "".
    std::string HandedOver(const std::string& path) const
    {
        const std::string details = Details();
        const std::string prefix = Origin() + path + " ";
        const std::size_t at = details.find(prefix);
        return at == std::string::npos ? std::string() : details.substr(at, details.find('\n', at) - at);
    }

    // How many hand-overs there were of `path`.
    int TimesHandedOver(const std::string& path) const
    {
        std::istringstream lines(Details());
        int times = 0;
        for (std::string line; std::getline(lines, line);) {
            times += line.rfind(Origin() + path + " ", 0) == 0 ? 1 : 0;
        }
        return times;
    }

    // Runs a driver; its output, with its exit status checked.
    std::string Drive(const std::vector<std::string>& argv)
    {
        std::string output;
        EXPECT_EQ(test::RunCommand(argv, &output), 0) << output;
        return output;
    }

    // The cases both browsers share, once both driver phases have run.
    void CheckSharedCases(const std::string& output)
    {
        // Members only: the session cookie (in the Cookie header, and in the
        // jar HttpOnly, host-only, on the site's whole path) and the referrer
        // travel, and with the jar alone the file comes byte-exact.
        const std::string members = HandedOver("/members/report.zip");
        EXPECT_NE(members.find(kSession), std::string::npos) << members;
        EXPECT_NE(members.find("referrer=" + Origin() + "/members.html "), std::string::npos) << members;
        EXPECT_NE(members.find("userAgent=Mozilla/5.0"), std::string::npos) << members;
        std::smatch jar;
        const bool sent =
            std::regex_search(members, jar, std::regex("cookieJar=(.*?) (fileName|mimeType|referrer|size|userAgent)="));
        EXPECT_TRUE(sent) << members;
        if (sent) {
            // The jar as a cookie file of curl's own, which reads the same lines.
            test::WriteFile(m_dir.File("jar.txt"),
                            std::regex_replace(std::regex_replace(jar.str(1), std::regex("\\\\t"), "\t"),
                                               std::regex("\\\\n"), "\n"));
            std::string fetched;
            EXPECT_EQ(test::RunCommand({"curl", "-sf", "-o", m_dir.File("members.zip"), "-b", m_dir.File("jar.txt"),
                                        Origin() + "/members/report.zip"},
                                       &fetched),
                      0);
            EXPECT_EQ(test::ReadFile(m_dir.File("members.zip")), test::ReadFile(m_www.File("members/report.zip")));
        }

        // Attachments whose URL hides the type, by the browser's name.
        const std::string query = HandedOver("/get?id=7");
        EXPECT_NE(query.find("fileName=report.pdf "), std::string::npos) << Details();
        EXPECT_NE(query.find("mimeType=application/pdf "), std::string::npos) << query;
        EXPECT_NE(query.find("referrer=" + Origin() + "/page.html "), std::string::npos) << query;
        EXPECT_NE(HandedOver("/files/blob-7").find("fileName=quarterly.zip "), std::string::npos) << Details();
        EXPECT_NE(HandedOver("/attach/report.zip"), "") << Details();
        EXPECT_NE(HandedOver("/c.zip"), "") << Details();

        // What only the browser can fetch stays there.
        EXPECT_TRUE(Kept("inline.zip"));
        EXPECT_TRUE(Kept("form.zip"));
        EXPECT_EQ(Details().find("/post/"), std::string::npos) << Details();
        EXPECT_EQ(Details().find("data:"), std::string::npos) << Details();

        // The page cancelled one click: nothing happened to it.
        EXPECT_EQ(Details().find("/d.zip"), std::string::npos) << Details();
        EXPECT_FALSE(Kept("d.zip"));
        // The counting handler ran once per click, captured or let go.
        std::vector<std::string> runs;
        const std::regex ran("page handler ran (\\d+) time");
        for (auto it = std::sregex_iterator(output.begin(), output.end(), ran); it != std::sregex_iterator(); ++it) {
            runs.push_back((*it)[1]);
        }
        EXPECT_EQ(runs, (std::vector<std::string>{"1", "1"})) << output;

        // Dromo gone and not activatable: the browser kept the downloads.
        EXPECT_EQ(HandedOver("/e.zip"), "") << Details();
        EXPECT_TRUE(Kept("e.zip"));
        std::string listing;
        test::RunCommand({"ls", m_downloads.Path()}, &listing);
        EXPECT_TRUE(Kept("renamed.zip")) << listing;  // under the page's name
        EXPECT_EQ(HandedOver("/f.zip"), "") << Details();
        EXPECT_TRUE(Kept("c.zip"));
        EXPECT_TRUE(Kept("report.zip"));
        EXPECT_FALSE(Kept("a.zip"));
        EXPECT_FALSE(Kept("report.pdf"));
        EXPECT_FALSE(Kept("quarterly.zip"));
        EXPECT_EQ(output.find("timed out"), std::string::npos) << output;
    }

    // The faults of a trial on real sites, once both driver phases have run.
    void CheckTrialCases(const std::string& output)
    {
        // Ctrl+click stays the browser's.
        EXPECT_EQ(Details().find("b.zip"), std::string::npos) << Details();
        EXPECT_TRUE(Kept("b.zip"));
        // One double-click, one task.
        EXPECT_EQ(TimesHandedOver("/n09.zip"), 1) << Details();
        EXPECT_FALSE(Kept("n09.zip"));
        // The fragment is not part of the request: captured, and handed over
        // without it.
        EXPECT_NE(HandedOver("/n11.zip"), "") << Details();
        EXPECT_EQ(Details().find("#top"), std::string::npos) << Details();
        EXPECT_FALSE(Kept("n11.zip"));
        // The page's name for the file travels with it.
        EXPECT_NE(HandedOver("/named/c.zip").find("fileName=renamed-c.zip "), std::string::npos) << Details();
        EXPECT_FALSE(Kept("renamed-c.zip"));
        // Captured from new tabs, which close again: no empty tab stays.
        EXPECT_NE(HandedOver("/g.zip"), "") << Details();
        EXPECT_NE(HandedOver("/h.zip"), "") << Details();
        EXPECT_FALSE(Kept("g.zip"));
        EXPECT_FALSE(Kept("h.zip"));
        EXPECT_NE(output.find("tabs after the new-tab cases: 1\n"), std::string::npos) << output;
    }

    // "Download with Dromo" and "Download all links with Dromo...".
    void CheckMenuCases(const std::string& output)
    {
        EXPECT_NE(output.find("menus: download-link download-all-links\n"), std::string::npos) << output;
        const std::string list = Origin() + "/members/list.html";
        // One link, as a captured download: its cookie, the page, the agent.
        const std::string one = HandedOver("/members/a.bin");
        EXPECT_NE(one.find(kSession), std::string::npos) << Details();
        EXPECT_NE(one.find("referrer=" + list + " "), std::string::npos) << one;
        EXPECT_NE(one.find("userAgent=Mozilla/5.0"), std::string::npos) << one;
        // Dromo gone: the browser downloads the link itself.
        EXPECT_EQ(HandedOver("/members/f.bin"), "") << Details();
        EXPECT_TRUE(Kept("f.bin"));

        // All links of the page in one call, each once, without fragments,
        // each with its own URL's Cookie header and its site's jar; no mail
        // or script links.
        const std::string links = test::ReadFile(m_dir.File("calls.log.links"));
        std::istringstream in(links);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        const std::string withCookie = kSession + "referrer=" + list + " userAgent=Mozilla/5.0";
        const std::vector<std::string> expected = {
            "call 6",
            Origin() + "/members/a.bin" + withCookie,
            Origin() + "/members/b.zip" + withCookie,
            Origin() + "/members/c.pdf" + withCookie,
            Origin() + "/members/d.exe" + kSession + "fileName=setup.exe referrer=" + list + " userAgent=Mozilla/5.0",
            Origin() + "/other.html" + withCookie,
            OtherHost() + "/e.zip referrer=" + list + " userAgent=Mozilla/5.0",
        };
        ASSERT_EQ(lines.size(), expected.size()) << links;
        EXPECT_EQ(lines[0], expected[0]);
        for (std::size_t i = 1; i < expected.size(); ++i) {
            EXPECT_EQ(lines[i].substr(0, expected[i].size()), expected[i]) << links;
        }
    }

    test::TempDir m_dir;
    test::TempDir m_www;
    test::TempDir m_downloads;
    std::unique_ptr<test::PrivateSessionBus> m_daemon;
    std::unique_ptr<QDBusConnection> m_bus;
    std::unique_ptr<test::ChildProcess> m_dromo;
    std::unique_ptr<test::Nginx> m_nginx;
};

TEST_F(BrowserCapture, Chromium)
{
    if (!fs::exists(kChromium)) {
        GTEST_SKIP() << "needs Debian's chromium";
    }
    Chromium chromium(m_downloads.Path());
    const std::string& cdp = chromium.cdp;
    std::string output;
    const std::string driver = kDriverDir + "/drive.mjs";
    output = Drive({"node", driver, cdp, Origin(), m_dir.File("calls.log.details"), m_downloads.Path(), "present"});
    m_dromo.reset();
    output += Drive({"node", driver, cdp, Origin(), m_dir.File("calls.log.details"), m_downloads.Path(), "absent"});
    chromium.process->Terminate(10000);

    EXPECT_NE(output.find("after capture click: " + Origin() + "/page.html"), std::string::npos)
        << "a captured link is not followed\n"
        << output;
    EXPECT_NE(output.find("after plain click: " + Origin() + "/other.html"), std::string::npos) << output;
    EXPECT_NE(HandedOver("/a.zip"), "") << Details();
    EXPECT_EQ(Details().find("other.html"), std::string::npos) << Details();
    EXPECT_EQ(test::ReadFile(m_dir.File("calls.log")).find("AddURL"), std::string::npos);
    CheckSharedCases(output);
    CheckTrialCases(output);
    CheckMenuCases(output);
}

TEST_F(BrowserCapture, FirefoxEsr)
{
    if (!fs::exists(kFirefox)) {
        GTEST_SKIP() << "needs Debian's firefox-esr";
    }
    FirefoxEsr firefox(m_downloads.Path());
    auto drive = [&](const std::string& phase) {
        return Drive(firefox.Driver({Origin(), m_dir.File("calls.log.details"), m_downloads.Path(), phase}));
    };
    std::string output = drive("present");
    m_dromo.reset();
    output += drive("absent");
    firefox.process->Terminate(10000);

    EXPECT_NE(output.find("after capture click: " + Origin() + "/page.html"), std::string::npos)
        << "a captured link is not followed\n"
        << output;
    EXPECT_NE(output.find("after plain click: " + Origin() + "/other.html"), std::string::npos) << output;
    EXPECT_NE(HandedOver("/a.zip"), "") << Details();
    EXPECT_EQ(Details().find("other.html"), std::string::npos) << Details();
    CheckSharedCases(output);
    CheckTrialCases(output);
    CheckMenuCases(output);
}

// From the click in the browser to the file on disk through the real Dromo:
// the members-only file (403 without the session cookie) and an attachment
// behind a query URL arrive byte-exact under the names the browser knew.
TEST_F(BrowserCapture, ChromiumToTheRealDromo)
{
    if (!fs::exists(kChromium)) {
        GTEST_SKIP() << "needs Debian's chromium";
    }
    m_dromo.reset();  // the stand-in leaves the bus to the real program
    test::TempDir saveTo;
    {
        SettingsProfile profile;
        profile.WriteString("Settings", "Save to", saveTo.Path() + "/");
        ASSERT_TRUE(profile.Flush());
    }
    const std::unique_ptr<test::ChildProcess> dromo = test::StartDromo(*m_bus, {}, m_dir.File("trace.log"));
    ASSERT_TRUE(dromo) << "Dromo did not take its bus name";

    Chromium chromium(m_downloads.Path());
    const std::string output = Drive({"node", kDriverDir + "/drive.mjs", chromium.cdp, Origin(),
                                      m_dir.File("calls.log.details"), m_downloads.Path(), "real", saveTo.Path()});
    chromium.process->Terminate(10000);
    EXPECT_EQ(dromo->Terminate(10000), 0);
    EXPECT_EQ(test::ReadFile(saveTo.File("report.zip")), test::ReadFile(m_www.File("members/report.zip"))) << output;
    EXPECT_EQ(test::ReadFile(saveTo.File("report.pdf")), test::ReadFile(m_www.File("report.bin"))) << output;
    EXPECT_FALSE(Kept("report.zip"));
    EXPECT_FALSE(Kept("report.pdf"));
}

}  // namespace
}  // namespace dromo
