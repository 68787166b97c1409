// dromo-fetch --metalink against a real nginx: the mirrors are tried in
// their order of priority, a mirror that answers 404 is passed over, and
// exit status 0 means a file that matches the Metalink's hash.

#include <gtest/gtest.h>

#include <openssl/evp.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/hexdigest.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A version 4 document for one file with the given mirrors (URL, priority).
std::string Meta4(const std::string& name, const std::string& sha256,
                  const std::vector<std::pair<std::string, int>>& mirrors)
{
    std::string doc =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<metalink xmlns=\"urn:ietf:params:xml:ns:metalink\">\n<file name=\"" +
        name + "\">\n";
    if (!sha256.empty()) {
        doc += "<hash type=\"sha-256\">" + sha256 + "</hash>\n";
    }
    for (const auto& [url, priority] : mirrors) {
        doc += "<url priority=\"" + std::to_string(priority) + "\">" + url + "</url>\n";
    }
    return doc + "</file>\n</metalink>\n";
}

TEST(MetalinkFetch, MirrorsAreTriedInOrderAndOnlyAVerifiedFileSucceeds)
{
    TempDir www;
    TempDir out;
    const std::string data = test::RandomBytes(300000, 41);
    WriteFile(www.File("good.bin"), data);
    WriteFile(www.File("bad.bin"), test::RandomBytes(300000, 42));  // another file of the same size
    test::Nginx nginx(www.Path());
    const std::string good = nginx.Url("/good.bin");
    const std::string missing = nginx.Url("/missing.bin");
    const std::string bad = nginx.Url("/bad.bin");
    const std::string sum = test::HexDigest(data);
    const struct {
        const char* what;
        std::string document;
        int status;
        bool whole;  // the target holds the file
        std::string said;
    } cases[] = {
        {"the most wanted mirror answers 404: the next gives the file", Meta4("f.bin", sum, {{good, 2}, {missing, 1}}),
         0, true, "Leaving the mirror " + missing + ": Error 404"},
        {"every mirror fails", Meta4("f.bin", sum, {{missing, 1}, {missing + "?2", 2}}), 1, false,
         "none of the 2 mirrors gives the file"},
        {"the only mirror sends another file", Meta4("f.bin", sum, {{bad, 1}}), 1, false, "does not match"},
        {"no hash: the file comes but is not verified", Meta4("f.bin", "", {{good, 1}}), 1, true,
         "could not be verified"},
        {"a document that cannot be used", Meta4("../f.bin", sum, {{good, 1}}), 2, false, "not a plain file name"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string metalink = out.File("case" + std::to_string(n) + ".meta4");
        const std::string target = out.File("f" + std::to_string(n++) + ".bin");
        WriteFile(metalink, c.document);
        std::string output;
        EXPECT_EQ(test::RunCommand({DROMO_FETCH, "--quiet", "--metalink", metalink, target}, &output), c.status)
            << c.what << ": " << output;
        EXPECT_EQ(ReadFile(target) == data, c.whole) << c.what;
        EXPECT_NE(output.find(c.said), std::string::npos) << c.what << ": " << output;
    }
    std::string output;
    EXPECT_EQ(test::RunCommand({DROMO_FETCH, "--metalink", out.File("none.meta4"), out.File("x")}, &output), 2);
    EXPECT_EQ(test::RunCommand({DROMO_FETCH, "--metalink", out.File("case0.meta4")}, &output), 2) << "no target";
}

// The same from a Metalink served by a URL: the document is fetched into a
// private folder under TMPDIR, used, and the folder goes whatever came of it.
TEST(MetalinkFetch, AMetalinkUrlIsFetchedAndItsFileDownloaded)
{
    TempDir www;
    TempDir out;
    TempDir tmp;
    const std::string data = test::RandomBytes(300000, 43);
    WriteFile(www.File("good.bin"), data);
    test::Nginx nginx(www.Path());
    WriteFile(www.File("image.meta4"), Meta4("f.bin", test::HexDigest(data), {{nginx.Url("/good.bin"), 1}}));
    WriteFile(www.File("wrong.meta4"), Meta4("f.bin", test::HexDigest("other"), {{nginx.Url("/good.bin"), 1}}));
    const struct {
        const char* what;
        std::string url;
        int status;
        bool whole;
        const char* said;
    } cases[] = {
        {"a Metalink URL", nginx.Url("/image.meta4"), 0, true, "Verified SHA-256"},
        {"its query is not its name", nginx.Url("/image.meta4?from=list"), 0, true, "Verified SHA-256"},
        {"a hash the file does not have", nginx.Url("/wrong.meta4"), 1, false, "does not match"},
        {"no document at the URL", nginx.Url("/missing.meta4"), 1, false, "404"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string target = out.File("g" + std::to_string(n++) + ".bin");
        std::string output;
        EXPECT_EQ(test::RunCommand({"/usr/bin/env", "TMPDIR=" + tmp.Path(), DROMO_FETCH, c.url, target}, &output),
                  c.status)
            << c.what << ": " << output;
        EXPECT_EQ(ReadFile(target) == data, c.whole) << c.what;
        EXPECT_NE(output.find(c.said), std::string::npos) << c.what << ": " << output;
        EXPECT_TRUE(std::filesystem::is_empty(tmp.Path())) << c.what << ": the document's folder is left behind";
    }
    // With --checksum the URL is a plain file: the document itself is fetched.
    std::string output;
    const std::string document = ReadFile(www.File("image.meta4"));
    EXPECT_EQ(test::RunCommand({DROMO_FETCH, "--checksum", "sha-256=" + test::HexDigest(document),
                                nginx.Url("/image.meta4"), out.File("doc.meta4")},
                               &output),
              0)
        << output;
    EXPECT_EQ(ReadFile(out.File("doc.meta4")), document);
}

// Whether a fault server was sent a login since it started.
bool GotLogin(const test::FaultServer& server)
{
    TempDir dir;
    std::string output;
    EXPECT_EQ(test::RunCommand({DROMO_FETCH, "--quiet", server.Url("/heads"), dir.File("heads")}, &output), 0)
        << output;
    return ReadFile(dir.File("heads")).find("\nAuthorization: ") != std::string::npos;
}

// --user goes to the server it was given for: the Metalink URL's, or for a
// Metalink file its most wanted mirror's; never to another server a
// Metalink names, not even when that one leads after the first fails.
TEST(MetalinkFetch, TheLoginGoesOnlyToTheServerItWasGivenFor)
{
    TempDir out;
    const std::string data = test::RandomBytes(300000, 44);
    const struct {
        const char* what;
        bool url;           // a Metalink URL on the first server, which wants the login
        bool firstMirrors;  // the most wanted mirror is on the first server (and fails)
    } cases[] = {
        {"a Metalink file, its most wanted mirror fails", false, true},
        {"a Metalink URL whose mirrors are elsewhere", true, false},
        {"a Metalink URL whose own server is the most wanted mirror, and fails", true, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir www;
        WriteFile(www.File("good.bin"), data);
        test::FaultServer first(www.Path());
        test::FaultServer other(www.Path());
        // Servers ask for a login before libcurl sends one: each mirror but
        // the last does, and has no such file.
        const std::string failing = (c.firstMirrors ? first : other).Url("/file/gone.bin?auth=alice:secret");
        const std::string document = Meta4(
            "f.bin", test::HexDigest(data),
            {{failing, 1}, {other.Url("/file/missing.bin?auth=alice:secret"), 2}, {other.Url("/file/good.bin"), 3}});
        WriteFile(www.File("doc.meta4"), document);
        WriteFile(out.File("doc.meta4"), document);
        const std::string target = out.File("f" + std::to_string(n++) + ".bin");
        std::vector<std::string> argv = {DROMO_FETCH, "--quiet", "--user", "alice", "--password", "secret"};
        if (c.url) {
            argv.insert(argv.end(), {first.Url("/file/doc.meta4?auth=alice:secret"), target});
        } else {
            argv.insert(argv.end(), {"--metalink", out.File("doc.meta4"), target});
        }
        std::string output;
        EXPECT_EQ(test::RunCommand(argv, &output), 0) << output;
        EXPECT_TRUE(ReadFile(target) == data);
        EXPECT_EQ(GotLogin(first), c.url || c.firstMirrors);
        EXPECT_FALSE(GotLogin(other)) << "the login went to a server it was not given for";
    }
}

// A Metalink larger than one may be is refused before it is written or
// read whole: at its length when the server gives one, else once the bytes
// pass the limit; a Metalink file that is a link to /dev/zero likewise.
TEST(MetalinkFetch, AHugeMetalinkIsRefusedBeforeItIsWrittenOrReadWhole)
{
    TempDir www;
    TempDir out;
    constexpr std::size_t kHuge = 64 << 20;
    WriteFile(www.File("huge.meta4"), std::string(kHuge, ' '));
    test::FaultServer server(www.Path());
    ASSERT_EQ(::symlink("/dev/zero", out.File("zero.meta4").c_str()), 0);
    const struct {
        const char* what;
        std::vector<std::string> argv;
        int status;
    } cases[] = {
        {"its length given", {server.Url("/file/huge.meta4"), out.File("a")}, 1},
        {"its length not given", {server.Url("/file/huge.meta4?chunked=1"), out.File("b")}, 1},
        {"a link to /dev/zero", {"--metalink", out.File("zero.meta4"), out.File("c")}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> argv = {DROMO_FETCH, "--quiet"};
        argv.insert(argv.end(), c.argv.begin(), c.argv.end());
        std::string output;
        EXPECT_EQ(test::RunCommand(argv, &output), c.status) << output;
        EXPECT_NE(output.find("larger than a Metalink file may be"), std::string::npos) << output;
    }
    // What the server handed to the network: the limit, what the sockets
    // hold, and no more.
    TempDir dir;
    std::string output;
    ASSERT_EQ(test::RunCommand({DROMO_FETCH, "--quiet", server.Url("/stats"), dir.File("stats")}, &output), 0);
    const std::string stats = ReadFile(dir.File("stats"));
    const std::size_t at = stats.find("bytes ");
    ASSERT_NE(at, std::string::npos) << stats;
    EXPECT_LT(std::stoll(stats.substr(at + 6)), static_cast<long long>(kHuge / 2)) << stats;
}

// A full disk is the machine's failure, not the mirrors': it is said as
// such, whether the most wanted mirror gives the file or has to be left
// first, and no mirror is left for it.
TEST(MetalinkFetch, AFullDiskIsALocalErrorNotTheMirrors)
{
    TempDir www;
    TempDir out;
    const std::string data = test::RandomBytes(3 << 20, 45);
    WriteFile(www.File("good.bin"), data);
    test::FaultServer server(www.Path());
    const std::string good = server.Url("/file/good.bin");
    const struct {
        const char* what;
        std::vector<std::pair<std::string, int>> mirrors;
    } cases[] = {
        {"the most wanted mirror gives the file", {{good, 1}, {good + "?2", 2}, {good + "?3", 3}}},
        {"the most wanted mirror is left first", {{server.Url("/status/404"), 1}, {good, 2}, {good + "?3", 3}}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string metalink = out.File("full" + std::to_string(n) + ".meta4");
        const std::string target = out.File("full" + std::to_string(n++) + ".bin");
        WriteFile(metalink, Meta4("f.bin", test::HexDigest(data), c.mirrors));
        ASSERT_EQ(::symlink("/dev/full", (target + "+++").c_str()), 0);  // the partial file
        std::string output;
        EXPECT_EQ(test::RunCommand({DROMO_FETCH, "--quiet", "--metalink", metalink, target}, &output), 1);
        EXPECT_NE(output.find("Error writing " + target + "+++: No space left on device"), std::string::npos) << output;
        EXPECT_EQ(output.find("none of the"), std::string::npos) << output;
        EXPECT_EQ(output.find("Leaving the mirror " + good), std::string::npos) << output;
    }
}

}  // namespace
}  // namespace dromo
