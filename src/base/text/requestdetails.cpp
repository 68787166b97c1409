#include "base/text/requestdetails.h"

#include <algorithm>

namespace dromo {

bool FitsInHeader(std::string_view value)
{
    return std::none_of(value.begin(), value.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7F;
    });
}

RequestDetailsFault CheckRequestDetails(std::string_view cookie, std::string_view referrer, std::string_view userAgent)
{
    if (!FitsInHeader(cookie) || !FitsInHeader(referrer) || !FitsInHeader(userAgent)) {
        return RequestDetailsFault::ControlCharacter;
    }
    if (cookie.size() > kMaxCookieBytes) {
        return RequestDetailsFault::CookieTooLong;
    }
    return RequestDetailsFault::None;
}

}  // namespace dromo
