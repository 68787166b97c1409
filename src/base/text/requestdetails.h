#pragma once

#include <cstddef>
#include <string_view>

namespace dromo {

// The longest Cookie a task may send. libcurl sends at most 8190 bytes of
// cookies and breaks its request head on a longer set (a "Cookie:" line
// with nothing after it), and servers refuse longer header lines anyway
// (nginx 8 KiB, Apache 8190 bytes).
inline constexpr std::size_t kMaxCookieBytes = 8000;

// What can be wrong with details that go into a request's head.
enum class RequestDetailsFault {
    None,
    ControlCharacter,  // a line break would start a header of the sender's choosing
    CookieTooLong,
};

// Whether the value can stand in a header line as it is: no control
// character (HoldsControlCharacter), the tab included, which no browser
// puts in these.
bool FitsInHeader(std::string_view value);

// The first fault of a task's cookie, referrer and user agent.
RequestDetailsFault CheckRequestDetails(std::string_view cookie, std::string_view referrer, std::string_view userAgent);

}  // namespace dromo
