#include "base/view/clipboardwatch.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

TEST(ClipboardWatch, OffersOneUrlOfACaptureFileType)
{
    const std::string types = "exe zip ISO";
    const std::pair<const char*, const char*> cases[] = {
        {"http://h/a.zip", "http://h/a.zip"},
        {"  https://h:8443/dir/b.ZIP\n", "https://h:8443/dir/b.ZIP"},
        {"ftp://h/pub/c.iso", "ftp://h/pub/c.iso"},
        {"http://h/get/setup.exe?mirror=2#top", "http://h/get/setup.exe?mirror=2#top"},
        {"http://h/page.html", ""},
        {"http://h/zip", ""},
        {"http://h/a.zip.part", ""},
        {"http://h/", ""},
        {"file:///tmp/a.zip", ""},
        {"see http://h/a.zip", ""},
        {"http://h/a.zip\nhttp://h/b.zip", ""},
        {"", ""},
    };
    for (const auto& [text, offered] : cases) {
        ClipboardWatch watch;
        EXPECT_EQ(watch.Offer(text, types), offered) << text;
    }
}

TEST(ClipboardWatch, NeverOffersTheSameUrlTwiceInARow)
{
    const std::string types = "zip";
    // Each step: what was copied, what is offered.
    const std::pair<const char*, const char*> steps[] = {
        {"http://h/a.zip", "http://h/a.zip"},
        {"http://h/a.zip", ""},
        {" http://h/a.zip\n", ""},
        {"some prose", ""},
        {"http://h/a.zip", ""},
        {"http://h/b.zip", "http://h/b.zip"},
        {"http://h/a.zip", "http://h/a.zip"},
        {"http://h/A.zip", "http://h/A.zip"},
    };
    ClipboardWatch watch;
    int step = 0;
    for (const auto& [text, offered] : steps) {
        EXPECT_EQ(watch.Offer(text, types), offered) << "step " << step++;
    }
}

TEST(ClipboardWatch, ReadsTheTypesAsTheOptionsPageWritesThem)
{
    const std::pair<const char*, bool> cases[] = {
        {"zip", true}, {"  zip  ", true}, {"exe\tzip", true}, {"exe\nzip", true}, {"ZIP", true},
        {"", false},   {"zi", false},     {"zipx", false},    {".zip", false},
    };
    for (const auto& [types, names] : cases) {
        EXPECT_EQ(NamesCaptureFileType("http://h/f.zip", types), names) << types;
    }
}

}  // namespace
}  // namespace dromo
