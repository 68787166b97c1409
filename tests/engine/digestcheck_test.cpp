// A finished file is checked against its digest (the task's own, or the one
// its server announces) before it takes its name; a file that does not match
// is fetched once more from zero and then left as a partial file.

#include "engine/digestcheck.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include "base/text/digestlist.h"
#include "tests/engine/enginefixture.h"
#include "tests/support/hexdigest.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Exists;
using test::Fetcher;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

bool Saw(Fetcher& f, const std::string& text)
{
    for (const test::Event& e : f.sink.OfKind(ProgressKind::Status)) {
        if (e.text.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// Requests of the file the server has answered so far.
int FileRequests(test::FaultServer& server, TempDir& dir)
{
    Fetcher f;
    const std::string path = dir.File("stats");
    EXPECT_TRUE(f.Get(server.Url("/stats"), path));
    const std::string stats = ReadFile(path);
    std::remove(path.c_str());
    return std::atoi(stats.c_str() + stats.find(' ') + 1);
}

class DigestTest : public ::testing::Test {
protected:
    TempDir www;
    TempDir out;
    std::string data = test::RandomBytes(3 << 20, 11);
    void SetUp() override { WriteFile(www.File("a.bin"), data); }
};

TEST_F(DigestTest, AFileThatMatchesTheServersDigestIsVerified)
{
    test::FaultServer server(www.Path());
    const struct {
        const char* query;
        int connections;
        const char* algorithm;
    } cases[] = {
        {"digest=repr", 1, "SHA-256"},         {"digest=repr&alg=sha-512", 1, "SHA-512"},
        {"digest=content", 1, "SHA-256"},      {"digest=instance", 1, "SHA-256"},
        {"digest=instance&alg=md5", 1, "MD5"}, {"digest=instance&alg=sha-512", 1, "SHA-512"},
        {"digest=repr", 4, "SHA-256"},         {"digest=instance&alg=md5", 4, "MD5"},
    };
    for (const auto& c : cases) {
        Fetcher f;
        f.engine.SetConnections(c.connections);
        const std::string target = out.File(std::string("v") + std::to_string(&c - cases) + ".bin");
        ASSERT_TRUE(f.Get(server.Url(std::string("/file/a.bin?") + c.query), target)) << c.query << f.Error();
        EXPECT_TRUE(ReadFile(target) == data) << c.query;
        EXPECT_TRUE(Saw(f, std::string("File has been downloaded - Verified ") + c.algorithm)) << c.query;
        EXPECT_EQ(f.engine.Verified(), c.algorithm) << c.query;
        // One connection in order is hashed as it arrives; ranges written
        // out of order are read back as they line up behind the hash. The
        // finished file is not read again.
        EXPECT_FALSE(Saw(f, "Verifying\u2026")) << c.query;
    }
}

// A file continued from bytes on disk may be two versions spliced: it is
// fetched once more from zero. A file fetched whole from zero that does not
// match would only come the same way again: the call fails at once.
TEST_F(DigestTest, AMismatchIsFetchedAgainOnlyWhenItWasContinuedThenFailsAndKeepsThePartialFile)
{
    const struct {
        int connections;
        bool continued;  // a first call broke off, the second continues it
        int requests;    // of the file, by both calls (-1: not counted, ranges make more)
    } cases[] = {{1, false, 1}, {4, false, -1}, {1, true, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.connections) + (c.continued ? " connections, continued" : " connections"));
        test::FaultServer server(www.Path());
        Fetcher f;
        f.engine.SetConnections(c.connections);
        const std::string target = out.File("m" + std::to_string(c.connections) + (c.continued ? "c" : "") + ".bin");
        if (c.continued) {
            EXPECT_FALSE(f.Get(server.Url("/file/a.bin?digest=repr&digestwrong=1&drops=50000"), target));
            ASSERT_EQ(f.engine.Outcome(), TransferOutcome::ConnectionLost);
        }
        EXPECT_FALSE(f.Get(server.Url("/file/a.bin?digest=repr&digestwrong=1"), target));
        EXPECT_EQ(f.Error(), "Fail - the file does not match its SHA-256 checksum");
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::ChecksumMismatch);
        EXPECT_EQ(Saw(f, "The file does not match its SHA-256 checksum: downloading it again from zero"), c.continued);
        EXPECT_FALSE(Exists(target)) << "a file that does not match never takes its name";
        EXPECT_TRUE(ReadFile(target + "+++") == data) << "the last download stays for the user";
        if (c.requests >= 0) {
            EXPECT_EQ(FileRequests(server, out), c.requests);
        }
    }
}

TEST_F(DigestTest, TheTasksOwnDigestDecides)
{
    test::FaultServer server(www.Path());
    const std::string sha256 = "sha-256=" + test::HexDigest(data, EVP_sha256());
    const std::string sha1 = "sha-1=" + test::HexDigest(data, EVP_sha1());
    const std::string wrongMd5 = "md5=" + test::HexDigest(data + "x", EVP_md5());
    const struct {
        std::string expected;
        const char* query;
        bool ok;
        const char* verified;
    } cases[] = {
        {sha256, "", true, "SHA-256"},
        {test::HexDigest(data, EVP_sha512()), "", true, "SHA-512"},  // as sha512sum prints it
        {sha1, "", true, "SHA-1"},
        {wrongMd5 + ", " + sha256, "", true, "SHA-256"},  // the strongest is checked
        {sha1 + ", " + wrongMd5, "", true, "SHA-1"},
        {wrongMd5, "", false, ""},
        {sha256, "digest=repr&digestwrong=1", true, "SHA-256"},  // the user's over the server's
        {wrongMd5, "digest=repr", false, ""},
        {"", "", true, ""},  // nothing to check: downloaded as always
    };
    for (const auto& c : cases) {
        Fetcher f;
        f.engine.SetExpectedDigests(c.expected);
        const std::string target = out.File(std::string("t") + std::to_string(&c - cases) + ".bin");
        EXPECT_EQ(f.Get(server.Url(std::string("/file/a.bin?") + c.query), target), c.ok) << c.expected;
        EXPECT_EQ(f.engine.Verified(), c.verified) << c.expected;
        EXPECT_EQ(Exists(target), c.ok) << c.expected;
        if (!c.ok) {
            EXPECT_EQ(f.Error(), "Fail - the file does not match its MD5 checksum");
        } else if (c.verified[0] == '\0') {
            EXPECT_TRUE(Saw(f, "File has been downloaded")) << c.expected;
            EXPECT_FALSE(Saw(f, "Verified")) << c.expected;
        }
    }
}

TEST_F(DigestTest, AResumeThatJoinedTwoVersionsIsFetchedAgainFromZero)
{
    test::FaultServer server(www.Path());
    Fetcher f;
    const std::string target = out.File("r.bin");
    // The first megabyte on disk is not the server's: a resume splices it.
    test::WriteOwnPartialFile(target + "+++", test::RandomBytes(1 << 20, 99));
    ASSERT_TRUE(f.Get(server.Url("/file/a.bin?digest=repr"), target)) << f.Error();
    EXPECT_TRUE(ReadFile(target) == data);
    EXPECT_TRUE(Saw(f, "downloading it again from zero"));
    EXPECT_TRUE(Saw(f, "Verified SHA-256"));
    EXPECT_FALSE(Exists(target + "+++"));
}

TEST_F(DigestTest, AResumedFileIsReadOnceAndAPartialAnswersContentDigestIsNotTheFiles)
{
    for (const char* kind : {"repr", "content"}) {
        test::FaultServer server(www.Path());
        Fetcher f;
        const std::string target = out.File(std::string(kind) + ".bin");
        test::WriteOwnPartialFile(target + "+++", data.substr(0, 1 << 20));
        ASSERT_TRUE(f.Get(server.Url(std::string("/file/a.bin?digest=") + kind), target)) << f.Error();
        EXPECT_TRUE(ReadFile(target) == data);
        EXPECT_EQ(FileRequests(server, out), 1) << kind << ": resumed, not fetched again";
        // Content-Digest of a 206 covers the part sent, never the file.
        EXPECT_EQ(f.engine.Verified(), std::string(kind) == "repr" ? "SHA-256" : "") << kind;
        EXPECT_EQ(Saw(f, "Verifying\u2026"), std::string(kind) == "repr") << kind;
    }
}

TEST_F(DigestTest, AChecksumThatCannotBeReadFailsTheTaskAndWritesNothing)
{
    test::FaultServer server(www.Path());
    Fetcher f;
    f.engine.SetExpectedDigests("sha-256=1234");
    const std::string target = out.File("bad.bin");
    EXPECT_FALSE(f.Get(server.Url("/file/a.bin"), target));
    EXPECT_EQ(f.Error(), "Fail - the checksum cannot be read: a SHA-256 checksum is 64 hexadecimal digits");
    EXPECT_FALSE(Exists(target));
    EXPECT_FALSE(Exists(target + "+++"));
}

TEST(DigestCheck, TheRunningHashFollowsOnlyDataInOrderFromTheStart)
{
    TempDir dir;
    const std::string data = test::RandomBytes(100000, 5);
    const std::string path = dir.File("f");
    WriteFile(path, data);
    DigestCheck check;
    check.Expect(*DigestList::Parse("sha-256=" + test::HexDigest(data, EVP_sha256())));
    const struct {
        const char* feed;
        std::vector<std::pair<std::size_t, std::size_t>> pieces;  // offset, length
        bool mustRead;
    } cases[] = {
        {"in order", {{0, 40000}, {40000, 60000}}, false},
        {"restarted from zero", {{0, 70000}, {0, 50000}, {50000, 50000}}, false},
        {"a gap", {{0, 40000}, {50000, 50000}}, true},
        {"an overlap", {{0, 40000}, {30000, 70000}}, true},
        {"from the middle", {{50000, 50000}}, true},
        {"short", {{0, 99999}}, true},
    };
    for (const auto& c : cases) {
        check.Begin();
        for (auto [offset, length] : c.pieces) {
            check.Feed(static_cast<std::int64_t>(offset), data.data() + offset, length);
        }
        EXPECT_EQ(check.MustRead(100000), c.mustRead) << c.feed;
        EXPECT_EQ(check.Verify(path, 100000), DigestCheck::Result::Verified) << c.feed;
    }
    check.Begin();
    std::string spoilt = data;
    spoilt[500] ^= 1;
    check.Feed(0, spoilt.data(), spoilt.size());
    EXPECT_EQ(check.Verify(path, 100000), DigestCheck::Result::Mismatch) << "the running hash is what is compared";
    EXPECT_EQ(check.Verify(dir.File("missing"), 100000), DigestCheck::Result::Unreadable);
}

// Ranges land out of order: the hash reads back what lines up behind it, so
// the finished file is not read again whole; bytes written again below what
// it took give it up, and the end reads the file instead.
TEST(DigestCheck, OutOfOrderRangesAreReadBackAsTheyLineUp)
{
    TempDir dir;
    const std::string data = test::RandomBytes(100000, 6);
    const std::string path = dir.File("f");
    WriteFile(path, data);
    struct Step {
        char what;  // 'f': fed at `at` for `length` bytes; 'c': caught up to `at`; 's': started over
        std::size_t at;
        std::size_t length;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        bool mustRead;
    } cases[] = {
        {"the second half first, then the first",
         {{'f', 0, 20000}, {'f', 50000, 50000}, {'f', 20000, 30000}, {'c', 100000, 0}},
         false},
        {"caught up before the rest came in order", {{'f', 0, 10000}, {'c', 60000, 0}, {'f', 60000, 40000}}, false},
        {"a resume: started over, read back", {{'s', 0, 0}, {'c', 100000, 0}}, false},
        {"caught up in part: the end reads the rest", {{'f', 0, 10000}, {'c', 60000, 0}}, true},
        {"written again below what was read",
         {{'f', 0, 10000}, {'c', 70000, 0}, {'f', 60000, 10000}, {'c', 100000, 0}},
         true},
        {"nothing wanted before the first byte", {{'c', 100000, 0}}, true},
    };
    for (const auto& c : cases) {
        DigestCheck check;
        check.Expect(*DigestList::Parse("sha-256=" + test::HexDigest(data, EVP_sha256())));
        check.Begin();
        for (const Step& step : c.steps) {
            if (step.what == 'f') {
                check.Feed(static_cast<std::int64_t>(step.at), data.data() + step.at, step.length);
            } else if (step.what == 'c') {
                check.CatchUp(path, static_cast<std::int64_t>(step.at));
            } else {
                check.StartOver();
            }
        }
        EXPECT_EQ(check.MustRead(100000), c.mustRead) << c.name;
        EXPECT_EQ(check.Verify(path, 100000), DigestCheck::Result::Verified) << c.name;
    }
    // What was read back is what is compared: a byte on disk that is not
    // the server's fails the file though every byte fed was right.
    std::string spoilt = data;
    spoilt[70000] ^= 1;
    WriteFile(path, spoilt);
    DigestCheck check;
    check.Expect(*DigestList::Parse("sha-256=" + test::HexDigest(data, EVP_sha256())));
    check.Begin();
    check.Feed(0, data.data(), 50000);
    check.CatchUp(path, 100000);
    EXPECT_FALSE(check.MustRead(100000));
    EXPECT_EQ(check.Verify(path, 100000), DigestCheck::Result::Mismatch);
}

}  // namespace
}  // namespace dromo
