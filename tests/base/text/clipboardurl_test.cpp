#include "base/text/clipboardurl.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

TEST(ClipboardUrl, OnlyOneAcceptedUrlIsTaken)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://example.org/a.zip", "http://example.org/a.zip"},
        {"  HTTPS://example.org:8443/dir/b.iso?x=1\n", "HTTPS://example.org:8443/dir/b.iso?x=1"},
        {"ftp://ftp.example.org/pub/c.tar.gz", "ftp://ftp.example.org/pub/c.tar.gz"},
        {"", ""},
        {"   \n", ""},
        {"file:///etc/passwd", ""},
        {"javascript:alert(1)", ""},
        {"mailto:someone@example.org", ""},
        {"example.org/a.zip", ""},
        {"http://", ""},
        {"http://example.org/a.zip\nhttp://example.org/b.zip", ""},
        {"see http://example.org/a.zip", ""},
        {"http://example.org/a.zip and more words", ""},
    };
    for (const auto& [clipboard, expected] : cases) {
        EXPECT_EQ(UrlFromClipboard(clipboard), expected) << clipboard;
    }
}

}  // namespace
}  // namespace dromo
