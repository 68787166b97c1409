#include "base/text/textutil.h"

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

// The lower-case letter of a two-byte code point, or the code point itself.
char32_t LowerOf(char32_t c)
{
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    // Latin Extended-A pairs its letters: capital on the even code point,
    // except in the two runs where it is on the odd one.
    const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        if (c == 0x178) {
            return 0xFF;
        }
        return (c % 2 == 1) == oddCapitals ? c + 1 : c;
    }
    return c;
}

}  // namespace

namespace dromo {

std::string FoldCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(std::tolower(c));
            continue;
        }
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c >= 0xC2 && c <= 0xDF && (next & 0xC0) == 0x80) {
            const char32_t lower = LowerOf((static_cast<char32_t>(c & 0x1F) << 6) | (next & 0x3F));
            out += static_cast<char>(0xC0 | (lower >> 6));
            out += static_cast<char>(0x80 | (lower & 0x3F));
            ++i;
            continue;
        }
        out += static_cast<char>(c);
    }
    return out;
}

bool HoldsControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

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
