// FTP reached in the ways a task meets it beside its own ftp:// URL: a web
// server's redirect, whatever number of connections the task asks for.

#include <gtest/gtest.h>

#include <string>

#include "tests/engine/enginefixture.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Fetcher;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Larger than the first range of a segmented transfer (2 MiB), and not a
// multiple of anything a range is cut at.
constexpr std::size_t kSize = 5 * (1 << 20) + 12345;

// The web server's first answer is a redirect; the range the first of
// several connections asks for must not become the FTP file's length.
TEST(FtpWays, ARedirectToFtpBringsTheWholeFileWhateverTheConnections)
{
    TempDir www;
    const std::string data = test::RandomBytes(kSize, 61);
    WriteFile(www.File("a.bin"), data);
    test::FaultServer http(www.Path());
    test::Vsftpd vsftpd(www.Path());
    test::FtpServer pyftpdlib(www.Path());
    for (const std::string& ftp : {vsftpd.Url("/a.bin"), pyftpdlib.Url("/a.bin")}) {
        for (const int connections : {1, 2, 4, 8}) {
            SCOPED_TRACE(ftp + ", " + std::to_string(connections) + " connections");
            TempDir out;
            Fetcher f;
            f.engine.SetConnections(connections);
            ASSERT_TRUE(f.Get(http.Url("/redirect/1?to=" + ftp), out.File("a.bin"))) << f.Error();
            EXPECT_EQ(f.engine.Outcome(), TransferOutcome::Completed);
            EXPECT_EQ(f.engine.FileSize(), static_cast<std::int64_t>(kSize));
            const std::string got = ReadFile(out.File("a.bin"));
            EXPECT_EQ(got.size(), kSize);
            EXPECT_TRUE(got == data);
        }
    }
}

}  // namespace
}  // namespace dromo
