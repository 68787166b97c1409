// Where a segmented download's extra connections go, and what a validator
// seen on one of them may decide: behind a redirector that sends each
// request to a mirror of its choice, and from a server whose ETag differs
// from connection to connection.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "tests/engine/enginefixture.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Fetcher;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::size_t kMiB = 1 << 20;

bool SaidTheFileChanged(test::RecordingSink& sink)
{
    for (const auto& e : sink.OfKind(ProgressKind::Status)) {
        if (e.text.find("The file changed on the server") != std::string::npos) {
            return true;
        }
    }
    return false;
}

// Apache's RewriteMap "rnd:" sends each request for /pick/NAME to one of two
// nginx servers holding the same bytes under different dates, so their
// ETags and Last-Modified differ. The extra connections asked the
// redirector again and landed on the other mirror about half the time,
// which read as a file that changed on the server: the task restarted, and
// failed with "the server keeps changing the file" (9 runs of 10). They
// now go where the first connection was sent.
TEST(RedirectorTest, ExtraConnectionsGoWhereTheFirstWasSentNotThroughTheRedirectorAgain)
{
    const std::string data = test::RandomBytes(8 * kMiB, 41);
    TempDir one;
    TempDir two;
    WriteFile(one.File("a.bin"), data);
    WriteFile(two.File("a.bin"), data);
    std::filesystem::last_write_time(two.File("a.bin"),
                                     std::filesystem::last_write_time(one.File("a.bin")) - std::chrono::hours(30));
    // Slow enough that the first connection is still at work when the others join.
    test::Nginx first(one.Path(), "limit_rate 8m;");
    test::Nginx second(two.Path(), "limit_rate 8m;");
    TempDir redirector;
    WriteFile(redirector.File("mirrors.map"), "all " + first.Url("") + "|" + second.Url("") + "\n");
    test::Apache apache(redirector.Path(),
                        "RewriteEngine on\nRewriteMap mirrors \"rnd:" + redirector.File("mirrors.map") +
                            "\"\nRewriteRule \"^/pick/(.*)$\" \"${mirrors:all}/$1\" [R=302,L]\n");
    TempDir out;
    for (int run = 0; run < 5; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const std::size_t before = apache.Requests().size();
        Fetcher f;
        f.engine.SetConnections(4);
        ASSERT_TRUE(f.Get(apache.Url("/pick/a.bin"), out.File("a.bin"))) << f.Error();
        EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
        EXPECT_FALSE(SaidTheFileChanged(f.sink));
        const std::vector<std::string> requests = apache.Requests();
        ASSERT_EQ(requests.size(), before + 1) << "only the first request asks the redirector";
        EXPECT_EQ(requests.back(), "GET /pick/a.bin HTTP/1.1 302");
        std::filesystem::remove(out.File("a.bin"));
    }
}

// A server whose every connection names the file with an ETag of its own
// (as servers behind a balancer do): the bytes are the same, so the task
// ends without restarting twice and failing.
TEST(RedirectorTest, AnETagOfEachConnectionDoesNotRestartTheTask)
{
    const std::string data = test::RandomBytes(8 * kMiB, 42);
    TempDir www;
    TempDir out;
    WriteFile(www.File("a.bin"), data);
    test::FaultServer http(www.Path());
    Fetcher f;
    f.engine.SetConnections(4);
    ASSERT_TRUE(f.Get(http.Url("/file/a.bin?etagperconn=1&rate=8000000"), out.File("a.bin"))) << f.Error();
    EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
    EXPECT_FALSE(SaidTheFileChanged(f.sink)) << "a validator seen on an extra connection restarted the task";
}

}  // namespace
}  // namespace dromo
