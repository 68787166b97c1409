// FTP reached in the ways a task meets it beside its own ftp:// URL: a web
// server's redirect, whatever number of connections the task asks for, and
// FTP over TLS with the options as Dromo ships them ("PASV Mode" off).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

// The FTP servers' reply lines the engine passed on as status texts.
std::vector<std::string> Replies(test::RecordingSink& sink)
{
    std::vector<std::string> replies;
    for (const auto& e : sink.OfKind(ProgressKind::Status)) {
        const std::string text = e.text.substr(std::min<std::size_t>(9, e.text.size()));  // without the time
        if (text.size() > 3 && std::isdigit(static_cast<unsigned char>(text[0])) != 0) {
            replies.push_back(text);
        }
    }
    return replies;
}

bool Replied(const std::vector<std::string>& replies, const std::string& start)
{
    return std::any_of(replies.begin(), replies.end(), [&](const std::string& r) { return r.rfind(start, 0) == 0; });
}

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

// libcurl cannot take an active data connection over TLS: FTP over TLS,
// implicit (ftps://), offered or asked for by the server (AUTH TLS), or
// required by "Require TLS for FTP", goes passive whatever "PASV Mode" says,
// while plain FTP keeps the active mode asked for.
TEST(FtpWays, FtpOverTlsIsPassiveWhateverThePasvOptionSays)
{
    TempDir www;
    const std::string data = test::RandomBytes(kSize, 62);
    WriteFile(www.File("a.bin"), data);
    const struct {
        const char* what;
        test::Vsftpd::Tls tls;
        bool required;  // "Require TLS for FTP"
        bool passive;
    } cases[] = {
        {"plain FTP", test::Vsftpd::Tls::None, false, false},
        {"ftps://", test::Vsftpd::Tls::Implicit, false, true},
        {"a server that offers TLS", test::Vsftpd::Tls::Offered, false, true},
        {"a server that offers TLS, and TLS required", test::Vsftpd::Tls::Offered, true, true},
        {"a server that asks for TLS", test::Vsftpd::Tls::Required, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::Vsftpd ftp(www.Path(), c.tls);
        const test::ScopedEnv ca("SSL_CERT_FILE", ftp.CaFile().c_str());
        const test::ScopedEnv bundle("CURL_CA_BUNDLE", nullptr);
        TempDir out;
        Fetcher f;
        f.engine.SetPasvMode(0);  // the option's default
        f.engine.SetFtpTlsRequired(c.required);
        ASSERT_TRUE(f.Get(ftp.Url("/a.bin"), out.File("a.bin"))) << f.Error();
        EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
        const std::vector<std::string> replies = Replies(f.sink);
        EXPECT_EQ(Replied(replies, "229 ") || Replied(replies, "227 "), c.passive);
        EXPECT_EQ(Replied(replies, "200 EPRT") || Replied(replies, "200 PORT"), !c.passive);
    }
}

}  // namespace
}  // namespace dromo
