#include "base/text/requestdetails.h"

#include "base/text/textutil.h"

namespace dromo {

bool FitsInHeader(std::string_view value)
{
    return !HoldsControlCharacter(value);
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
