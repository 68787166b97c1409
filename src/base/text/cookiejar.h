#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dromo {

// One cookie as a browser keeps it, written as a line of libcurl's cookie
// file (the Netscape format), seven fields separated by tabs:
//   [#HttpOnly_][.]DOMAIN  TRUE|FALSE  PATH  TRUE|FALSE  EXPIRY  NAME  VALUE
// The second field says whether the cookie goes to the domain's subdomains
// too (a domain cookie, written with a leading dot) or to that host alone;
// the fourth whether it goes over TLS only (Secure); EXPIRY is in seconds
// since 1970, 0 for a cookie of the browser's session.
struct Cookie {
    std::string domain;  // without the leading dot
    bool subdomains = false;
    std::string path = "/";
    bool secure = false;
    bool httpOnly = false;
    std::int64_t expiry = 0;
    std::string name;
    std::string value;

    // The cookie read from one line, or nothing when the line is none.
    static std::optional<Cookie> FromLine(std::string_view line);
    std::string Line() const;
    // Whether the two are one cookie to libcurl (domain, whether it is a
    // domain cookie, path and name): the later replaces the earlier.
    bool SameAs(const Cookie& other) const;
    // Whether the cookie goes to the host by its domain (the host itself,
    // or one of its subdomains for a domain cookie), letter case aside.
    bool GoesTo(std::string_view host) const;
    bool operator==(const Cookie&) const = default;
};

// What can be wrong with the cookie jar a browser hands over.
enum class CookieJarFault {
    None,
    TooLong,           // beyond CookieJar::kMaxBytes
    ControlCharacter,  // a carriage return or another control byte but the tab and the line feed
    BadLine,           // a line that is no cookie
};

// The English sentence a refused jar is answered with.
const char* CookieJarFaultText(CookieJarFault fault);

struct CookieJarReading;

// The cookies of one task, in memory only: what the browser would have
// sent to the file's site and its redirects, and what the servers set
// while the task runs. libcurl picks from them for each request.
class CookieJar {
public:
    // A jar from outside holds at most this many bytes: browsers keep some
    // 180 cookies of a site, seldom more than a few kilobytes in all.
    static constexpr std::size_t kMaxBytes = 64 * 1024;

    // A jar as a browser hands it over: one cookie a line, lines ended by a
    // line feed (the last may be left open); empty lines and comments
    // ("#" but not "#HttpOnly_") are passed over. One bad line refuses it
    // all: a jar cut short could send a session without its companions.
    static CookieJarReading Read(std::string_view text);
    // The cookies of lines as libcurl lists them; a line that is no cookie
    // is left out.
    static CookieJar FromLines(const std::vector<std::string>& lines);

    const std::vector<Cookie>& Cookies() const { return m_cookies; }
    bool Empty() const { return m_cookies.empty(); }
    std::vector<std::string> Lines() const;
    // Every line ended by a line feed.
    std::string Text() const;

    // Puts a cookie in, in place of the one it is the same as.
    void Put(const Cookie& cookie);
    // Whether the jar holds a cookie of that name that goes to the host.
    bool Holds(std::string_view name, std::string_view host) const;
    // What one of the task's handles, loaded with `before`, came to hold
    // (`after`): the cookies its servers set or changed are put in, those
    // they removed are taken out, and the rest stays as the task's other
    // handles left it.
    void TakeChanges(const CookieJar& before, const CookieJar& after);

private:
    std::vector<Cookie> m_cookies;
};

// A jar from outside as CookieJar::Read found it.
struct CookieJarReading {
    std::optional<CookieJar> jar;  // nothing when refused
    CookieJarFault fault = CookieJarFault::None;
    std::size_t line = 0;  // the first bad line, counted from 1
};

}  // namespace dromo
