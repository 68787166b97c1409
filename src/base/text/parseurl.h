#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dromo {

struct ParsedUrl {
    std::int32_t protocol = 0;  // kProtocolFtp, kProtocolFtps, kProtocolHttp or kProtocolHttps
    std::string host;           // without the port
    std::string remotePath;     // from the first "/" after the host; begins with "/"
    std::uint16_t port = 0;
};

// The one URL parser of every add path: "ftp://" (port 21), "ftps://" (990),
// "http://" (80) or "https://" (443) in any letter case, a non-empty host, an optional
// ":port", and a path that begins with "/". No control character may stand
// anywhere in it: two links dropped together, a line each, are two URLs,
// not one whose request asks for "/a.bin%0Ahttp://...". Nothing else is
// checked: query strings, spaces and unusual characters pass.
std::optional<ParsedUrl> ParseUrl(std::string_view url);

}  // namespace dromo
