#include "base/text/parseurl.h"

#include <cctype>

#include "base/text/textutil.h"
#include "base/values/taskrecord.h"

namespace dromo {
namespace {

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// A port must be a number from 1 to 65535. A classic "atoi, kept in 16 bits"
// would turn "host:99999" into port 34463 and "host:" into port 0, so a
// download would silently go to the wrong server port; such a URL is invalid.
std::optional<std::uint16_t> ParsePort(std::string_view text)
{
    if (text.empty() || text.size() > 5) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (value == 0 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<ParsedUrl> ParseUrl(std::string_view url)
{
    if (HoldsControlCharacter(url)) {
        return std::nullopt;
    }
    ParsedUrl parsed;
    std::string_view rest;
    static constexpr std::int32_t kSchemes[] = {kProtocolFtp, kProtocolFtps, kProtocolHttp, kProtocolHttps};
    for (const std::int32_t protocol : kSchemes) {
        const std::string prefix = std::string(SchemeOf(protocol)) + "://";
        if (StartsWithIgnoreCase(url, prefix)) {
            parsed.protocol = protocol;
            parsed.port = DefaultPortOf(protocol);
            rest = url.substr(prefix.size());
            break;
        }
    }
    if (parsed.protocol == 0) {
        return std::nullopt;
    }

    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos || slash == 0) {
        return std::nullopt;
    }
    std::string_view host = rest.substr(0, slash);
    // An IPv6 literal without its "]" is no host: its colons would be taken
    // for the port's, and the URL would name another host when written out.
    if (host.front() == '[' && host.find(']') == std::string_view::npos) {
        return std::nullopt;
    }
    parsed.remotePath = std::string(rest.substr(slash));

    const std::size_t colon = host.rfind(':');
    // In a bracketed IPv6 literal the colons before "]" are the address's own.
    const std::size_t bracket = host.rfind(']');
    const bool portGiven = colon != std::string_view::npos && colon > 0 &&
                           (host.front() != '[' || (bracket != std::string_view::npos && colon > bracket));
    if (portGiven) {
        const auto port = ParsePort(host.substr(colon + 1));
        if (!port) {
            return std::nullopt;
        }
        parsed.port = *port;
        host = host.substr(0, colon);
    }
    parsed.host = std::string(host);
    return parsed;
}

}  // namespace dromo
