// A task's cookie jar as the servers receive it: each request, each hop of a
// redirect and each connection carries what a browser would send, by domain,
// path and Secure flag; what a server sets stays with the task's later
// connections and attempts, and nothing goes to another task. Host names
// under .localhost reach 127.0.0.1 through libcurl itself, so a name that is
// a site of its own needs no resolver of the test's.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/text/cookiejar.h"
#include "tests/engine/enginefixture.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Fetcher;
using test::HeaderValues;
using test::ReadFile;
using test::RequestHeads;
using test::TempDir;
using test::WriteFile;

const std::string kSite = "a.localhost";
const std::string kSub = "sub.a.localhost";
const std::string kOther = "b.localhost";

std::string Line(const std::string& domain, bool subdomains, const std::string& path, bool secure,
                 const std::string& expiry, const std::string& name, const std::string& value)
{
    return domain + "\t" + (subdomains ? "TRUE" : "FALSE") + "\t" + path + "\t" + (secure ? "TRUE" : "FALSE") + "\t" +
           expiry + "\t" + name + "\t" + value + "\n";
}

// Each request a server received: "HOST PATH: COOKIE".
std::vector<std::string> Received(const test::FaultServer& server)
{
    std::vector<std::string> received;
    for (const std::string& head : RequestHeads(server)) {
        const std::string path = head.substr(head.find(' ') + 1, head.find(" HTTP/") - head.find(' ') - 1);
        const std::vector<std::string> hosts = HeaderValues(head, "Host");
        const std::vector<std::string> cookies = HeaderValues(head, "Cookie");
        const std::string host = hosts.empty() ? "" : hosts.front().substr(0, hosts.front().rfind(':'));
        received.push_back(host + " " + path + ": " + (cookies.empty() ? "" : cookies.front()));
    }
    return received;
}

class JarRequests : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::MakeTestCa(m_keys.Path(), {kSite, kSub, kOther, "localhost"}));
        m_ca = std::make_unique<test::ScopedEnv>("CURL_CA_BUNDLE", m_keys.File("ca.pem").c_str());
        WriteFile(m_www.File("f.bin"), m_data);
        m_plain = std::make_unique<test::FaultServer>(m_www.Path());
        m_tls = std::make_unique<test::FaultServer>(m_www.Path(), m_keys.File("cert.pem"), m_keys.File("key.pem"));
        RequestHeads(*m_plain);
        RequestHeads(*m_tls);
    }
    std::string Http(const std::string& host, const std::string& path) const
    {
        return "http://" + host + ":" + std::to_string(m_plain->Port()) + path;
    }
    std::string Https(const std::string& host, const std::string& path) const
    {
        return "https://" + host + ":" + std::to_string(m_tls->Port()) + path;
    }

    TempDir m_keys;
    TempDir m_www;
    TempDir m_out;
    const std::string m_data = test::RandomBytes(20000, 9);
    std::unique_ptr<test::ScopedEnv> m_ca;
    std::unique_ptr<test::FaultServer> m_plain;
    std::unique_ptr<test::FaultServer> m_tls;
};

TEST_F(JarRequests, EachRequestCarriesWhatABrowserWouldSend)
{
    const std::string file = "/file/f.bin";
    const std::string hop = "/redirect/1?to=";
    struct Case {
        const char* what;
        std::string jar;
        std::string url;
        std::vector<std::string> plain;  // what the HTTP server received, in order
        std::vector<std::string> tls;    // and the HTTPS one
    } cases[] = {
        {"a host-only cookie goes to its host",
         Line(kSite, false, "/", false, "0", "h", "1"),
         Http(kSite, file),
         {kSite + " " + file + ": h=1"},
         {}},
        {"a host-only cookie stays off a subdomain",
         Line(kSite, false, "/", false, "0", "h", "1"),
         Http(kSub, file),
         {kSub + " " + file + ": "},
         {}},
        {"a domain cookie goes to a subdomain",
         Line("." + kSite, true, "/", false, "0", "d", "1"),
         Http(kSub, file),
         {kSub + " " + file + ": d=1"},
         {}},
        {"a domain cookie stays off another site",
         Line("." + kSite, true, "/", false, "0", "d", "1"),
         Http(kOther, file),
         {kOther + " " + file + ": "},
         {}},
        {"a cookie of a folder goes below it",
         Line(kSite, false, "/file/", false, "0", "p", "1"),
         Http(kSite, file),
         {kSite + " " + file + ": p=1"},
         {}},
        {"a path is a folder, not a prefix",
         Line(kSite, false, "/fil", false, "0", "p", "1"),
         Http(kSite, file),
         {kSite + " " + file + ": "},
         {}},
        {"two of one name, the longer path first",
         Line(kSite, false, "/", false, "0", "sn", "root") + Line(kSite, false, "/file/", false, "0", "sn", "deep"),
         Http(kSite, file),
         {kSite + " " + file + ": sn=deep; sn=root"},
         {}},
        {"a Secure cookie stays off plain HTTP",
         Line(kSite, false, "/", true, "0", "s", "1"),
         Http(kSite, file),
         {kSite + " " + file + ": "},
         {}},
        {"a Secure cookie goes over TLS",
         Line(kSite, false, "/", true, "0", "s", "1"),
         Https(kSite, file),
         {},
         {kSite + " " + file + ": s=1"}},
        {"a Secure cookie goes to the loopback address",
         Line("127.0.0.1", false, "/", true, "0", "s", "1"),
         Http("127.0.0.1", file),
         {"127.0.0.1 " + file + ": s=1"},
         {}},
        {"and to localhost",
         Line("localhost", false, "/", true, "0", "s", "1"),
         Http("localhost", file),
         {"localhost " + file + ": s=1"},
         {}},
        {"an expired cookie stays home",
         Line(kSite, false, "/", false, "1", "e", "1"),
         Http(kSite, file),
         {kSite + " " + file + ": "},
         {}},
        {"a cookie that expires in 2100 goes",
         Line(kSite, false, "/", false, "4102444800", "e", "1"),
         Http(kSite, file),
         {kSite + " " + file + ": e=1"},
         {}},
        {"an HttpOnly cookie goes",
         "#HttpOnly_" + Line(kSite, false, "/", false, "0", "h", "1"),
         Http(kSite, file),
         {kSite + " " + file + ": h=1"},
         {}},
        {"a path-scoped cookie stays behind on a redirect",
         Line(kSite, false, "/redirect/", false, "0", "r", "1"),
         Http(kSite, hop + file),
         {kSite + " " + hop + file + ": r=1", kSite + " " + file + ": "},
         {}},
        {"http to https: the Secure cookie on the TLS hop only",
         Line(kSite, false, "/file/", true, "0", "s", "1") + Line(kSite, false, "/", false, "0", "p", "1"),
         Http(kSite, hop + Https(kSite, file)),
         {kSite + " " + hop + Https(kSite, file) + ": p=1"},
         {kSite + " " + file + ": s=1; p=1"}},
        {"a redirect to another site takes none",
         Line(kSite, false, "/", false, "0", "h", "1"),
         Http(kSite, hop + Http(kOther, file)),
         {kSite + " " + hop + Http(kOther, file) + ": h=1", kOther + " " + file + ": "},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fetcher f;
        f.engine.SetCookieJar(c.jar);
        const std::string target = m_out.File("f.bin");
        std::remove(target.c_str());
        ASSERT_TRUE(f.Get(c.url, target)) << f.Error();
        EXPECT_EQ(ReadFile(target), m_data);
        EXPECT_EQ(Received(*m_plain), c.plain);
        EXPECT_EQ(Received(*m_tls), c.tls);
    }
}

// A browser hands over the Cookie header for the URL beside the jar: a
// cookie the jar holds keeps its own path (the header would send it to
// every path, or put one of two of a name in the other's place), one the
// jar left out still goes, to the URL's host.
TEST_F(JarRequests, TheHeaderBesideAJarLeavesTheJarsCookiesAsTheyAre)
{
    const std::string file = "/file/f.bin";
    const std::string hop = "/redirect/1?to=";
    struct Case {
        const char* what;
        std::string jar;
        std::string header;
        std::string url;
        std::vector<std::string> plain;
    } cases[] = {
        {"a path-scoped cookie stays behind on a redirect",
         Line(kSite, false, "/redirect/", false, "0", "r", "1"),
         "r=1",
         Http(kSite, hop + file),
         {kSite + " " + hop + file + ": r=1", kSite + " " + file + ": "}},
        {"two of one name, each on its path",
         Line("." + kSite, true, "/", false, "0", "sn", "root") +
             Line(kSite, false, "/file/", false, "0", "sn", "deep"),
         "sn=deep; sn=root",
         Http(kSite, file),
         {kSite + " " + file + ": sn=deep; sn=root"}},
        {"what the jar left out goes to the host",
         Line(kSite, false, "/redirect/", false, "0", "r", "1"),
         "r=1; cut=2",
         Http(kSite, hop + file),
         {kSite + " " + hop + file + ": r=1; cut=2", kSite + " " + file + ": cut=2"}},
        {"a cookie the jar holds for another host only goes as the header's",
         Line(kOther, false, "/", false, "0", "o", "jar"),
         "o=header",
         Http(kSite, file),
         {kSite + " " + file + ": o=header"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fetcher f;
        f.engine.SetRequestDetails(c.header, "");
        f.engine.SetCookieJar(c.jar);
        const std::string target = m_out.File("f.bin");
        std::remove(target.c_str());
        ASSERT_TRUE(f.Get(c.url, target)) << f.Error();
        EXPECT_EQ(ReadFile(target), m_data);
        EXPECT_EQ(Received(*m_plain), c.plain);
    }
}

// Every connection of a file moved in ranges sends the jar, and a cookie
// the first answer set goes with the ranges after it (the server refuses
// them without it).
TEST_F(JarRequests, EveryConnectionCarriesTheJarAndWhatTheServerSet)
{
    const std::string big = test::RandomBytes(8 << 20, 4);
    WriteFile(m_www.File("big.bin"), big);
    Fetcher f;
    f.engine.SetConnections(4);
    f.engine.SetCookieJar(Line(kSite, false, "/", false, "0", "jar", "1"));
    const std::string target = m_out.File("big.bin");
    ASSERT_TRUE(f.Get(Http(kSite, "/setcookie?to=/file/big.bin%3Fcookie%3D1"), target)) << f.Error();
    EXPECT_EQ(ReadFile(target), big);
    int ranges = 0;
    for (const std::string& request : Received(*m_plain)) {
        if (request.find(" /file/big.bin") != std::string::npos) {
            ++ranges;
            EXPECT_NE(request.find("jar=1"), std::string::npos) << request;
            EXPECT_NE(request.find("dromo=yes"), std::string::npos) << request;
        }
    }
    EXPECT_GT(ranges, 1) << "one connection only";
}

// What a server set on one attempt goes with the task's next attempt; a
// new task (its own jar, or the same cookies handed over anew) starts from
// the browser's cookies alone.
TEST_F(JarRequests, AServersCookieStaysForTheTasksNextAttemptOnly)
{
    const std::string jar = Line(kSite, false, "/", false, "0", "jar", "1");
    const std::string members = Http(kSite, "/file/f.bin?cookie=1");
    Fetcher f;
    f.engine.SetCookieJar(jar);
    const std::string target = m_out.File("f.bin");
    // The first attempt is sent the cookie, then loses its connection.
    EXPECT_FALSE(f.Get(Http(kSite, "/setcookie?to=/file/f.bin%3Fdrops%3D1000"), target));
    EXPECT_EQ(f.engine.Outcome(), TransferOutcome::ConnectionLost) << f.Error();
    EXPECT_TRUE(f.Get(members, target)) << "the next attempt went without the server's cookie: " << f.Error();
    EXPECT_EQ(ReadFile(target), m_data);

    std::remove(target.c_str());
    f.engine.SetCookieJar(jar);  // the next task, with the same cookies from its browser
    EXPECT_FALSE(f.Get(members, target));
    EXPECT_EQ(f.engine.Outcome(), TransferOutcome::AccessDenied) << f.Error();
    f.engine.SetTaskId(7);
    f.engine.SetCookieJar("");
    f.engine.SetCookies(1);  // its own cookie engine, but not the first task's cookies
    EXPECT_FALSE(f.Get(members, target));
    const std::vector<std::string> received = Received(*m_plain);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back(), kSite + " /file/f.bin?cookie=1: ");
}

// A jar that is not one sends nothing at all, whoever hands it over.
TEST_F(JarRequests, AJarThatIsNoneSendsNothing)
{
    const struct {
        const char* what;
        std::string jar;
        const char* error;
    } cases[] = {
        {"CR LF line ends", Line(kSite, false, "/", false, "0", "a", "1\r"),
         "Fail - the cookie jar holds a carriage return or another control character; nothing was sent"},
        {"a header in a line", Line(kSite, false, "/", false, "0", "a", "1") + "X-Injected: 1\n",
         "Fail - line 2 of the cookie jar is no cookie; nothing was sent"},
        {"beyond the bound", std::string(CookieJar::kMaxBytes + 1, '#'),
         "Fail - the cookie jar is longer than 65536 bytes; nothing was sent"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fetcher f;
        f.engine.SetCookieJar(c.jar);
        EXPECT_FALSE(f.Get(Http(kSite, "/file/f.bin"), m_out.File("f.bin")));
        EXPECT_NE(f.Error().find(c.error), std::string::npos) << f.Error();
        EXPECT_TRUE(Received(*m_plain).empty());
    }
}

}  // namespace
}  // namespace dromo
