#pragma once

#include <optional>
#include <string>

namespace dromo {

// Where a URL's requests go: its scheme, host and port (the scheme's own
// when the URL names none), as libcurl reads the URL. Two URLs of one
// origin are the same server to the engine: it counts their connections
// together, and a login given for one is sent to the other.
struct UrlOrigin {
    std::string scheme;  // lower case
    std::string host;    // lower case, an IPv6 address in brackets, no login
    std::string port;

    // "host:port", as the table of connections per host counts them.
    std::string HostPort() const { return host + ":" + port; }
    bool operator==(const UrlOrigin&) const = default;

    // Nothing when libcurl cannot read the URL.
    static std::optional<UrlOrigin> Of(const std::string& url);
};

}  // namespace dromo
