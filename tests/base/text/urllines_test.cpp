#include "base/text/urllines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dromo {
namespace {

using Lines = std::vector<std::string>;

TEST(UrlLines, OneUrlALineWithoutBlanksAroundIt)
{
    const struct {
        const char* what;
        const char* text;
        Lines lines;
    } cases[] = {
        {"nothing", "", {}},
        {"blanks only", " \t\r\n \n", {}},
        {"one URL", "http://h/a.bin", {"http://h/a.bin"}},
        {"one URL with a line end", "http://h/a.bin\n", {"http://h/a.bin"}},
        {"one line with words, kept whole", "  get this: http://h/a.bin please ", {"get this: http://h/a.bin please"}},
        {"two links dropped together", "http://h/a.bin\nhttp://h/b.bin", {"http://h/a.bin", "http://h/b.bin"}},
        {"a URI list's line ends", "http://h/a.bin\r\nftp://h/b.iso\r\n", {"http://h/a.bin", "ftp://h/b.iso"}},
        {"old Mac line ends", "http://h/a.bin\rhttp://h/b.bin", {"http://h/a.bin", "http://h/b.bin"}},
        {"blank lines and blanks between",
         "\n\n  http://h/a.bin \t\n\n\t https://h/b.bin\n \n",
         {"http://h/a.bin", "https://h/b.bin"}},
        {"the same URL twice stays twice", "http://h/a.bin\nhttp://h/a.bin", {"http://h/a.bin", "http://h/a.bin"}},
        {"a tab inside a line stays", "http://h/a.bin\thttp://h/b.bin", {"http://h/a.bin\thttp://h/b.bin"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UrlLines(c.text), c.lines) << c.what;
    }
}

}  // namespace
}  // namespace dromo
