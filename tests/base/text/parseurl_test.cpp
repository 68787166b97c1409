#include "base/text/parseurl.h"

#include <gtest/gtest.h>

#include "base/text/textutil.h"
#include "base/values/taskrecord.h"

namespace dromo {
namespace {

TEST(ParseUrl, AcceptedUrls)
{
    struct Case {
        const char* url;
        std::int32_t protocol;
        const char* host;
        std::uint16_t port;
        const char* path;
    };
    const Case cases[] = {
        {"http://example.org/", kProtocolHttp, "example.org", 80, "/"},
        {"HTTP://Host:8080/a/b.zip", kProtocolHttp, "Host", 8080, "/a/b.zip"},
        {"ftp://ftp.example.org/pub/x.tar.gz", kProtocolFtp, "ftp.example.org", 21, "/pub/x.tar.gz"},
        {"FtP://h:2121/", kProtocolFtp, "h", 2121, "/"},
        {"ftps://ftp.example.org/pub/x.iso", kProtocolFtps, "ftp.example.org", 990, "/pub/x.iso"},
        {"FTPS://h:2990/x", kProtocolFtps, "h", 2990, "/x"},
        {"https://secure.example/f.iso", kProtocolHttps, "secure.example", 443, "/f.iso"},
        {"HTTPS://secure.example:8443/f", kProtocolHttps, "secure.example", 8443, "/f"},
        {"http://h/cgi?id=1&x=y z", kProtocolHttp, "h", 80, "/cgi?id=1&x=y z"},
        {"http://user@h/x", kProtocolHttp, "user@h", 80, "/x"},
        {"http://a:1:2/x", kProtocolHttp, "a:1", 2, "/x"},   // the last ":" counts
        {"http://:80x/x", kProtocolHttp, ":80x", 80, "/x"},  // ":" first is part of the host
        {"http://[::1]/x", kProtocolHttp, "[::1]", 80, "/x"},
        {"http://[::1]:8081/x", kProtocolHttp, "[::1]", 8081, "/x"},
        {"http://h:65535/x", kProtocolHttp, "h", 65535, "/x"},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseUrl(c.url);
        ASSERT_TRUE(parsed) << c.url;
        EXPECT_EQ(parsed->protocol, c.protocol) << c.url;
        EXPECT_EQ(parsed->host, c.host) << c.url;
        EXPECT_EQ(parsed->port, c.port) << c.url;
        EXPECT_EQ(parsed->remotePath, c.path) << c.url;
    }
}

TEST(ParseUrl, RefusedUrls)
{
    for (const char* url : {
             "",
             "http://",
             "http://host",
             "http:///path",
             "ftp://",
             "ftp:/host/x",
             "ftps://",
             "ftps:/host/x",
             "sftp://h/x",
             "gopher://h/x",
             "mailto:someone@example.org",
             "file:///etc/passwd",
             " http://h/x",
             "htt://h/x",
             "http://h:/x",       // no port number
             "http://h:0/x",      // port 0 does not exist
             "http://h:65536/x",  // beyond 16 bits: would wrap to another port
             "http://h:99999/x",
             "http://h:8o/x",
             "http://h:-1/x",
             "http://user:pw@h/x",  // the add paths take a login out of the URL first
             "http://[::1/x",
             "ftp://[::1:21/x",  // an IPv6 literal without its "]"
         }) {
        EXPECT_FALSE(ParseUrl(url)) << url;
    }
}

// Two links dropped together arrive as one text, a line each: taken as one
// URL, it asked the server for "/a.bin%0Ahttp://h/b.bin" and fetched
// neither. No control character belongs anywhere in a URL.
TEST(ParseUrl, AControlCharacterAnywhereRefusesTheUrl)
{
    using namespace std::string_literals;
    const struct {
        const char* what;
        std::string url;
    } cases[] = {
        {"two links, a line each", "http://h/a.bin\nhttp://h/b.bin"},
        {"two links, a Windows line each", "http://h/a.bin\r\nhttp://h/b.bin"},
        {"a line end after the URL", "http://h/a.bin\n"},
        {"a carriage return in the path", "http://h/a\rb.bin"},
        {"a tab in the path", "http://h/a\tb.bin"},
        {"a line feed in the host", "http://h\nx/a.bin"},
        {"a line feed in the port", "http://h:80\n/a.bin"},
        {"a line feed in the query", "https://h/a.bin?x=1\ny=2"},
        {"a NUL", "ftp://h/a\0b"s},
        {"another C0 byte", "ftp://h/a\x01"},
        {"the last C0 byte", "ftp://h/a\x1f"},
        {"DEL", "http://h/a\x7f.bin"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ParseUrl(c.url)) << c.what;
        EXPECT_TRUE(HoldsControlCharacter(c.url)) << c.what;
    }
    // Neighbours of the control characters still pass: a space, "~", and
    // UTF-8 (whose bytes lie above DEL).
    for (const char* url : {"http://h/a b.bin", "http://h/~a.bin", "http://h/gr\xC3\xBC\xC3\x9F.bin"}) {
        EXPECT_TRUE(ParseUrl(url)) << url;
        EXPECT_FALSE(HoldsControlCharacter(url)) << url;
    }
}

}  // namespace
}  // namespace dromo
