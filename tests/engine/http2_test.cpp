// HTTP/2 against nginx over TLS on the loopback: which version each choice
// of "Http Version" speaks with a server that offers HTTP/2 and one that
// does not, the bytes of a batch of files, and the connection the batch
// goes over, as nginx logs each request (its connection's serial number,
// which request of that connection it was, the protocol).

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/engine/enginefixture.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Nginx;
using test::ReadFile;
using test::TempDir;

// Sizes around the frame and buffer sizes of both sides, and past them.
const std::vector<std::size_t> kSizes = {1, 4096, 16383, 16384, 16385, 32768, 100000, 1024 * 1024 + 3};

class Http2Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::MakeTestCa(m_keys.Path()));
        for (std::size_t i = 0; i < kSizes.size(); ++i) {
            m_files.push_back(test::RandomBytes(kSizes[i], static_cast<unsigned>(40 + i)));
            test::WriteFile(m_www.File(Name(i)), m_files.back());
        }
    }
    static std::string Name(std::size_t i) { return "f" + std::to_string(i) + ".bin"; }
    std::string Cert() const { return m_keys.File("cert.pem"); }
    std::string Key() const { return m_keys.File("key.pem"); }

    // Fetches every file through one engine (one worker's tasks one after
    // the other) and checks each byte for byte.
    void FetchBatch(test::Fetcher& f, const Nginx& nginx)
    {
        TempDir out;
        for (std::size_t i = 0; i < m_files.size(); ++i) {
            ASSERT_TRUE(f.Get(nginx.Url("/" + Name(i)), out.File(Name(i)))) << Name(i) << ": " << f.Error();
            EXPECT_EQ(ReadFile(out.File(Name(i))), m_files[i]) << Name(i);
        }
    }

    TempDir m_keys;
    TempDir m_www;
    std::vector<std::string> m_files;
};

// Each choice speaks its own version, and "2" speaks HTTP/2 only where the
// server offers it over TLS: HTTP/1.1 to one that does not, and to plain
// HTTP (no HTTP/2 without TLS). A worker's batch goes over one connection
// either way, one request after another.
TEST_F(Http2Test, EachVersionChoiceSpeaksWhatTheServerOffersAndABatchKeepsOneConnection)
{
    test::ScopedEnv ca("CURL_CA_BUNDLE", Cert().c_str());
    const struct {
        const char* choice;
        bool tls;
        bool offered;  // the server offers HTTP/2 in the handshake
        const char* spoken;
    } cases[] = {
        {"2", true, true, "HTTP/2.0"},   {"2", true, false, "HTTP/1.1"},  {"2", false, false, "HTTP/1.1"},
        {"1.1", true, true, "HTTP/1.1"}, {"1.0", true, true, "HTTP/1.0"}, {"", true, true, "HTTP/1.1"},
        {"3", true, true, "HTTP/1.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.choice + "\", " + (c.tls ? "https" : "http") +
                     (c.offered ? ", HTTP/2 offered" : ""));
        Nginx nginx(m_www.Path(), "", c.tls ? Cert() : "", c.tls ? Key() : "", c.offered);
        test::Fetcher f;
        f.engine.SetHttpVersion(c.choice);
        FetchBatch(f, nginx);
        const std::vector<Nginx::Logged> logged = nginx.Requests(m_files.size(), 5000);
        ASSERT_EQ(logged.size(), m_files.size());
        // HTTP/1.0 closes its connection after each answer.
        const bool keptAlive = std::string(c.spoken) != "HTTP/1.0";
        for (std::size_t i = 0; i < logged.size(); ++i) {
            EXPECT_EQ(logged[i].protocol, c.spoken) << logged[i].uri;
            EXPECT_EQ(logged[i].uri, "/" + Name(i));
            EXPECT_EQ(logged[i].status, 200) << logged[i].uri;
            if (keptAlive) {
                EXPECT_EQ(logged[i].connection, logged[0].connection) << logged[i].uri << " on a new connection";
                EXPECT_EQ(logged[i].onConnection, static_cast<int>(i) + 1) << logged[i].uri;
            }
        }
    }
}

// The version the engine was given by a task stays with that task's
// transfers only: the next task's choice holds on the same engine.
TEST_F(Http2Test, TheNextTasksChoiceHoldsOnTheSameEngine)
{
    test::ScopedEnv ca("CURL_CA_BUNDLE", Cert().c_str());
    Nginx nginx(m_www.Path(), "", Cert(), Key(), true);
    test::Fetcher f;
    TempDir out;
    const char* choices[] = {"2", "1.1", "2", "1.1"};
    for (const char* choice : choices) {
        f.engine.SetHttpVersion(choice);
        ASSERT_TRUE(f.Get(nginx.Url("/" + Name(1)), out.File(choice))) << f.Error();
        std::remove(out.File(choice).c_str());
    }
    const std::vector<Nginx::Logged> logged = nginx.Requests(std::size(choices), 5000);
    ASSERT_EQ(logged.size(), std::size(choices));
    for (std::size_t i = 0; i < logged.size(); ++i) {
        EXPECT_EQ(logged[i].protocol, std::string(choices[i]) == "2" ? "HTTP/2.0" : "HTTP/1.1") << i;
    }
}

}  // namespace
}  // namespace dromo
