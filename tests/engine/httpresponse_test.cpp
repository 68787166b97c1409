#include "engine/httpresponse.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

TEST(HttpResponse, ParsesTheHeadersTheEngineDecidesBy)
{
    HttpResponse r;
    for (const char* line :
         {"HTTP/1.1 206 Partial Content\r\n", "content-range: bytes 100-199/5368709120", "ETag: \"abc\"",
          "Last-Modified: Tue, 01 Dec 2026 10:00:00 GMT", "Accept-Ranges: bytes", "Content-Length: 100", "X-Junk",
          ": empty name", "Link: <http://b/f>; rel=duplicate", "LINK:<http://c/f>; rel=\"duplicate\" "}) {
        r.AddLine(line);
    }
    EXPECT_EQ(r.code, 206);
    EXPECT_EQ(r.reason, "Partial Content");
    EXPECT_EQ(r.rangeFirst, 100);
    EXPECT_EQ(r.rangeTotal, 5368709120);
    EXPECT_EQ(r.contentLength, 100);
    EXPECT_EQ(r.StrongEtag(), "\"abc\"");
    EXPECT_TRUE(r.acceptRanges);
    EXPECT_EQ(r.link, "<http://b/f>; rel=duplicate, <http://c/f>; rel=\"duplicate\"");  // repeated lines make one list

    r.AddLine("HTTP/1.1 200 OK");  // a new response forgets the old one
    EXPECT_EQ(r.code, 200);
    EXPECT_EQ(r.rangeTotal, -1);
    EXPECT_TRUE(r.etag.empty());
    EXPECT_TRUE(r.link.empty());
}

TEST(HttpResponse, GarbageNeverBecomesANumber)
{
    const std::pair<const char*, std::int64_t> lengths[] = {
        {"Content-Length: abc", -1},  {"Content-Length: -5", -1},
        {"Content-Length: 12x", -1},  {"Content-Length: 99999999999999999999999", -1},
        {"Content-Length:  42 ", 42},
    };
    for (auto [line, expected] : lengths) {
        HttpResponse r;
        r.AddLine(line);
        EXPECT_EQ(r.contentLength, expected) << line;
    }
    const char* ranges[] = {"Content-Range: bytes */*", "Content-Range: items 1-2/3", "Content-Range: bytes 1-2",
                            "Content-Range: bytes x-2/3"};
    for (const char* line : ranges) {
        HttpResponse r;
        r.AddLine(line);
        EXPECT_EQ(r.rangeFirst, -1) << line;
    }
    HttpResponse weak;
    weak.AddLine("ETag: W/\"x\"");
    EXPECT_EQ(weak.StrongEtag(), "");
    HttpResponse noCode;
    noCode.AddLine("HTTP/1.1 abc");
    EXPECT_EQ(noCode.code, 0);
}

}  // namespace
}  // namespace dromo
