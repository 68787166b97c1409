#include "base/core/textutil.h"

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

}  // namespace
}  // namespace dromo
