#include "base/core/textutil.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

// Where the login of a URL is: from after "//" (or the start, for a URL
// typed without its scheme) to its last "@" before the path; empty when the
// URL has none.
std::pair<std::size_t, std::size_t> LoginSpan(std::string_view url)
{
    const std::size_t scheme = url.find("://");
    const std::size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
    const std::size_t end = std::min(url.find_first_of("/?#", start), url.size());
    const std::size_t at = url.substr(start, end - start).rfind('@');
    if (at == std::string_view::npos) {
        return {start, start};
    }
    return {start, start + at + 1};
}

}  // namespace

namespace dromo {

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) {
        s.remove_prefix(1);
    }
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) {
        s.remove_suffix(1);
    }
    return s;
}

std::string UrlWithoutLogin(std::string_view url)
{
    const auto [from, to] = LoginSpan(url);
    std::string out(url.substr(0, from));
    out += url.substr(to);
    return out;
}

std::string WithoutLoginOf(std::string_view url, std::string_view text)
{
    const auto [from, to] = LoginSpan(url);
    const std::string_view login = url.substr(from, to - from);
    std::string out(text);
    if (login.empty()) {
        return out;
    }
    for (std::size_t at = out.find(login); at != std::string::npos; at = out.find(login, at)) {
        out.erase(at, login.size());
    }
    return out;
}

}  // namespace dromo
