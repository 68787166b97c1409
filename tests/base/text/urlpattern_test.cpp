#include "base/text/urlpattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dromo {
namespace {

using Urls = std::vector<std::string>;

TEST(UrlPattern, ExpandsRangesSetsAndTheirProducts)
{
    const struct {
        const char* pattern;
        Urls urls;
    } cases[] = {
        {"http://h/a.zip", {"http://h/a.zip"}},
        {"http://h/img[1-3].jpg", {"http://h/img1.jpg", "http://h/img2.jpg", "http://h/img3.jpg"}},
        {"http://h/img[08-11].jpg",
         {"http://h/img08.jpg", "http://h/img09.jpg", "http://h/img10.jpg", "http://h/img11.jpg"}},
        {"http://h/[001-120:60]", {"http://h/001", "http://h/061"}},
        {"http://h/[98-101]", {"http://h/98", "http://h/99", "http://h/100", "http://h/101"}},
        {"http://h/part[a-c].rar", {"http://h/parta.rar", "http://h/partb.rar", "http://h/partc.rar"}},
        {"http://h/[X-Z:2]", {"http://h/X", "http://h/Z"}},
        {"http://h/[0-100:30]", {"http://h/0", "http://h/30", "http://h/60", "http://h/90"}},
        {"http://h/{a,b,c}.iso", {"http://h/a.iso", "http://h/b.iso", "http://h/c.iso"}},
        {"http://h/f{,.sig}", {"http://h/f", "http://h/f.sig"}},
        {"http://h/{x}", {"http://h/x"}},
        {"http://h/[5-5]", {"http://h/5"}},
        // The last pattern turns fastest.
        {"http://{a,b}.h/[1-2]", {"http://a.h/1", "http://a.h/2", "http://b.h/1", "http://b.h/2"}},
        {"ftp://h/[a-b][1-2]", {"ftp://h/a1", "ftp://h/a2", "ftp://h/b1", "ftp://h/b2"}},
        // Escaped brackets and braces are the characters themselves.
        {"http://h/a\\[1\\].zip", {"http://h/a[1].zip"}},
        {"http://h/\\{x\\}", {"http://h/{x}"}},
        {"http://h/{a\\,b,c}", {"http://h/a,b", "http://h/c"}},
        {"http://h/a\\b", {"http://h/a\\b"}},
        // An IPv6 host's brackets are the host's.
        {"http://[::1]:8080/f.zip", {"http://[::1]:8080/f.zip"}},
        {"http://user:pw@[fe80::1%eth0]/f", {"http://user:pw@[fe80::1%eth0]/f"}},
        {"http://[2001:db8::7]/f[1-2]", {"http://[2001:db8::7]/f1", "http://[2001:db8::7]/f2"}},
        {"https://[::ffff:127.0.0.1]/", {"https://[::ffff:127.0.0.1]/"}},
        {"", {""}},
    };
    for (const auto& c : cases) {
        const UrlExpansion got = ExpandUrlPattern(c.pattern);
        EXPECT_EQ(got.error, "") << c.pattern;
        EXPECT_EQ(got.urls, c.urls) << c.pattern;
    }
}

TEST(UrlPattern, RefusesFaultyPatternsWithTheReason)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://h/[1-3.jpg", "\"[\" at character 10 has no closing \"]\"."},
        {"http://h/{a,b.jpg", "\"{\" at character 10 has no closing \"}\"."},
        {"http://h/a]b", "\"]\" at character 11 closes nothing; write \"\\]\" for the character itself."},
        {"http://h/a}b", "\"}\" at character 11 closes nothing; write \"\\}\" for the character itself."},
        {"http://h/{a,[1-2]}", "Patterns do not nest: \"[\" at character 13 is inside \"{\" at character 10."},
        {"http://h/[1-{2}]", "Patterns do not nest: \"{\" at character 13 is inside \"[\" at character 10."},
        {"http://h/[9-1]", "\"[9-1]\" at character 10 counts backwards; write \"[1-9]\"."},
        {"http://h/[z-a]", "\"[z-a]\" at character 10 counts backwards; write \"[a-z]\"."},
        {"http://h/[1-9:0]", "The step of \"[1-9:0]\" at character 10 must be a whole number of at least 1."},
        {"http://h/[1-9:x]", "The step of \"[1-9:x]\" at character 10 must be a whole number of at least 1."},
        {"http://h/{}", "\"{}\" at character 10 offers nothing to choose from."},
        {"http://h/[1234567890123456789-2]",
         "\"[1234567890123456789-2]\" at character 10 has a number too large to count to."},
    };
    for (const auto& [pattern, error] : cases) {
        const UrlExpansion got = ExpandUrlPattern(pattern);
        EXPECT_EQ(got.error, error) << pattern;
        EXPECT_TRUE(got.urls.empty()) << pattern;
    }
    const char* notRanges[] = {"http://h/[]",   "http://h/[1]",  "http://h/[a-Z]", "http://h/[a-9]", "http://h/[ab-c]",
                               "http://h/[-5]", "http://h/[1-]", "http://h/[::1]", "http://[a:b-c]/"};
    for (const char* pattern : notRanges) {
        const UrlExpansion got = ExpandUrlPattern(pattern);
        EXPECT_NE(got.error.find("is not a range"), std::string::npos) << pattern << ": " << got.error;
        EXPECT_TRUE(got.urls.empty()) << pattern;
    }
}

TEST(UrlPattern, CountsBeforeMakingAndRefusesTooMany)
{
    const struct {
        const char* pattern;
        std::size_t most;
        std::size_t count;  // 0: refused
        const char* error;
    } cases[] = {
        {"http://h/[1-10000]", kMostPatternUrls, 10000, ""},
        {"http://h/[1-10001]", kMostPatternUrls, 0, "The pattern makes 10001 URLs; Dromo adds at most 10000 at once."},
        {"http://h/[1-100][1-100]", kMostPatternUrls, 10000, ""},
        {"http://h/[1-100][0-100]", kMostPatternUrls, 0,
         "The pattern makes 10100 URLs; Dromo adds at most 10000 at once."},
        {"http://h/[1-999999999999999999]", kMostPatternUrls, 0,
         "The pattern makes 999999999999999999 URLs; Dromo adds at most 10000 at once."},
        // Products that overflow 64 bits are still refused, not wrapped.
        {"http://h/[1-999999999999999999][1-999999999999999999][1-999999999999999999]", kMostPatternUrls, 0,
         "The pattern makes more than 10000 URLs; Dromo adds at most 10000 at once."},
        {"http://h/[a-z][a-z][a-z]", kMostPatternUrls, 0,
         "The pattern makes 17576 URLs; Dromo adds at most 10000 at once."},
        {"http://h/{a,b}", 1, 0, "The pattern makes 2 URLs; Dromo adds at most 1 at once."},
        {"http://h/[0-999999999999999999:999999999999999999]", kMostPatternUrls, 2, ""},
    };
    for (const auto& c : cases) {
        const UrlExpansion got = ExpandUrlPattern(c.pattern, c.most);
        EXPECT_EQ(got.urls.size(), c.count) << c.pattern;
        EXPECT_EQ(got.error, c.error) << c.pattern;
    }
}

TEST(UrlPattern, TellsWhetherATextHoldsAPattern)
{
    const std::pair<const char*, bool> cases[] = {
        {"http://h/a.zip", false}, {"http://[::1]:8080/a.zip", false}, {"http://h/a\\[1\\]", false},
        {"http://h/a[1-2]", true}, {"http://h/{a,b}", true},           {"http://h/a[", true},
        {"http://h/a]", true},
    };
    for (const auto& [text, patterned] : cases) {
        EXPECT_EQ(HasUrlPattern(text), patterned) << text;
    }
}

}  // namespace
}  // namespace dromo
