#include "base/text/textutil.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

TEST(UrlWithoutLogin, TakesOutOnlyTheLoginBeforeTheHost)
{
    const struct {
        const char* url;
        const char* shown;
    } cases[] = {
        {"ftp://user:pw@host/f", "ftp://host/f"},
        {"http://user@host:8080/", "http://host:8080/"},
        {"http://u:p@ss@host/x", "http://host/x"},  // the last at-sign before the path ends the login
        {"https://host/a@b", "https://host/a@b"},   // an at-sign in the path is no login
        {"http://host?mail=a@b", "http://host?mail=a@b"},
        {"http://host#a@b", "http://host#a@b"},
        {"user:pw@host/f", "host/f"},  // typed without a scheme
        {"http://host", "http://host"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UrlWithoutLogin(c.url), c.shown) << c.url;
    }
    EXPECT_EQ(WithoutLoginOf("ftp://u:pw@h/f", "Connecting to u:pw@h:21... u:pw@h"), "Connecting to h:21... h");
    EXPECT_EQ(WithoutLoginOf("ftp://h/f", "Connecting to h:21..."), "Connecting to h:21...");
}

TEST(FoldCase, LowersTheLettersOfNamesAndLeavesTheRest)
{
    const struct {
        const char* text;
        const char* folded;
    } cases[] = {
        {"ISO-Image.ZIP", "iso-image.zip"},
        {"CAF\xC3\x89 \xC3\x80 \xC3\x97 \xC3\x9F", "caf\xC3\xA9 \xC3\xA0 \xC3\x97 \xC3\x9F"},  // É À × ß
        {"\xC5\x81\xC3\xB3"
         "d\xC5\xBA \xC4\xB9 \xC5\xB8",
         "\xC5\x82\xC3\xB3"
         "d\xC5\xBA \xC4\xBA \xC3\xBF"},                                             // Łódź Ĺ Ÿ
        {"\xCE\xA3\xCE\x9F\xCE\xA6", "\xCF\x83\xCE\xBF\xCF\x86"},                    // ΣΟΦ
        {"\xD0\x9C\xD0\x98\xD0\xA0 \xD0\x81", "\xD0\xBC\xD0\xB8\xD1\x80 \xD1\x91"},  // МИР Ё
        {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},                    // no case: as it is
        {"bad \xC3 end", "bad \xC3 end"},                                            // a cut sequence stays
        {"%C3%89", "%c3%89"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FoldCase(c.text), c.folded) << c.text;
    }
}

}  // namespace
}  // namespace dromo
