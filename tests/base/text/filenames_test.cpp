#include "base/text/filenames.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string_view>

namespace dromo {
namespace {

TEST(FileNames, FromEverydayUrls)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://h/pub/setup.zip", "setup.zip"},
        {"https://h/download?id=3", "download"},
        {"http://h/photo.jpg?v=2", "photo.jpg"},
        {"http://h/file.iso?token=abc&x=/y", "file.iso"},
        {"http://h/a/b.pdf#page=4", "b.pdf"},
        {"http://h/dl/%C3%9Cbersicht.tar.gz",
         "\xC3\x9C"
         "bersicht.tar.gz"},
        {"http://h/my%20file%20(1).pdf", "my file (1).pdf"},
        {"http://h/caf%E9.txt", "caf\xC3\xA9.txt"},  // not UTF-8: read as Latin-1
        // Shaped like UTF-8 but no characters, so Latin-1 too: an overlong
        // "/", a surrogate, and a code point beyond U+10FFFF.
        {"http://h/a%E0%80%AF.txt", "a\xC3\xA0\xC2\x80\xC2\xAF.txt"},
        {"http://h/a%ED%A0%A0.txt", "a\xC3\xAD\xC2\xA0\xC2\xA0.txt"},
        {"http://h/a%F4%90%A0%A0.txt", "a\xC3\xB4\xC2\x90\xC2\xA0\xC2\xA0.txt"},
        {"http://h/a%2Fb.txt", "a_b.txt"},  // an encoded slash is no folder
        {"http://h/a%2F..%2F..%2Fetc%2Fpasswd", "a_.._.._etc_passwd"},
        {"http://h/x%00y", "x_y"},
        {"http://h/line%0Abreak", "line_break"},
        {"http://h/100%25.txt", "100%.txt"},
        {"http://h/bad%zzescape", "bad%zzescape"},  // not an escape: kept
        {"http://h/.bashrc", "_bashrc"},
        {"http://h/..hidden", "__hidden"},
        {"http://h/%2E%2E", "index.html"},
        {"http://h/..", "index.html"},
        {"http://h/.", "index.html"},
        {"http://h/", "index.html"},
        {"http://h/dir/", "index.html"},
        {"http://h", "index.html"},
        {"http://h?x=/y", "index.html"},
        {"ftp://u:p@h/pub/f.txt", "f.txt"},
        {"/remote/path.bin?x", "path.bin"},  // a task's remote path
        {"setup.zip", "setup.zip"},
        {"http://h/%20%20", "index.html"},
        {"http://h/victim3.bin+++", "victim3.bin++_"},
        {"http://h/victim3.bin%2B%2B%2B", "victim3.bin++_"},
    };
    for (const auto& [url, name] : cases) {
        EXPECT_EQ(FileNameFromUrl(url), name) << url;
    }
}

TEST(FileNames, ServerSuggestionsAreMadeSafe)
{
    const std::pair<const char*, const char*> cases[] = {
        {"report.pdf", "report.pdf"},
        {"../../.bashrc", "___.._.bashrc"},
        {"/etc/x", "_etc_x"},
        {"  spaced  ", "spaced"},
        {"...", "___"},
        {"", ""},
        {"   ", ""},
        {"tab\there", "tab_here"},
        // Never the name of a partial file: one of those is continued.
        {"victim.bin+++", "victim.bin++_"},
        {"victim.bin++++ ", "victim.bin+++_"},
        {"c++", "c++"},
        // Neither an option to a shell command nor a home folder.
        {"-rf", "_rf"},
        {"--help.txt", "_-help.txt"},
        {"~", "_"},
        {"~user.tar", "_user.tar"},
        {"a-b~", "a-b~"},
        // What is shown is what the file is: no direction overrides.
        {"invoice\xE2\x80\xAE"
         "fdp.exe",
         "invoice_fdp.exe"},
        {"a\xE2\x80\x8F"
         "b\xE2\x81\xA6"
         "c\xD8\x9C"
         "d",
         "a_b_c_d"},
        {"\xE2\x80\x94"
         "dash\xE2\x80\x8B",
         "\xE2\x80\x94"
         "dash\xE2\x80\x8B"},
    };
    for (const auto& [given, safe] : cases) {
        EXPECT_EQ(SafeFileName(given), safe) << given;
    }
    // Long names fit a file system with room for "+++" and " (n)", keep
    // their extension and are never cut inside a character.
    const std::string longName = std::string(300, 'a') + ".tar.gz";
    const std::string cut = SafeFileName(longName);
    EXPECT_LE(cut.size(), 240u);
    EXPECT_EQ(cut.substr(cut.size() - 3), ".gz");
    std::string umlauts;
    for (int i = 0; i < 200; ++i) {
        umlauts += "\xC3\xBC";
    }
    const std::string cutUtf8 = SafeFileName(umlauts);
    EXPECT_LE(cutUtf8.size(), 240u);
    EXPECT_EQ(cutUtf8.size() % 2, 0u);
}

// What every name from a URL, a server or a browser must be, whatever
// bytes it came from: a plain file of the folder it is saved to.
::testing::AssertionResult IsSafeName(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || name.front() == '.' || name.front() == '-' ||
        name.front() == '~' || name.find("\xE2\x80\xAE") != std::string_view::npos ||
        name.find('/') != std::string_view::npos || name.find('\0') != std::string_view::npos || name.size() > 240 ||
        (name.size() >= 3 && name.substr(name.size() - 3) == "+++")) {
        return ::testing::AssertionFailure() << "unsafe name \"" << name << "\"";
    }
    return ::testing::AssertionSuccess();
}

TEST(FileNames, LongNamesAreCutWithoutLosingTheirSafety)
{
    // A cut that leaves nothing of the stem must not leave the extension
    // alone as a hidden file.
    const std::string invalid = std::string(300, '\x80') + ".profile";
    EXPECT_TRUE(IsSafeName(SafeFileName(invalid)));
    EXPECT_TRUE(IsSafeName(FileNameFromUrl("http://h/" + std::string(300, '\xC3') + ".profile")));
    EXPECT_TRUE(IsSafeName(SafeFileName(std::string(300, '.') + "x.profile")));
    EXPECT_TRUE(IsSafeName(SafeFileName(std::string(250, 'a') + "+++")));
    EXPECT_TRUE(IsSafeName(SafeFileName(std::string(236, 'a') + "++++.txt")));
}

// Random bytes, weighted towards the characters that matter to a path.
TEST(FileNames, AnyBytesGiveASafeName)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const char kSpecial[] = "./+% \x80\xBF\xC3\xE2\xF0\x00\n\\?#";
    const std::string special(kSpecial, sizeof kSpecial - 1);
    std::uniform_int_distribution<int> length(0, 400);
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> specialByte(0, special.size() - 1);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += pick(random) == 0 ? static_cast<char>(anyByte(random)) : special[specialByte(random)];
        }
        const std::string safe = SafeFileName(text);
        if (text.find_first_not_of(' ') != std::string::npos) {
            ASSERT_TRUE(IsSafeName(safe)) << "from \"" << text << "\"";
        } else {
            ASSERT_EQ(safe, "");
        }
        ASSERT_TRUE(IsSafeName(FileNameFromUrl(text))) << "from \"" << text << "\"";
        ASSERT_TRUE(IsSafeName(FileNameFromUrl("http://h/d/" + text))) << "from \"" << text << "\"";
    }
}

TEST(FileNames, NumberedCopiesAndTheFirstFreeOne)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/dl/a.zip", "/dl/a (2).zip"},     {"/dl/a.tar.gz", "/dl/a (2).tar.gz"},   {"/dl/noext", "/dl/noext (2)"},
        {"/dl/_bashrc", "/dl/_bashrc (2)"}, {"/dl/v1.2/file", "/dl/v1.2/file (2)"}, {"name.txt", "name (2).txt"},
    };
    for (const auto& [path, numbered] : cases) {
        EXPECT_EQ(NumberedPath(path, 2), numbered) << path;
    }
    std::set<std::string> taken{"/dl/a.zip", "/dl/a (1).zip"};
    const auto isTaken = [&taken](const std::string& p) { return taken.count(p) > 0; };
    EXPECT_EQ(FirstFreePath("/dl/b.zip", isTaken), "/dl/b.zip");
    EXPECT_EQ(FirstFreePath("/dl/a.zip", isTaken), "/dl/a (2).zip");
    EXPECT_EQ(FirstFreePath("/dl/a.zip", [](const std::string&) { return true; }), "");
    for (const auto& [path, folder] : {std::pair{"/dl/a.zip", "/dl"}, {"/a.zip", "/"}, {"a.zip", "."}}) {
        EXPECT_EQ(DirectoryOf(path), folder) << path;
    }
}

}  // namespace
}  // namespace dromo
