// What the engine's requests carry, as the server received them: a task's
// own cookie, referrer and user agent on every request and connection of
// that task and of no other, and never a header someone slipped in with a
// line break.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

constexpr std::int64_t kMiB = 1 << 20;

// The heads of the requests for one path (the query left out).
std::vector<std::string> HeadsFor(const std::vector<std::string>& heads, const std::string& path)
{
    std::vector<std::string> found;
    for (const std::string& head : heads) {
        if (head.rfind("GET " + path, 0) == 0) {
            found.push_back(head);
        }
    }
    return found;
}

// One task after another on one engine (one worker): nothing of a task's
// requests (its cookie, a cookie its server set, its referrer, its login)
// goes with a later task's.
TEST(RequestHeads, NothingOfOneTaskGoesWithTheNext)
{
    TempDir www;
    TempDir out;
    const std::string data = test::RandomBytes(64 * 1024, 5);
    WriteFile(www.File("a.bin"), data);
    test::FaultServer server(www.Path());
    struct Task {
        const char* what;
        std::string path;
        std::string cookie;
        std::string referrer;
        int enableCookie;
        std::string user;
        bool ok;
        std::optional<std::string> sentCookie;  // the Cookie header of its last request; nothing: none at all
        std::string sentReferrer;
        std::string cookieJar = "";
    } tasks[] = {
        {"A: a browser's cookie", "/file/a.bin", "sid=TaskACookie", "http://127.0.0.1/a.html", 0, "", true,
         "sid=TaskACookie", "http://127.0.0.1/a.html"},
        {"B: nothing of A's", "/file/a.bin", "", "", 0, "", true, std::nullopt, ""},
        {"C: only its own", "/file/a.bin", "own=C", "", 0, "", true, "own=C", ""},
        {"D: a cookie its server set", "/setcookie?to=/file/a.bin", "", "", 1, "", true, "dromo=yes", ""},
        {"E: not the cookie D's server set", "/file/a.bin", "", "", 1, "", true, std::nullopt, ""},
        {"F: a login", "/file/a.bin?auth=u:p", "", "", 0, "u", true, std::nullopt, ""},
        {"G: not F's login", "/file/a.bin?auth=u:p", "", "", 0, "", false, std::nullopt, ""},
        {"H: a cookie beyond what a request carries", "/file/a.bin", std::string(1 << 20, 'x') + "=1", "", 0, "", false,
         std::nullopt, ""},
        {"I: no broken head after it", "/file/a.bin", "", "", 0, "", true, std::nullopt, ""},
        {"J: a browser's cookie jar", "/setcookie?to=/file/a.bin", "", "", 0, "", true, "dromo=yes; jar=J", "",
         "127.0.0.1\tFALSE\t/\tFALSE\t0\tjar\tJ\n"},
        {"K: nothing of J's jar, nor what J's server set", "/file/a.bin", "", "", 1, "", true, std::nullopt, ""},
    };
    Fetcher f;
    RequestHeads(server);
    for (const Task& t : tasks) {
        SCOPED_TRACE(t.what);
        f.engine.SetRequestDetails(t.cookie, t.referrer);
        f.engine.SetCookieJar(t.cookieJar);
        f.engine.SetCookies(t.enableCookie);
        const std::string target = out.File("t.bin");
        std::remove(target.c_str());
        EXPECT_EQ(f.Get(server.Url(t.path), target, t.user, t.user.empty() ? "" : "p"), t.ok) << f.Error();
        if (t.ok) {
            EXPECT_TRUE(ReadFile(target) == data);
        }
        const std::vector<std::string> heads = HeadsFor(RequestHeads(server), "/file/a.bin");
        if (t.cookie.size() > 8000) {
            EXPECT_TRUE(heads.empty()) << "a refused cookie is not sent at all";
            EXPECT_EQ(f.Error().rfind("Fail - the cookie is ", 0), 0u) << f.Error();
            continue;
        }
        ASSERT_FALSE(heads.empty());
        const std::string& last = heads.back();
        const auto cookies = HeaderValues(last, "Cookie");
        if (t.sentCookie) {
            EXPECT_EQ(cookies, std::vector<std::string>{*t.sentCookie}) << last;
        } else {
            EXPECT_TRUE(cookies.empty()) << last;
        }
        const auto referrers = HeaderValues(last, "Referer");
        EXPECT_EQ(referrers.empty() ? "" : referrers.front(), t.sentReferrer) << last;
        EXPECT_EQ(last.find("Cookie: Accept-Encoding"), std::string::npos) << last;
        if (!t.ok) {
            EXPECT_EQ(f.engine.Outcome(), TransferOutcome::AccessDenied) << f.Error();
        }
    }
}

// A value with a line break would reach the server as a header of the
// sender's choosing: whatever gives it to the engine, no request is sent.
TEST(RequestHeads, ALineBreakInAValueSendsNothing)
{
    TempDir www;
    TempDir out;
    WriteFile(www.File("a.bin"), "data");
    test::FaultServer server(www.Path());
    struct Case {
        const char* what;
        std::string userAgent;
        std::string referrer;
        std::string cookie;
    } cases[] = {
        {"user agent, CR LF", "UA/1\r\nX-Injected: 1", "", ""},
        {"user agent, LF", "UA/1\nX-Injected: 1", "", ""},
        {"referrer, CR LF", "", "http://127.0.0.1/\r\nX-Injected: 1", ""},
        {"referrer, CR", "", "http://127.0.0.1/\rX-Injected: 1", ""},
        {"cookie, CR LF", "", "", "a=1\r\nX-Injected: 1"},
    };
    RequestHeads(server);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fetcher f;
        f.engine.SetUserAgent(c.userAgent);
        f.engine.SetRequestDetails(c.cookie, c.referrer);
        EXPECT_FALSE(f.Get(server.Url("/file/a.bin"), out.File("a.bin")));
        EXPECT_EQ(f.Error().rfind("Fail - the ", 0), 0u) << f.Error();
        EXPECT_NE(f.Error().find("line break"), std::string::npos) << f.Error();
        const auto heads = RequestHeads(server);
        for (const std::string& head : heads) {
            EXPECT_TRUE(HeaderValues(head, "X-Injected").empty()) << head;
        }
        EXPECT_TRUE(heads.empty()) << "nothing is sent";
        EXPECT_FALSE(test::Exists(out.File("a.bin")));
    }
}

// Every connection of a segmented task sends the task's cookie, referrer
// and user agent; the cookie only to the URL's own host. A members-only
// file refuses a range request without the cookie.
TEST(RequestHeads, EveryConnectionOfATaskCarriesItsDetailsToItsOwnHostOnly)
{
    TempDir www;
    TempDir out;
    const std::string data = test::RandomBytes(8 * kMiB, 17);
    WriteFile(www.File("m.bin"), data);
    test::FaultServer server(www.Path());
    const std::string elsewhere = "http://localhost:" + std::to_string(server.Port());
    const struct {
        const char* what;
        std::string url;
        bool cookieSent;
    } cases[] = {
        {"straight", server.Url("/file/m.bin?cookie=1&rate=8000000"), true},
        {"redirected to another host", server.Url("/redirect/1?to=" + elsewhere + "/file/m.bin%3Frate%3D8000000"),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RequestHeads(server);
        Fetcher f;
        f.engine.SetConnections(4);
        f.engine.SetUserAgent("DromoTest/1");
        f.engine.SetRequestDetails("theme=dark; dromo=yes", "http://127.0.0.1/members.html");
        ASSERT_TRUE(f.Get(c.url, out.File("m.bin"))) << f.Error();
        EXPECT_TRUE(ReadFile(out.File("m.bin")) == data);
        const auto heads = HeadsFor(RequestHeads(server), "/file/m.bin");
        int ranged = 0;
        for (const std::string& head : heads) {
            ranged += HeaderValues(head, "Range").empty() ? 0 : 1;
            EXPECT_EQ(HeaderValues(head, "User-Agent"), std::vector<std::string>{"DromoTest/1"}) << head;
            EXPECT_EQ(HeaderValues(head, "Referer"), std::vector<std::string>{"http://127.0.0.1/members.html"}) << head;
            const auto cookies = HeaderValues(head, "Cookie");
            if (c.cookieSent) {
                ASSERT_EQ(cookies.size(), 1u) << head;
                EXPECT_NE(cookies[0].find("theme=dark"), std::string::npos) << head;
                EXPECT_NE(cookies[0].find("dromo=yes"), std::string::npos) << head;
            } else {
                EXPECT_TRUE(cookies.empty()) << head;
            }
        }
        EXPECT_GE(ranged, 2) << "the file went over several connections";
        std::remove(out.File("m.bin").c_str());
    }
}

}  // namespace
}  // namespace dromo
