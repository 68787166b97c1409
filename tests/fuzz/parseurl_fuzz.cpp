// A URL as typed, pasted, captured or stored in a list. Whatever the bytes,
// a URL the parser takes is one of the schemes, holds no control character
// (two links a line each are no URL), names a host with no path in it and a
// port that is a real one, and the parts it gives make up the URL again:
// nothing in it is dropped or moved between parts. The same bytes read as
// a drop or a paste of several links give lines without a line break or a
// blank around them, in the text's order.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text/parseurl.h"
#include "base/text/textutil.h"
#include "base/text/urllines.h"
#include "base/values/taskrecord.h"
#include "tests/fuzz/fuzzcheck.h"

namespace dromo::fuzz {
namespace {

std::string_view Scheme(std::int32_t protocol)
{
    switch (protocol) {
    case kProtocolFtp: return "ftp://";
    case kProtocolFtps: return "ftps://";
    case kProtocolHttp: return "http://";
    case kProtocolHttps: return "https://";
    default: return "";
    }
}

std::uint16_t DefaultPort(std::int32_t protocol)
{
    return protocol == kProtocolFtp ? 21 : protocol == kProtocolFtps ? 990 : protocol == kProtocolHttp ? 80 : 443;
}

// The digits of a port as a number; -1 when they are not all digits.
long PortNumber(std::string_view digits)
{
    long value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9' || value > 65535) {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return digits.empty() ? -1 : value;
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

void CheckLines(std::string_view text)
{
    std::size_t at = 0;
    for (const std::string& line : UrlLines(text)) {
        FUZZ_CHECK(!line.empty() && line.find_first_of("\r\n") == std::string::npos && TrimBlanks(line) == line,
                   Shown(text) + " gave the line " + Shown(line));
        const std::size_t found = text.find(line, at);
        FUZZ_CHECK(found != std::string_view::npos, Shown(text) + " gave " + Shown(line) + " out of its order");
        at = found + line.size();
    }
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo;
    using namespace dromo::fuzz;
    const std::string_view url(reinterpret_cast<const char*>(data), size);
    CheckLines(url);
    const auto parsed = ParseUrl(url);
    if (!parsed) {
        return 0;
    }
    FUZZ_CHECK(!HoldsControlCharacter(url), "took " + Shown(url) + ", which holds a control character");
    const auto shown = [&] {
        return Shown(url) + " gave protocol " + std::to_string(parsed->protocol) + " host " + Shown(parsed->host) +
               " port " + std::to_string(parsed->port) + " path " + Shown(parsed->remotePath);
    };
    const std::string_view scheme = Scheme(parsed->protocol);
    FUZZ_CHECK(!scheme.empty() && SameIgnoringCase(url.substr(0, scheme.size()), scheme), shown());
    FUZZ_CHECK(!parsed->host.empty() && parsed->host.find('/') == std::string::npos, shown());
    FUZZ_CHECK(!parsed->remotePath.empty() && parsed->remotePath.front() == '/', shown());
    FUZZ_CHECK(parsed->port != 0, shown());

    // The parts make up the URL again: host, then the port as written (if
    // any), then the path.
    const std::string_view rest = url.substr(scheme.size());
    const std::string& host = parsed->host;
    const std::string& path = parsed->remotePath;
    FUZZ_CHECK(rest.size() >= host.size() + path.size() && rest.substr(0, host.size()) == host &&
                   rest.substr(rest.size() - path.size()) == path,
               shown());
    const std::string_view between = rest.substr(host.size(), rest.size() - host.size() - path.size());
    if (between.empty()) {
        FUZZ_CHECK(parsed->port == DefaultPort(parsed->protocol), shown());
    } else {
        FUZZ_CHECK(between.front() == ':' && PortNumber(between.substr(1)) == parsed->port, shown());
    }
    const std::string withPort = host + ":" + std::to_string(parsed->port) + path;
    // Parsing is stable: the parts written out parse as the same parts.
    const auto again = ParseUrl(std::string(scheme) + withPort);
    FUZZ_CHECK(again && again->protocol == parsed->protocol && again->host == parsed->host &&
                   again->port == parsed->port && again->remotePath == parsed->remotePath,
               shown());
    return 0;
}
