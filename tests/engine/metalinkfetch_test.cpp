// dromo-fetch --metalink against a real nginx: the mirrors are tried in
// their order of priority, a mirror that answers 404 is passed over, and
// exit status 0 means a file that matches the Metalink's hash.

#include <gtest/gtest.h>

#include <openssl/evp.h>

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

}  // namespace
}  // namespace dromo
