#include "base/text/requestdetails.h"

#include <gtest/gtest.h>

#include <string>

namespace dromo {
namespace {

// What a browser hands over with a URL goes into the request's head: any
// control character there (a tab too, which no browser sends in these)
// refuses the details, whichever of the three holds it.
TEST(RequestDetails, AControlCharacterInAnyOfThemRefusesThem)
{
    using namespace std::string_literals;
    const std::string cookie = "theme=dark; id=7";
    const std::string referrer = "https://h/page.html";
    const std::string agent = "Mozilla/5.0 (X11; Linux x86_64)";
    const struct {
        const char* what;
        std::string bad;
    } faults[] = {
        {"a line feed", "a\nX-Injected: 1"},
        {"a carriage return", "a\rX-Injected: 1"},
        {"a tab", "a\tb"},
        {"a NUL", "a\0b"s},
        {"another C0 byte", "a\x1b[0m"},
        {"DEL", "a\x7f"},
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.what);
        EXPECT_FALSE(FitsInHeader(f.bad));
        EXPECT_EQ(CheckRequestDetails(f.bad, referrer, agent), RequestDetailsFault::ControlCharacter);
        EXPECT_EQ(CheckRequestDetails(cookie, f.bad, agent), RequestDetailsFault::ControlCharacter);
        EXPECT_EQ(CheckRequestDetails(cookie, referrer, f.bad), RequestDetailsFault::ControlCharacter);
    }
    EXPECT_EQ(CheckRequestDetails(cookie, referrer, agent), RequestDetailsFault::None);
    EXPECT_EQ(CheckRequestDetails("", "", ""), RequestDetailsFault::None);
    EXPECT_TRUE(FitsInHeader("gr\xC3\xBC\xC3\x9F, ~ and spaces"));
    EXPECT_EQ(CheckRequestDetails(std::string(kMaxCookieBytes + 1, 'c'), referrer, agent),
              RequestDetailsFault::CookieTooLong);
    EXPECT_EQ(CheckRequestDetails(std::string(kMaxCookieBytes, 'c'), referrer, agent), RequestDetailsFault::None);
}

}  // namespace
}  // namespace dromo
