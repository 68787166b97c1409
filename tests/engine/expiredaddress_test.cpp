// Signed links of file hosts expire: a resume refused as they refuse ends
// the task with the reason that says so and keeps its bytes, and a new
// address is taken for the same file only when the bytes before the resume
// point, asked of it with one range request, equal those on disk.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/commands/samefile.h"
#include "tests/engine/enginefixture.h"

namespace dromo {
namespace {

constexpr std::int64_t kSize = 700000;
constexpr std::int64_t kExpiresAfter = 300000;

// The Range values of the requests for a signed address's token.
std::vector<std::string> RangesAsked(const std::vector<std::string>& heads, const std::string& token)
{
    std::vector<std::string> ranges;
    for (const std::string& head : heads) {
        if (head.find("/signed/" + token + "/") != std::string::npos) {
            const std::vector<std::string> values = test::HeaderValues(head, "Range");
            ranges.push_back(values.empty() ? "" : values.front());
        }
    }
    return ranges;
}

TEST(ExpiredAddress, AResumeRefusedAsAnExpiredLinkKeepsTheBytesAndSaysSo)
{
    test::TempDir www;
    test::TempDir out;
    const std::string data = test::RandomBytes(kSize, 7);
    test::WriteFile(www.File("f.bin"), data);
    test::FaultServer server(www.Path());
    for (const char* code : {"403", "404", "410"}) {
        SCOPED_TRACE(code);
        const std::string target = out.File(std::string("f") + code + ".bin");
        const std::string url = server.Url(std::string("/signed/t") + code +
                                           "/f.bin?expires=" + std::to_string(kExpiresAfter) + "&expiredcode=" + code);
        test::Fetcher f;
        EXPECT_FALSE(f.Get(url, target));
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::ConnectionLost) << f.Error();
        EXPECT_FALSE(f.Get(url, target));
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::Expired);
        EXPECT_EQ(f.Error(), "The address has expired");
        EXPECT_EQ(test::ReadFile(target + "+++"), data.substr(0, kExpiresAfter));
    }
    // The same refusal of a fresh start is the server's own word, not an
    // expired link: nothing was kept that a new address could continue.
    test::Fetcher f;
    EXPECT_FALSE(f.Get(server.Url("/status/403"), out.File("fresh.bin")));
    EXPECT_EQ(f.engine.Outcome(), TransferOutcome::AccessDenied);
}

// Each new address against the partial file an expired one left: only the
// one that serves the very file is the same, and the check asks it for the
// 64 KiB before the resume point and nothing else.
TEST(ExpiredAddress, ANewAddressIsTheSameFileOnlyWhenItsBytesBeforeTheResumePointAre)
{
    test::TempDir www;
    test::TempDir out;
    const std::string data = test::RandomBytes(kSize, 8);
    test::WriteFile(www.File("f.bin"), data);
    test::WriteFile(www.File("longer.bin"), data + "x");
    test::FaultServer server(www.Path());
    const std::string target = out.File("f.bin");
    test::Fetcher f;
    const std::string old = server.Url("/signed/old/f.bin?expires=" + std::to_string(kExpiresAfter));
    EXPECT_FALSE(f.Get(old, target));
    EXPECT_FALSE(f.Get(old, target));
    ASSERT_EQ(f.engine.Outcome(), TransferOutcome::Expired);
    const std::string tail =
        "bytes=" + std::to_string(kExpiresAfter - kSameFileTail) + "-" + std::to_string(kExpiresAfter - 1);
    const struct {
        const char* what;
        std::string path;
        bool same;
    } cases[] = {
        {"the same file at a new signed address", "/signed/new1/f.bin", true},
        {"other bytes of the same length and validators", "/signed/new2/f.bin?alter=1", false},
        {"a server that ignores ranges", "/signed/new3/f.bin?noranges=1", false},
        {"another version of the file (its ETag)", "/signed/new4/f.bin?changeafter=0", false},
        {"another length", "/signed/new5/longer.bin", false},
        {"a new address that is refused too", "/status/403", false},
    };
    test::RequestHeads(server);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto u = ParseUrl(server.Url(c.path));
        ASSERT_TRUE(u);
        f.engine.SetSecure(false);
        const AddressSample sample = f.engine.SampleAddress(u->host, u->port, u->remotePath, target);
        f.engine.Close();
        EXPECT_EQ(sample.resumePoint, kExpiresAfter);
        const SameFileVerdict verdict = JudgeSameFile(sample);
        EXPECT_EQ(verdict.same, c.same) << verdict.reason;
        const std::string token = c.path.substr(8, 4);
        if (c.path.rfind("/signed/", 0) == 0) {
            EXPECT_EQ(RangesAsked(test::RequestHeads(server), token), std::vector<std::string>{tail});
        }
    }
    EXPECT_EQ(test::ReadFile(target + "+++"), data.substr(0, kExpiresAfter));  // the check writes nothing

    // The same file's new address continues the bytes on disk: one request
    // for the rest.
    test::RequestHeads(server);
    ASSERT_TRUE(f.Get(server.Url("/signed/new1/f.bin"), target)) << f.Error();
    EXPECT_EQ(test::ReadFile(target), data);
    EXPECT_EQ(RangesAsked(test::RequestHeads(server), "new1"),
              std::vector<std::string>{"bytes=" + std::to_string(kExpiresAfter) + "-"});
}

}  // namespace
}  // namespace dromo
