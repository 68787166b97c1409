// The engine against widely deployed servers as users meet them: Apache
// with its Basic and Digest logins, squid as a forward proxy (plain, CONNECT
// for HTTPS, FTP through its tunnel), vsftpd, and HTTPS from a server whose
// certificate comes from a CA of its own that the user names through the
// environment, as for curl.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <tuple>

#include "tests/engine/enginefixture.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Fetcher;
using test::ReadFile;
using test::ScopedEnv;
using test::TempDir;
using test::WriteFile;

// One transfer and how it must end.
struct Case {
    std::string name{};
    std::string server{};  // which of the test's servers the path is on
    std::string path{};
    std::string user{}, password{};
    std::size_t resumeFrom = 0;   // bytes of the file already in the engine's partial file
    std::string failure{};        // empty: it succeeds; else a text its error holds
    bool failureAtStart = false;  // ... at the start of the error
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ThirdPartyTest : public ::testing::Test {
protected:
    TempDir www;
    std::string data = test::RandomBytes(1 << 20, 11);

    void SetUp() override { WriteFile(www.File("a.bin"), data); }

    // Runs the case's URL into an empty folder. A success leaves the
    // server's exact bytes under the target's name and nothing else (a
    // resume starting where the partial file ends); a failure leaves its
    // text and no file at all.
    void Expect(Fetcher& f, const std::string& url, const Case& c)
    {
        SCOPED_TRACE(url);
        TempDir out;
        const std::string target = out.File("a.bin");
        if (c.resumeFrom > 0) {
            test::WriteOwnPartialFile(target + "+++", data.substr(0, c.resumeFrom));
        }
        const bool ok = f.Get(url, target, c.user, c.password);
        if (c.failure.empty()) {
            ASSERT_TRUE(ok) << f.Error();
            EXPECT_TRUE(ReadFile(target) == data) << "the file differs from the server's";
            EXPECT_EQ(Listing(out.Path()), std::vector<std::string>{"a.bin"});
            const auto starts = f.sink.OfKind(ProgressKind::Start);
            ASSERT_FALSE(starts.empty());
            EXPECT_EQ(starts.front().bytes, static_cast<std::int64_t>(c.resumeFrom));
        } else {
            EXPECT_FALSE(ok);
            if (c.failureAtStart) {
                EXPECT_EQ(f.Error().rfind(c.failure, 0), 0u) << f.Error();
            } else {
                EXPECT_NE(f.Error().find(c.failure), std::string::npos) << f.Error();
            }
            EXPECT_TRUE(f.Error().rfind("Error ", 0) == 0 || f.Error().rfind("Fail ", 0) == 0) << f.Error();
            EXPECT_EQ(Listing(out.Path()), std::vector<std::string>{});
        }
    }
};

constexpr std::size_t kPartial = 300001;  // an odd place, off any block boundary

// Apache: plain and resumed downloads, and both of its login schemes.
class ApacheTest : public ThirdPartyTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ApacheTest, Transfer)
{
    test::Apache apache(www.Path());
    Fetcher f;
    Expect(f, apache.Url(GetParam().path), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApacheTest,
    ::testing::Values(Case{.name = "Plain", .path = "/a.bin"},
                      Case{.name = "Resume", .path = "/a.bin", .resumeFrom = kPartial},
                      Case{.name = "BasicLogin", .path = "/basic/a.bin", .user = "alice", .password = "wonder"},
                      Case{.name = "BasicWrongPassword",
                           .path = "/basic/a.bin",
                           .user = "alice",
                           .password = "wrong",
                           .failure = "401"},
                      Case{.name = "BasicWithoutLogin", .path = "/basic/a.bin", .failure = "401"},
                      Case{.name = "DigestLogin", .path = "/digest/a.bin", .user = "alice", .password = "wonder"},
                      Case{.name = "DigestResume",
                           .path = "/digest/a.bin",
                           .user = "alice",
                           .password = "wonder",
                           .resumeFrom = kPartial},
                      Case{.name = "DigestWrongPassword",
                           .path = "/digest/a.bin",
                           .user = "alice",
                           .password = "wrong",
                           .failure = "401"}),
    CaseName);

// vsftpd: anonymous downloads; a folder is never saved as the file.
class VsftpdTest : public ThirdPartyTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override
    {
        ThirdPartyTest::SetUp();
        std::filesystem::create_directory(www.File("sub"));
        WriteFile(www.File("sub/b.bin"), "in a folder");
    }
};

TEST_P(VsftpdTest, Transfer)
{
    test::Vsftpd ftp(www.Path());
    Fetcher f;
    Expect(f, ftp.Url(GetParam().path), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VsftpdTest,
    ::testing::Values(
        Case{.name = "Plain", .path = "/a.bin"}, Case{.name = "Resume", .path = "/a.bin", .resumeFrom = kPartial},
        Case{.name = "NamedAnonymous", .path = "/a.bin", .user = "anonymous", .password = "dromo@example.com"},
        Case{.name = "Folder", .path = "/", .failure = "Fail", .failureAtStart = true},
        Case{.name = "SubFolder", .path = "/sub/", .failure = "Fail", .failureAtStart = true},
        Case{.name = "MissingFile", .path = "/missing.bin", .failure = "550"},
        Case{.name = "UserRefused",
             .path = "/a.bin",
             .user = "alice",
             .password = "wonder",
             .failure = "Fail ",
             .failureAtStart = true}),
    CaseName);

// A CA of the test's own and nginx with a certificate it signed.
class TlsServer {
public:
    explicit TlsServer(const std::string& root)
    {
        if (!test::MakeTestCa(m_keys.Path())) {
            throw std::runtime_error("openssl could not make the test CA");
        }
        m_nginx = std::make_unique<test::Nginx>(root, "", m_keys.File("cert.pem"), m_keys.File("key.pem"));
    }
    std::string CaFile() const { return m_keys.File("ca.pem"); }
    std::string Url(const std::string& path) const { return m_nginx->Url(path); }

private:
    TempDir m_keys;
    std::unique_ptr<test::Nginx> m_nginx;
};

// Names a CA to the engine through one of the variables curl reads (none
// for an empty name), with the other one unset, while the object lives.
class NamedCa {
public:
    NamedCa(const std::string& variable, const std::string& caFile)
        : m_sslCertFile("SSL_CERT_FILE", variable == "SSL_CERT_FILE" ? caFile.c_str() : nullptr),
          m_curlCaBundle("CURL_CA_BUNDLE", variable == "CURL_CA_BUNDLE" ? caFile.c_str() : nullptr)
    {
    }

private:
    ScopedEnv m_sslCertFile;
    ScopedEnv m_curlCaBundle;
};

// vsftpd over TLS, its certificate from a CA of the test's own named as for
// HTTPS: ftps:// speaks TLS from the first byte; a plain ftp:// URL to a
// server that refuses plain logins ("530 ... must use encryption") is
// logged in again over AUTH TLS, data connections included.
class VsftpdTlsTest : public ThirdPartyTest,
                      public ::testing::WithParamInterface<std::tuple<test::Vsftpd::Tls, Case>> {};

TEST_P(VsftpdTlsTest, Transfer)
{
    const auto& [tls, c] = GetParam();
    test::Vsftpd ftp(www.Path(), tls);
    const NamedCa ca("SSL_CERT_FILE", ftp.CaFile());
    Fetcher f;
    Expect(f, ftp.Url(c.path), c);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VsftpdTlsTest,
    ::testing::Combine(::testing::Values(test::Vsftpd::Tls::Implicit, test::Vsftpd::Tls::Required),
                       ::testing::Values(Case{.name = "Plain", .path = "/a.bin"},
                                         Case{.name = "Resume", .path = "/a.bin", .resumeFrom = kPartial},
                                         Case{.name = "MissingFile", .path = "/missing.bin", .failure = "550"})),
    [](const auto& info) {
        const bool implicit = std::get<0>(info.param) == test::Vsftpd::Tls::Implicit;
        return std::get<Case>(info.param).name + (implicit ? "_Implicit" : "_Required");
    });

// TLS to an FTP server checks its certificate as HTTPS does: a server from
// an unknown CA is refused before a byte is written, and the login goes
// neither to it nor, in clear, to a server that merely offered TLS.
TEST_F(ThirdPartyTest, FtpOverTlsFromAnUnknownCaIsRefused)
{
    for (const auto tls : {test::Vsftpd::Tls::Implicit, test::Vsftpd::Tls::Required, test::Vsftpd::Tls::Offered}) {
        test::Vsftpd ftp(www.Path(), tls);
        SCOPED_TRACE(ftp.Url("/a.bin"));
        const NamedCa none("", "");
        Fetcher f;
        Expect(f, ftp.Url("/a.bin"), Case{.failure = "certificate"});
        EXPECT_EQ(f.Error().rfind("Fail - secure connection to 127.0.0.1:", 0), 0u) << f.Error();
        for (const std::string& command : ftp.Commands()) {
            EXPECT_NE(command.rfind("USER ", 0), 0u) << command;
        }
    }
}

// An ftp:// server that offers TLS gets the login inside TLS (AUTH TLS
// taken at once, USER and PASS, then the data's protection, which libcurl
// asks for and vsftpd grants only inside TLS), whatever the option says; a
// server that demands TLS for logins takes this one. A server that offers
// none gets the login in clear as always, unless "Require TLS for FTP" is
// on: then the transfer fails at once saying so, and the server, which logs
// every command it receives, never heard USER or PASS.
struct FtpTlsCase {
    std::string name;
    test::Vsftpd::Tls server;
    bool required;
    std::vector<std::string> firstCommands;  // what the server heard first, in order
    bool refused = false;
};

void PrintTo(const FtpTlsCase& c, std::ostream* os)
{
    *os << c.name;
}

class FtpTlsTest : public ThirdPartyTest, public ::testing::WithParamInterface<FtpTlsCase> {};

TEST_P(FtpTlsTest, TheLoginGoesInsideTlsWheneverTheServerOffersIt)
{
    const FtpTlsCase& c = GetParam();
    test::Vsftpd ftp(www.Path(), c.server);
    const NamedCa ca(c.server == test::Vsftpd::Tls::None ? "" : "SSL_CERT_FILE", ftp.CaFile());
    Fetcher f;
    f.engine.SetFtpTlsRequired(c.required);
    const std::string where = "127.0.0.1:" + std::to_string(ftp.Port());
    Expect(f, ftp.Url("/a.bin"),
           Case{.failure = c.refused ? "Fail - " + where +
                                           " offers no TLS and \"Require TLS for FTP\" is on: the login was not sent"
                                     : "",
                .failureAtStart = true});
    EXPECT_EQ(f.engine.Outcome(), c.refused ? TransferOutcome::SecureFailure : TransferOutcome::Completed);
    std::vector<std::string> heard = ftp.Commands();
    const bool loggedIn = std::any_of(heard.begin(), heard.end(), [](const std::string& command) {
        return command.rfind("USER ", 0) == 0 || command.rfind("PASS ", 0) == 0;
    });
    EXPECT_EQ(loggedIn, !c.refused);
    heard.resize(std::min(heard.size(), c.firstCommands.size()));
    EXPECT_EQ(heard, c.firstCommands);
}

const std::vector<std::string> kLoginInsideTls = {"AUTH TLS", "USER anonymous", "PASS <password>", "PBSZ 0", "PROT P"};

INSTANTIATE_TEST_SUITE_P(
    Cases, FtpTlsTest,
    ::testing::Values(FtpTlsCase{"TlsOffered", test::Vsftpd::Tls::Offered, false, kLoginInsideTls},
                      FtpTlsCase{"TlsOfferedAndRequired", test::Vsftpd::Tls::Offered, true, kLoginInsideTls},
                      // A server that refuses plain logins is not first sent one.
                      FtpTlsCase{"TlsDemanded", test::Vsftpd::Tls::Required, false, kLoginInsideTls},
                      FtpTlsCase{"TlsDemandedAndRequired", test::Vsftpd::Tls::Required, true, kLoginInsideTls},
                      FtpTlsCase{"NoTls",
                                 test::Vsftpd::Tls::None,
                                 false,
                                 {"AUTH TLS", "AUTH SSL", "USER anonymous", "PASS <password>"}},
                      FtpTlsCase{"NoTlsButRequired", test::Vsftpd::Tls::None, true, {"AUTH TLS", "AUTH SSL"}, true}),
    [](const auto& info) { return info.param.name; });

// A web server's redirect to ftps:// is followed like one to ftp://.
TEST_F(ThirdPartyTest, ARedirectToFtpsIsFollowed)
{
    test::Vsftpd ftp(www.Path(), test::Vsftpd::Tls::Implicit);
    const NamedCa ca("SSL_CERT_FILE", ftp.CaFile());
    test::FaultServer server(www.Path());
    Fetcher f;
    Expect(f, server.Url("/redirect/1?to=" + ftp.Url("/a.bin")), Case{});
}

// HTTPS straight to the server, its CA named by either variable curl reads.
class HttpsTest : public ThirdPartyTest, public ::testing::WithParamInterface<std::tuple<std::string, Case>> {};

TEST_P(HttpsTest, Transfer)
{
    const auto& [variable, c] = GetParam();
    TlsServer server(www.Path());
    const NamedCa ca(variable, server.CaFile());
    Fetcher f;
    Expect(f, server.Url(c.path), c);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HttpsTest,
    ::testing::Combine(::testing::Values("SSL_CERT_FILE", "CURL_CA_BUNDLE"),
                       ::testing::Values(Case{.name = "Plain", .path = "/a.bin"},
                                         Case{.name = "Resume", .path = "/a.bin", .resumeFrom = kPartial})),
    [](const auto& info) { return std::get<Case>(info.param).name + "_" + std::get<std::string>(info.param); });

// Naming a CA never turns checking off: without it, or with another CA,
// the server is refused before a byte is written.
TEST_F(ThirdPartyTest, HttpsFromAnUnknownCaIsRefused)
{
    TlsServer server(www.Path());
    TempDir otherKeys;
    ASSERT_TRUE(test::MakeTestCa(otherKeys.Path()));
    for (const std::string& ca : {std::string(), otherKeys.File("ca.pem")}) {
        SCOPED_TRACE("CA " + ca);
        const NamedCa named(ca.empty() ? "" : "SSL_CERT_FILE", ca);
        Fetcher f;
        Expect(f, server.Url("/a.bin"), Case{.failure = "certificate"});
        EXPECT_EQ(f.Error().rfind("Fail - secure connection to 127.0.0.1:", 0), 0u) << f.Error();
    }
}

// The servers behind the proxy: nginx, nginx over TLS with its CA named
// through SSL_CERT_FILE, and vsftpd, all serving one folder.
class Origins {
public:
    explicit Origins(const std::string& root)
        : m_http(root), m_https(root), m_ftp(root), m_ca("SSL_CERT_FILE", m_https.CaFile())
    {
    }
    // The path on the server of that scheme ("http", "https" or "ftp").
    std::string Url(const std::string& scheme, const std::string& path) const
    {
        return scheme == "https" ? m_https.Url(path) : scheme == "ftp" ? m_ftp.Url(path) : m_http.Url(path);
    }
    std::string CaFile() const { return m_https.CaFile(); }

private:
    test::Nginx m_http;
    TlsServer m_https;
    test::Vsftpd m_ftp;
    NamedCa m_ca;
};

// squid between the engine and the servers, with and without a proxy
// login, reached in plain HTTP or over TLS (an HTTPS proxy, its CA named
// beside the servers' as a company's own CA is).
class SquidTest : public ThirdPartyTest, public ::testing::WithParamInterface<std::tuple<bool, bool, Case>> {};

// A CA bundle of the servers' CA and the proxy's, named through SSL_CERT_FILE.
class BothCas {
public:
    BothCas(const std::string& first, const std::string& second)
        : m_bundle(WriteBundle(m_dir, first, second)), m_named("SSL_CERT_FILE", m_bundle)
    {
    }

private:
    static std::string WriteBundle(const TempDir& dir, const std::string& first, const std::string& second)
    {
        WriteFile(dir.File("bundle.pem"), ReadFile(first) + ReadFile(second));
        return dir.File("bundle.pem");
    }
    TempDir m_dir;
    std::string m_bundle;
    NamedCa m_named;
};

TEST_P(SquidTest, Transfer)
{
    const auto& [login, tls, c] = GetParam();
    test::Squid proxy(login ? "pu:pp" : "", tls);
    const Origins origins(www.Path());
    const std::unique_ptr<BothCas> cas = tls ? std::make_unique<BothCas>(origins.CaFile(), proxy.CaFile()) : nullptr;
    const std::string url = origins.Url(c.server, c.path);
    {
        Fetcher f;
        f.UseProxy((tls ? "https://" : "") + proxy.HostPort(), login ? "pu" : "", login ? "pp" : "");
        Expect(f, url, c);
    }  // the engine's connections close with it, so squid logs them
    // The proxy was really in the way (squid logs a tunnel as CONNECT).
    const std::size_t host = url.find("://") + 3;
    const std::string logged =
        c.server == "http" ? "GET " + url : "CONNECT " + url.substr(host, url.find('/', host) - host);
    EXPECT_TRUE(proxy.Logged(logged, 5000)) << logged << "\n" << proxy.AccessLog();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SquidTest,
    ::testing::Combine(
        ::testing::Bool(), ::testing::Bool(),
        ::testing::Values(Case{.name = "HttpPlain", .server = "http", .path = "/a.bin"},
                          Case{.name = "HttpResume", .server = "http", .path = "/a.bin", .resumeFrom = kPartial},
                          Case{.name = "Http404", .server = "http", .path = "/missing.bin", .failure = " 404 "},
                          Case{.name = "HttpsPlain", .server = "https", .path = "/a.bin"},
                          Case{.name = "HttpsResume", .server = "https", .path = "/a.bin", .resumeFrom = kPartial},
                          Case{.name = "Https404", .server = "https", .path = "/missing.bin", .failure = " 404 "},
                          Case{.name = "FtpPlain", .server = "ftp", .path = "/a.bin"},
                          Case{.name = "FtpResume", .server = "ftp", .path = "/a.bin", .resumeFrom = kPartial})),
    [](const auto& info) {
        return std::get<Case>(info.param).name + (std::get<0>(info.param) ? "_WithLogin" : "_WithoutLogin") +
               (std::get<1>(info.param) ? "_HttpsProxy" : "");
    });

// An HTTPS proxy's certificate is checked as a server's: a proxy from a CA
// nobody named is refused before the request goes out, and the text names
// the proxy, not the server behind it.
TEST_F(ThirdPartyTest, AnHttpsProxyFromAnUnknownCaIsRefused)
{
    test::Squid proxy("", true);
    const Origins origins(www.Path());  // names the servers' CA alone
    for (const std::string scheme : {"http", "https", "ftp"}) {
        Fetcher f;
        f.UseProxy("https://" + proxy.HostPort());
        Expect(f, origins.Url(scheme, "/a.bin"), Case{.failure = "certificate"});
        EXPECT_EQ(f.Error().rfind("Fail - secure connection to the proxy " + proxy.HostPort() + " refused: ", 0), 0u)
            << f.Error();
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::SecureFailure);
    }
}

// A SOCKS5 proxy named so in the proxy's address, with and without a login,
// resolving the server's name itself or not: every kind of server is
// reached through it, and a wrong login is refused by the proxy (so the
// transfer did not go around it).
TEST_F(ThirdPartyTest, ASocksProxyCarriesEveryKindOfTransfer)
{
    const Origins origins(www.Path());
    for (const bool login : {false, true}) {
        test::Microsocks proxy(login ? "pu:pp" : "");
        for (const std::string kind : {"socks5://", "socks5h://"}) {
            for (const std::string scheme : {"http", "https", "ftp"}) {
                SCOPED_TRACE(kind + (login ? " with a login, " : " without a login, ") + scheme);
                Fetcher f;
                f.UseProxy(kind + proxy.HostPort(), login ? "pu" : "", login ? "pp" : "");
                Expect(f, origins.Url(scheme, "/a.bin"), Case{});
                if (login) {
                    Fetcher wrong;
                    wrong.UseProxy(kind + proxy.HostPort(), "pu", "bad");
                    Expect(wrong, origins.Url(scheme, "/a.bin"), Case{.failure = "Error "});
                }
            }
        }
    }
}

// socks5h:// leaves the server's name to the proxy: a name only the proxy
// can look up is reached through it, with and without a proxy login, and
// through socks5://, which looks names up here, it is not.
TEST_F(ThirdPartyTest, ASocks5hProxyLooksTheServersNameUp)
{
    const std::string name = "files.dromo.test";
    TempDir keys;
    ASSERT_TRUE(test::MakeTestCa(keys.Path(), {name}));
    const test::Nginx http(www.Path());
    const test::Nginx https(www.Path(), "", keys.File("cert.pem"), keys.File("key.pem"));
    const test::Vsftpd ftp(www.Path());
    const NamedCa ca("SSL_CERT_FILE", keys.File("ca.pem"));
    const std::string urls[] = {"http://" + name + ":" + std::to_string(http.Port()) + "/a.bin",
                                "https://" + name + ":" + std::to_string(https.Port()) + "/a.bin",
                                "ftp://" + name + ":" + std::to_string(ftp.Port()) + "/a.bin"};
    for (const bool login : {false, true}) {
        test::Microsocks proxy(login ? "pu:pp" : "", {name});
        for (const std::string& url : urls) {
            SCOPED_TRACE(login ? "with a login" : "without a login");
            Fetcher remote;
            remote.UseProxy("socks5h://" + proxy.HostPort(), login ? "pu" : "", login ? "pp" : "");
            Expect(remote, url, Case{});
            Fetcher local;
            local.UseProxy("socks5://" + proxy.HostPort(), login ? "pu" : "", login ? "pp" : "");
            Expect(local, url, Case{.failure = "resolve"});
        }
    }
}

// A wrong proxy login is refused by the proxy, and the text says so.
TEST_F(ThirdPartyTest, SquidRefusesAWrongProxyLogin)
{
    for (const bool tls : {false, true}) {
        test::Squid proxy("pu:pp", tls);
        const Origins origins(www.Path());
        const BothCas cas(origins.CaFile(), tls ? proxy.CaFile() : origins.CaFile());
        for (const std::string scheme : {"http", "https", "ftp"}) {
            SCOPED_TRACE(scheme + (tls ? " through an HTTPS proxy" : ""));
            Fetcher f;
            f.UseProxy((tls ? "https://" : "") + proxy.HostPort(), "pu", "bad");
            Expect(f, origins.Url(scheme, "/a.bin"), Case{.failure = "407"});
        }
    }
}

}  // namespace
}  // namespace dromo
