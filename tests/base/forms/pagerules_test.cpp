// The small rules the sheets' pages follow: number and length checks, what a
// page selects for a stored text and what it stores back.

#include <gtest/gtest.h>

#include "base/forms/fieldcheck.h"
#include "base/forms/pagechoices.h"

namespace dromo {
namespace {

TEST(FieldCheck, NumbersAndTheirRanges)
{
    const char* kNotInteger = "Please enter an integer.";
    const std::string kRefresh = "Please enter an integer between 1 and 50.";
    struct Case {
        const char* text;
        const char* message;  // nullptr: accepted
        int value;
    } cases[] = {
        {"", kNotInteger, 0},        {"abc", kNotInteger, 0},     {"12a", kNotInteger, 0},
        {"+", kNotInteger, 0},       {"1.5", kNotInteger, 0},     {"0", kRefresh.c_str(), 0},
        {"51", kRefresh.c_str(), 0}, {"-3", kRefresh.c_str(), 0}, {"99999999999999999999", kRefresh.c_str(), 0},
        {"1", nullptr, 1},           {"50", nullptr, 50},         {" 7 ", nullptr, 7},
        {"007", nullptr, 7},
    };
    for (const Case& c : cases) {
        int value = -100;
        const auto message = CheckInteger(c.text, 1, 50, value);
        if (c.message == nullptr) {
            EXPECT_FALSE(message) << c.text;
            EXPECT_EQ(value, c.value) << c.text;
        } else {
            ASSERT_TRUE(message) << c.text;
            EXPECT_EQ(*message, c.message) << c.text;
            EXPECT_EQ(value, -100) << "a refused value is not taken: " << c.text;
        }
    }
    int items = 0;
    EXPECT_EQ(CheckInteger("4", 5, 20, items), "Please enter an integer between 5 and 20.");
}

TEST(FieldCheck, LengthCountsCharactersNotBytes)
{
    EXPECT_FALSE(CheckLength(std::string(32, 'a'), 32));
    EXPECT_EQ(CheckLength(std::string(33, 'a'), 32), "Please enter no more than 32 characters.");
    std::string umlauts;
    for (int i = 0; i < 32; ++i) {
        umlauts += "\xC3\xBC";  // 64 bytes, 32 characters
    }
    EXPECT_FALSE(CheckLength(umlauts, 32));
}

TEST(PageChoices, StartTimeShownAndStored)
{
    struct Case {
        const char* stored;
        bool shown;
        int hour, minute;
    } cases[] = {
        {"7:5", true, 7, 5},     {"20:00", true, 20, 0},         {"", true, 20, 0},
        {"noon", true, 20, 0},   {"9:5x", true, 9, 5},           {":", true, 0, 0},
        {"x:30", true, 0, 30},   {"24:00", false, 0, 0},         {"12:60", false, 0, 0},
        {"23:59", true, 23, 59}, {"99999999999:1", false, 0, 0},
    };
    for (const Case& c : cases) {
        const auto time = StartTimeOnShow(c.stored);
        ASSERT_EQ(time.has_value(), c.shown) << c.stored;
        if (time) {
            EXPECT_EQ(time->hour, c.hour) << c.stored;
            EXPECT_EQ(time->minute, c.minute) << c.stored;
        }
    }
    EXPECT_EQ(StartTimeText({7, 5}), "7:5");
    EXPECT_EQ(StartTimeText({20, 0}), "20:0");
    EXPECT_EQ(StartTimeText({0, 0}), "0:0");
}

TEST(PageChoices, SelectionsOnShowing)
{
    // Each classic value and "2" shows its own button; any other text shows
    // HTTP/1.1, what the engine speaks for it.
    const struct {
        const char* stored;
        const char* shown;
    } versions[] = {{"2", "2"},          {"1.1", "1.1"}, {"1.0", "1.0"}, {"0.9", "0.9"}, {"1.0 ", "1.1"},
                    {"HTTP/1.0", "1.1"}, {"2.0", "1.1"}, {"", "1.1"},    {"h2", "1.1"}};
    for (const auto& v : versions) {
        EXPECT_STREQ(kHttpVersions.at(static_cast<std::size_t>(HttpVersionChoice(v.stored))), v.shown) << v.stored;
    }

    EXPECT_EQ(UserAgentChoice("Mozilla/4.6 [en] (Win98; I)"), 2);
    EXPECT_EQ(UserAgentChoice("Mozilla/5.0 (compatible; MSIE 5.0; Windows 98)"), 1);
    EXPECT_EQ(UserAgentChoice("mozilla/4.6 [en] (win98; i)"), 0);
    EXPECT_EQ(UserAgentChoice("curl/8"), 0);

    struct Step {
        const char* stored;
        int index;
    } steps[] = {{"64", 2}, {"1", 0}, {"128", 3}, {"2", 4}, {"1024", 6}, {"", 0}, {"64KB", -1}, {"48", -1}};
    for (const Step& s : steps) {
        EXPECT_EQ(AutoSaveChoice(s.stored), s.index) << s.stored;
    }

    struct Proxy {
        int choice, count, shown;
    } proxies[] = {{3, 2, 0}, {1, 2, 1}, {0, 2, 0}, {-1, 2, 0}, {2, 2, 0}, {1, 0, -1}};
    for (const Proxy& p : proxies) {
        EXPECT_EQ(ProxyChoiceOnShow(p.choice, p.count), p.shown) << p.choice << " of " << p.count;
    }
}

TEST(PageChoices, ScannerSoundAndFolderTexts)
{
    EXPECT_TRUE(IsAutoScanProgram("/opt/av/SCAN32.EXE"));
    EXPECT_TRUE(IsAutoScanProgram("scan32.exe"));
    EXPECT_TRUE(IsAutoScanProgram("/opt/myscan32.exe"));
    EXPECT_FALSE(IsAutoScanProgram("/usr/bin/clamscan"));
    EXPECT_FALSE(IsAutoScanProgram("scan32.ex"));

    EXPECT_EQ(SoundColumnText("/usr/share/sounds/done.wav"), "done.wav");
    EXPECT_EQ(SoundColumnText("done.wav"), "done.wav");
    EXPECT_EQ(SoundColumnText(""), "");

    EXPECT_EQ(WithTrailingSlash("/srv/zip"), "/srv/zip/");
    EXPECT_EQ(WithTrailingSlash("/srv/zip/"), "/srv/zip/");
}

}  // namespace
}  // namespace dromo
