#include "base/capture/monitors.h"

#include <gtest/gtest.h>

#include "tests/base/fakes/fakeprofile.h"

namespace dromo {
namespace {

test::FakeProfile Switches(int chromium, int firefox, int allFtp, const std::string& types, int start = 0)
{
    test::FakeProfile p;
    p.WriteInt("Settings", "Capture Clicks in IE", chromium);
    p.WriteInt("Settings", "Capture Clicks in NV", firefox);
    p.WriteInt("Settings", "Capture All FTP", allFtp);
    p.WriteString("Settings", "Capture File Types", types);
    p.WriteInt("Settings", "Start with Browser", start);
    p.WriteInt("Settings", "Max Thread Number", 3);  // other values are passed over
    return p;
}

TEST(CaptureSwitches, ReadWithTheClassicRules)
{
    test::FakeProfile p = Switches(1, 0, 0, "exe  zip .iso", 1);
    CaptureSwitches s;
    ASSERT_TRUE(s.Read(p, kClicksInChromium));
    EXPECT_TRUE(s.clicks);
    EXPECT_FALSE(s.allFtp);
    EXPECT_TRUE(s.startWithBrowser);
    EXPECT_EQ(s.fileTypes, (std::vector<std::string>{"exe", "", "zip", ".iso"}));  // two blanks: an empty entry

    // Three of the four values: the read fails and keeps the old switches.
    test::FakeProfile partial;
    partial.WriteInt("Settings", "Capture Clicks in IE", 0);
    partial.WriteInt("Settings", "Capture All FTP", 0);
    partial.WriteString("Settings", "Capture File Types", "iso");
    EXPECT_FALSE(s.Read(partial, kClicksInChromium));
    EXPECT_TRUE(s.clicks);
    EXPECT_EQ(s.fileTypes.size(), 4u);

    test::FakeProfile empty;
    CaptureSwitches none;
    EXPECT_FALSE(none.Read(empty, kClicksInChromium));
    EXPECT_FALSE(none.clicks);
}

TEST(CaptureSwitches, FileTypeTest)
{
    const std::vector<std::string> types{"exe", "zip", ""};
    const std::pair<const char*, bool> cases[] = {
        {"http://h/a.zip", true},
        {"http://h/a.ZIP", false},
        {"http://h/a.zip?x", false},
        {"http://h/a=.zip", false},
        {"http://h/a&b.zip", false},
        {"http://h/a.tar.gz", false},
        {"http://h.example/noext", false},  // the extension is "example/noext"
        {"http://h/a.", true},              // an empty extension matches the empty entry
    };
    for (auto [url, passes] : cases) {
        EXPECT_EQ(PassesFileTypeTest(url, types), passes) << url;
    }
}

TEST(URLMonitor, ClickedLinks)
{
    struct Case {
        int clicks, allFtp;
        const char* types;
        const char* url;
        bool ctrl;
        bool captured;
    };
    const Case cases[] = {
        {.clicks = 1, .allFtp = 0, .types = "exe zip", .url = "http://h/a.zip", .ctrl = false, .captured = true},
        // Ctrl lets the browser have it
        {.clicks = 1, .allFtp = 0, .types = "exe zip", .url = "http://h/a.zip", .ctrl = true, .captured = false},
        // lower-cased before the test
        {.clicks = 1, .allFtp = 0, .types = "exe zip", .url = "HTTP://H/A.ZIP", .ctrl = false, .captured = true},
        // capitals in the list never match
        {.clicks = 1, .allFtp = 0, .types = "EXE ZIP", .url = "http://h/a.zip", .ctrl = false, .captured = false},
        // nor a leading dot
        {.clicks = 1, .allFtp = 0, .types = ".zip", .url = "http://h/a.zip", .ctrl = false, .captured = false},
        // https too, beside the classic two
        {.clicks = 1, .allFtp = 0, .types = "exe zip", .url = "https://h/a.exe", .ctrl = false, .captured = true},
        // other schemes never
        {.clicks = 1, .allFtp = 0, .types = "exe zip", .url = "file:///tmp/a.zip", .ctrl = false, .captured = false},
        {.clicks = 1, .allFtp = 0, .types = "exe zip", .url = "javascript:x.zip", .ctrl = false, .captured = false},
        {.clicks = 1,
         .allFtp = 0,
         .types = "exe zip",
         .url = "http://h/get.zip?id=1",
         .ctrl = false,
         .captured = false},
        {.clicks = 0, .allFtp = 1, .types = "exe zip", .url = "ftp://h/pub/any.bin", .ctrl = false, .captured = true},
        // an FTP folder is no file
        {.clicks = 0, .allFtp = 1, .types = "exe zip", .url = "ftp://h/pub/dir/", .ctrl = false, .captured = false},
        // all FTP, query or not
        {.clicks = 1, .allFtp = 1, .types = "exe zip", .url = "ftp://h/a.zip?x", .ctrl = false, .captured = true},
        {.clicks = 0, .allFtp = 0, .types = "exe zip", .url = "http://h/a.zip", .ctrl = false, .captured = false},
    };
    for (const Case& c : cases) {
        test::FakeProfile p = Switches(c.clicks, 0, c.allFtp, c.types);
        URLMonitor monitor(p);
        EXPECT_EQ(monitor.BeforeNavigate2(c.url, c.ctrl), c.captured) << c.url << " " << c.types;
    }
}

TEST(URLMonitor, DownloadsTheBrowserStarts)
{
    struct Case {
        const char* text;
        bool ctrl;
        std::optional<std::string> captured;
    };
    const Case cases[] = {
        {"Start downloading from site: http://h/A.ZIP", false,
         "http://h/A.ZIP"},  // tested lower-cased, handed as shown
        {"Start downloading from site:   http://h/Setup.exe", false, "http://h/Setup.exe"},
        {"start downloading from site:http://h/a.exe", true, std::nullopt},
        {"Downloading http://h/a.exe", false, std::nullopt},
        {"\xE4\xBB\x8E\xE4\xBB\xA5\xE4\xB8\x8B\xE7\xAB\x99\xE7\x82\xB9\xE5\xBC\x80\xE5\xA7\x8B\xE4\xB8\x8B"
         "\xE8\xBD\xBD: http://h/b.exe",
         false, "http://h/b.exe"},
        {"Start downloading from site: file:///x.exe", false, "file:///x.exe"},  // no prefix test here
    };
    for (const Case& c : cases) {
        test::FakeProfile p = Switches(1, 0, 0, "exe zip");
        URLMonitor monitor(p);
        EXPECT_EQ(monitor.StatusTextChange(c.text, c.ctrl), c.captured) << c.text;
    }
}

TEST(NVMonitor, FirefoxComparesTheUrlUnchanged)
{
    struct Case {
        int clicks, allFtp;
        const char* protocol;
        const char* url;
        bool captured;
    };
    const Case cases[] = {
        {1, 0, "http", "http://h/a.zip", true},
        {1, 0, "http", "http://h/a.ZIP", false},  // not lower-cased, unlike the Chromium side
        {0, 1, "ftp", "ftp://h/a.bin", true},
        {0, 1, "ftp:/", "ftp://h/dir/", false},
        {0, 0, "http", "http://h/a.zip", false},
    };
    for (const Case& c : cases) {
        test::FakeProfile p = Switches(0, c.clicks, c.allFtp, "exe zip");
        NVMonitor monitor(p);
        EXPECT_EQ(monitor.Initialize(c.protocol, c.url), c.captured) << c.url;
    }
    // Each monitor reads its own clicks switch.
    test::FakeProfile chromiumOnly = Switches(1, 0, 0, "zip");
    EXPECT_FALSE(NVMonitor(chromiumOnly).Initialize("http", "http://h/a.zip"));
    EXPECT_TRUE(URLMonitor(chromiumOnly).BeforeNavigate2("http://h/a.zip", false));
}

TEST(URLMonitor, SwitchesAreReadAgainBeforeEachEvent)
{
    test::FakeProfile p = Switches(0, 0, 0, "zip");
    URLMonitor monitor(p);
    EXPECT_FALSE(monitor.BeforeNavigate2("http://h/a.zip", false));
    p.WriteInt("Settings", "Capture Clicks in IE", 1);  // the options page changed it
    EXPECT_TRUE(monitor.BeforeNavigate2("http://h/a.zip", false));
    EXPECT_FALSE(monitor.Switches().startWithBrowser);
}

}  // namespace
}  // namespace dromo
