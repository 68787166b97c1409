// A browser's cookie jar as lines of libcurl's cookie file: what is taken,
// what refuses the whole jar, and how a handle's changes come back into it.

#include "base/text/cookiejar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dromo {
namespace {

TEST(CookieJar, ReadsEachFieldOfALine)
{
    struct Case {
        const char* line;
        std::optional<Cookie> cookie;
    } cases[] = {
        {"members.example\tFALSE\t/\tTRUE\t0\tsid\tabc",
         Cookie{"members.example", false, "/", true, false, 0, "sid", "abc"}},
        {".example.org\tTRUE\t/sn/deep/\tFALSE\t1999999999\tsn\tdeep",
         Cookie{"example.org", true, "/sn/deep/", false, false, 1999999999, "sn", "deep"}},
        {"#HttpOnly_.example.org\tTRUE\t/\tTRUE\t0\tsession\ts3cr3t",
         Cookie{"example.org", true, "/", true, true, 0, "session", "s3cr3t"}},
        {"#HttpOnly_h.example\tFALSE\t/a\tFALSE\t7\tn\t", Cookie{"h.example", false, "/a", false, true, 7, "n", ""}},
        // A domain cookie may leave out the dot libcurl writes.
        {"example.org\tTRUE\t/\tFALSE\t0\tn\tv", Cookie{"example.org", true, "/", false, false, 0, "n", "v"}},
        {"127.0.0.1\tFALSE\t/\tFALSE\t0\tn\ta=b c", Cookie{"127.0.0.1", false, "/", false, false, 0, "n", "a=b c"}},
        {"[::1]\tFALSE\t/\tFALSE\t0\tn\tv", Cookie{"[::1]", false, "/", false, false, 0, "n", "v"}},
        // What is no cookie.
        {".example.org\tFALSE\t/\tFALSE\t0\tn\tv", std::nullopt},  // a dot, yet host-only
        {"example.org\tYES\t/\tFALSE\t0\tn\tv", std::nullopt},
        {"example.org\tFALSE\tpath\tFALSE\t0\tn\tv", std::nullopt},
        {"example.org\tFALSE\t\tFALSE\t0\tn\tv", std::nullopt},
        {"example.org\tFALSE\t/\ttrue\t0\tn\tv", std::nullopt},
        {"example.org\tFALSE\t/\tFALSE\t-1\tn\tv", std::nullopt},
        {"example.org\tFALSE\t/\tFALSE\t1e9\tn\tv", std::nullopt},
        {"example.org\tFALSE\t/\tFALSE\t1234567890123456789\tn\tv", std::nullopt},
        {"example.org\tFALSE\t/\tFALSE\t0\t\tv", std::nullopt},  // no name: libcurl reads the fields shifted
        {"example.org\tFALSE\t/\tFALSE\t0\ta=b\tv", std::nullopt},
        {"example.org\tFALSE\t/\tFALSE\t0\tn\tv; evil=1", std::nullopt},
        {"example.org\tFALSE\t/\tFALSE\t0\tn", std::nullopt},
        {"example.org\tFALSE\t/\tFALSE\t0\tn\tv\textra", std::nullopt},
        {"\tFALSE\t/\tFALSE\t0\tn\tv", std::nullopt},
        {"..example.org\tTRUE\t/\tFALSE\t0\tn\tv", std::nullopt},
        {"exa mple.org\tFALSE\t/\tFALSE\t0\tn\tv", std::nullopt},
        {"example.org/x\tFALSE\t/\tFALSE\t0\tn\tv", std::nullopt},
        {"example.org\tFALSE\t/\tFALSE\t0\tn\tv\r", std::nullopt},
        {"Set-Cookie: n=v", std::nullopt},
        {"ALL", std::nullopt},  // one of libcurl's commands, never a cookie
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<Cookie> cookie = Cookie::FromLine(c.line);
        EXPECT_EQ(cookie, c.cookie);
        if (cookie) {
            // Written back as libcurl writes it, and read again the same.
            EXPECT_EQ(Cookie::FromLine(cookie->Line()), cookie);
        }
    }
    EXPECT_EQ(Cookie::FromLine("x.example\tTRUE\t/\tFALSE\t0\tn\tv")->Line(), ".x.example\tTRUE\t/\tFALSE\t0\tn\tv");
}

TEST(CookieJar, OneFaultRefusesTheWholeJar)
{
    const std::string good = "a.example\tFALSE\t/\tFALSE\t0\tn\tv\n";
    struct Case {
        const char* what;
        std::string text;
        CookieJarFault fault;
        std::size_t line;
        std::size_t cookies;
    } cases[] = {
        {"empty", "", CookieJarFault::None, 0, 0},
        {"one line, left open", good.substr(0, good.size() - 1), CookieJarFault::None, 0, 1},
        {"comments and empty lines", "# Netscape HTTP Cookie File\n\n" + good + "\n", CookieJarFault::None, 0, 1},
        {"the same cookie twice: the later one", good + "a.example\tFALSE\t/\tFALSE\t0\tn\tw\n", CookieJarFault::None,
         0, 1},
        {"one name on two paths", good + "a.example\tFALSE\t/deep/\tFALSE\t0\tn\tw\n", CookieJarFault::None, 0, 2},
        {"host-only and domain cookie of one name", good + ".a.example\tTRUE\t/\tFALSE\t0\tn\tw\n",
         CookieJarFault::None, 0, 2},
        {"a CR LF line end", "a.example\tFALSE\t/\tFALSE\t0\tn\tv\r\n", CookieJarFault::ControlCharacter, 0, 0},
        {"a NUL", good + std::string("b\0c", 3), CookieJarFault::ControlCharacter, 0, 0},
        {"an escape", good + "\x1b[31m", CookieJarFault::ControlCharacter, 0, 0},
        {"DEL", good + "\x7f", CookieJarFault::ControlCharacter, 0, 0},
        {"a bad third line", good + "# note\nnot a cookie\n" + good, CookieJarFault::BadLine, 3, 0},
        {"a line of spaces", good + " \n", CookieJarFault::BadLine, 2, 0},
        {"one byte over", std::string(CookieJar::kMaxBytes + 1, '#'), CookieJarFault::TooLong, 0, 0},
        {"the most there may be", std::string(CookieJar::kMaxBytes, '#'), CookieJarFault::None, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CookieJarReading reading = CookieJar::Read(c.text);
        EXPECT_EQ(reading.fault, c.fault);
        EXPECT_EQ(reading.line, c.line);
        EXPECT_EQ(reading.jar.has_value(), c.fault == CookieJarFault::None);
        EXPECT_EQ(reading.jar ? reading.jar->Cookies().size() : 0u, c.cookies);
        EXPECT_EQ(std::string(CookieJarFaultText(c.fault)).empty(), c.fault == CookieJarFault::None);
    }
    const CookieJarReading twice = CookieJar::Read(good + "a.example\tFALSE\t/\tFALSE\t0\tn\tw\n");
    ASSERT_TRUE(twice.jar);
    EXPECT_EQ(twice.jar->Text(), "a.example\tFALSE\t/\tFALSE\t0\tn\tw\n");
}

// A handle loaded with the jar comes back with what its servers set: the
// changes go into the jar, what other handles put there meanwhile stays.
TEST(CookieJar, TakesBackWhatAHandlesServersChanged)
{
    const auto jar = [](const std::vector<std::string>& lines) { return CookieJar::FromLines(lines); };
    const std::string a = "h.example\tFALSE\t/\tFALSE\t0\ta\t1";
    const std::string a2 = "h.example\tFALSE\t/\tFALSE\t0\ta\t2";
    const std::string b = ".example\tTRUE\t/\tTRUE\t0\tb\t1";
    const std::string c = "h.example\tFALSE\t/c/\tFALSE\t0\tc\t1";
    const std::string other = "h.example\tFALSE\t/\tFALSE\t0\tother\tx";  // another handle's, put in meanwhile
    struct Case {
        const char* what;
        std::vector<std::string> before, after;
        std::vector<std::string> expected;
    } cases[] = {
        {"nothing changed", {a, b}, {a, b}, {a, b, other}},
        {"a value changed", {a, b}, {a2, b}, {a2, b, other}},
        {"a cookie set", {a}, {a, c}, {a, b, other, c}},
        {"a cookie removed", {a, b}, {a}, {a, other}},
        {"all removed", {a, b}, {}, {other}},
        {"another handle's cookie stays", {}, {}, {a, b, other}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CookieJar task = jar({a, b, other});
        task.TakeChanges(jar(c.before), jar(c.after));
        EXPECT_EQ(task.Lines(), c.expected);
    }
    // Lines libcurl lists that are no cookie are left out.
    EXPECT_EQ(jar({a, "# comment", "garbage", b}).Lines(), (std::vector<std::string>{a, b}));
}

// Which host a cookie of the jar goes to, for a Cookie header beside it.
TEST(CookieJar, HoldsACookieOfANameForTheHostsItGoesTo)
{
    const CookieJar jar =
        CookieJar::FromLines({"h.example\tFALSE\t/p/\tFALSE\t0\thost\t1", ".Example.org\tTRUE\t/\tTRUE\t0\tdomain\t1"});
    const struct {
        const char* name;
        const char* host;
        bool held;
    } cases[] = {
        {"host", "h.example", true},     // any path, as a header is for every path
        {"host", "H.EXAMPLE", true},     // host names know no letter case
        {"host", "a.h.example", false},  // host-only
        {"host", "example", false},
        {"domain", "example.org", true},
        {"domain", "a.b.example.org", true},
        {"domain", "badexample.org", false},  // a suffix that is no parent
        {"domain", "org", false},
        {"other", "h.example", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " for " + c.host);
        EXPECT_EQ(jar.Holds(c.name, c.host), c.held);
    }
}

}  // namespace
}  // namespace dromo
