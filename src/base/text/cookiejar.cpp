#include "base/text/cookiejar.h"

#include <algorithm>
#include <array>

namespace dromo {
namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";
// More digits than any time of the next centuries, fewer than overflow.
constexpr std::size_t kMostExpiryDigits = 18;

bool IsControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

std::optional<bool> Flag(std::string_view field)
{
    if (field == "TRUE") {
        return true;
    }
    if (field == "FALSE") {
        return false;
    }
    return std::nullopt;
}

// A host name, an IPv4 address or an IPv6 one in brackets; browsers keep
// international names in their ASCII form.
bool IsDomain(std::string_view domain)
{
    return !domain.empty() && domain.front() != '.' && std::all_of(domain.begin(), domain.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
               c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
    });
}

std::optional<std::int64_t> Expiry(std::string_view field)
{
    if (field.empty() || field.size() > kMostExpiryDigits ||
        !std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t seconds = 0;
    for (const char c : field) {
        seconds = seconds * 10 + (c - '0');
    }
    return seconds;
}

std::string LowerAscii(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

}  // namespace

const char* CookieJarFaultText(CookieJarFault fault)
{
    switch (fault) {
    case CookieJarFault::None: return "";
    case CookieJarFault::TooLong: return "The browser's cookie jar is longer than 65536 bytes.";
    case CookieJarFault::ControlCharacter:
        return "The browser's cookie jar holds a carriage return or another control character.";
    case CookieJarFault::BadLine:
        return "The browser's cookie jar has a line that is no cookie: seven fields separated by tabs are expected.";
    }
    return "";
}

std::optional<Cookie> Cookie::FromLine(std::string_view line)
{
    if (std::any_of(line.begin(), line.end(), [](char c) { return IsControl(c) && c != '\t'; })) {
        return std::nullopt;
    }
    std::array<std::string_view, 7> fields;
    std::size_t count = 0;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        if (count == fields.size()) {
            return std::nullopt;  // an eighth field
        }
        fields[count++] = line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        if (tab == std::string_view::npos) {
            break;
        }
        start = tab + 1;
    }
    if (count != fields.size()) {
        return std::nullopt;
    }
    Cookie cookie;
    std::string_view domain = fields[0];
    if (domain.substr(0, kHttpOnlyPrefix.size()) == kHttpOnlyPrefix) {
        cookie.httpOnly = true;
        domain.remove_prefix(kHttpOnlyPrefix.size());
    }
    const bool dotted = !domain.empty() && domain.front() == '.';
    if (dotted) {
        domain.remove_prefix(1);
    }
    const std::optional<bool> subdomains = Flag(fields[1]);
    const std::optional<bool> secure = Flag(fields[3]);
    const std::optional<std::int64_t> expiry = Expiry(fields[4]);
    const std::string_view name = fields[5];
    const std::string_view value = fields[6];
    // A leading dot with FALSE could be read either way: neither is taken.
    if (!IsDomain(domain) || !subdomains || (dotted && !*subdomains) || fields[2].empty() || fields[2].front() != '/' ||
        !secure || !expiry || name.empty() || name.find_first_of(";=") != name.npos || value.find(';') != value.npos) {
        return std::nullopt;
    }
    cookie.domain = domain;
    cookie.subdomains = *subdomains;
    cookie.path = fields[2];
    cookie.secure = *secure;
    cookie.expiry = *expiry;
    cookie.name = name;
    cookie.value = value;
    return cookie;
}

std::string Cookie::Line() const
{
    return (httpOnly ? std::string(kHttpOnlyPrefix) : std::string()) + (subdomains ? "." : "") + domain + '\t' +
           (subdomains ? "TRUE" : "FALSE") + '\t' + path + '\t' + (secure ? "TRUE" : "FALSE") + '\t' +
           std::to_string(expiry) + '\t' + name + '\t' + value;
}

bool Cookie::SameAs(const Cookie& other) const
{
    return subdomains == other.subdomains && path == other.path && name == other.name &&
           LowerAscii(domain) == LowerAscii(other.domain);
}

bool Cookie::GoesTo(std::string_view host) const
{
    const std::string to = LowerAscii(host);
    const std::string own = LowerAscii(domain);
    return to == own ||
           (subdomains && to.size() > own.size() && to.ends_with(own) && to[to.size() - own.size() - 1] == '.');
}

CookieJarReading CookieJar::Read(std::string_view text)
{
    CookieJarReading reading;
    if (text.size() > kMaxBytes) {
        reading.fault = CookieJarFault::TooLong;
        return reading;
    }
    if (std::any_of(text.begin(), text.end(), [](char c) { return IsControl(c) && c != '\t' && c != '\n'; })) {
        reading.fault = CookieJarFault::ControlCharacter;
        return reading;
    }
    CookieJar jar;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.empty() || (line.front() == '#' && line.substr(0, kHttpOnlyPrefix.size()) != kHttpOnlyPrefix)) {
            continue;
        }
        const std::optional<Cookie> cookie = Cookie::FromLine(line);
        if (!cookie) {
            reading.fault = CookieJarFault::BadLine;
            reading.line = number;
            return reading;
        }
        jar.Put(*cookie);
    }
    reading.jar = std::move(jar);
    return reading;
}

CookieJar CookieJar::FromLines(const std::vector<std::string>& lines)
{
    CookieJar jar;
    for (const std::string& line : lines) {
        if (const std::optional<Cookie> cookie = Cookie::FromLine(line)) {
            jar.Put(*cookie);
        }
    }
    return jar;
}

std::vector<std::string> CookieJar::Lines() const
{
    std::vector<std::string> lines;
    lines.reserve(m_cookies.size());
    for (const Cookie& cookie : m_cookies) {
        lines.push_back(cookie.Line());
    }
    return lines;
}

std::string CookieJar::Text() const
{
    std::string text;
    for (const Cookie& cookie : m_cookies) {
        text += cookie.Line();
        text += '\n';
    }
    return text;
}

void CookieJar::Put(const Cookie& cookie)
{
    const auto same =
        std::find_if(m_cookies.begin(), m_cookies.end(), [&](const Cookie& c) { return c.SameAs(cookie); });
    if (same != m_cookies.end()) {
        *same = cookie;
    } else {
        m_cookies.push_back(cookie);
    }
}

bool CookieJar::Holds(std::string_view name, std::string_view host) const
{
    return std::any_of(m_cookies.begin(), m_cookies.end(),
                       [&](const Cookie& c) { return c.name == name && c.GoesTo(host); });
}

void CookieJar::TakeChanges(const CookieJar& before, const CookieJar& after)
{
    const auto find = [](const std::vector<Cookie>& in, const Cookie& cookie) {
        return std::find_if(in.begin(), in.end(), [&](const Cookie& c) { return c.SameAs(cookie); });
    };
    for (const Cookie& cookie : after.m_cookies) {
        const auto was = find(before.m_cookies, cookie);
        if (was == before.m_cookies.end() || !(*was == cookie)) {
            Put(cookie);
        }
    }
    for (const Cookie& cookie : before.m_cookies) {
        if (find(after.m_cookies, cookie) == after.m_cookies.end()) {
            std::erase_if(m_cookies, [&](const Cookie& c) { return c.SameAs(cookie); });
        }
    }
}

}  // namespace dromo
