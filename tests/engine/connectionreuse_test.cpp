// What the transfers of one program share and keep between tasks: a
// worker's connection to a host serves its next task to that host, and a
// TLS session one worker made is resumed by another. nginx tells each
// request its connection's serial number and whether its session was
// resumed.

#include <gtest/gtest.h>

#include <string>

#include "tests/engine/enginefixture.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Fetcher;
using test::ReadFile;
using test::TempDir;

const std::string kTell = "location = /tell { return 200 \"$connection $ssl_session_reused\\n\"; }";

struct Told {
    std::string connection;  // nginx's serial number of the connection
    std::string resumed;     // "r" when the TLS session was resumed
};

Told Tell(Fetcher& f, const std::string& url, TempDir& out)
{
    Told told;
    EXPECT_TRUE(f.Get(url, out.File("tell"))) << f.Error();
    const std::string text = ReadFile(out.File("tell"));
    const std::size_t space = text.find(' ');
    told.connection = text.substr(0, space);
    told.resumed = space == std::string::npos ? "" : text.substr(space + 1, text.find('\n') - space - 1);
    std::remove(out.File("tell").c_str());
    return told;
}

// A worker's engine keeps its connections between transfers: a list of
// small files to one host costs one connection per worker, not one per file.
TEST(ConnectionReuse, AWorkersNextTaskToTheSameHostTakesItsConnection)
{
    TempDir www;
    TempDir out;
    test::WriteFile(www.File("a.bin"), test::RandomBytes(32 * 1024, 5));
    test::Nginx nginx(www.Path(), kTell);
    for (const int connections : {1, 4}) {
        SCOPED_TRACE(std::to_string(connections) + " connections per task");
        Fetcher f;
        f.engine.SetConnections(connections);
        const Told first = Tell(f, nginx.Url("/tell"), out);
        ASSERT_TRUE(f.Get(nginx.Url("/a.bin"), out.File("a.bin"))) << f.Error();
        std::remove(out.File("a.bin").c_str());
        const Told again = Tell(f, nginx.Url("/tell"), out);
        EXPECT_EQ(again.connection, first.connection) << "a new connection for the next task";
        // Another worker's engine has connections of its own.
        Fetcher other(f.ownHosts);
        EXPECT_NE(Tell(other, nginx.Url("/tell"), out).connection, first.connection);
    }
}

// The engines of one factory share TLS sessions: another worker's first
// request to the host resumes the session instead of a full handshake. An
// engine of another factory shares nothing.
TEST(ConnectionReuse, AnotherWorkerResumesTheTlsSessionOfTheFirst)
{
    TempDir keys;
    ASSERT_TRUE(test::MakeTestCa(keys.Path()));
    TempDir www;
    TempDir out;
    test::Nginx nginx(www.Path(), kTell + " ssl_session_cache shared:dromo:1m;", keys.File("cert.pem"),
                      keys.File("key.pem"));
    test::ScopedEnv ca("CURL_CA_BUNDLE", keys.File("ca.pem").c_str());
    HostConnections shared;  // as one factory's engines share it
    Fetcher first(shared);
    EXPECT_EQ(Tell(first, nginx.Url("/tell"), out).resumed, ".");
    Fetcher second(shared);
    const Told told = Tell(second, nginx.Url("/tell"), out);
    EXPECT_EQ(told.resumed, "r") << "a full handshake although another worker had a session";
    Fetcher stranger;
    EXPECT_EQ(Tell(stranger, nginx.Url("/tell"), out).resumed, ".");
}

}  // namespace
}  // namespace dromo
