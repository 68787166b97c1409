#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text/mirrorlist.h"

namespace dromo {

// The most mirrors one response may announce; the rest are left out.
inline constexpr std::size_t kLinkMaxMirrors = 100;

// The links of a response's Link field ("<https://b.example/f.iso>;
// rel=duplicate; pri=2; geo=de, <…>; rel=describedby"): each a target
// between angle brackets and parameters with token or quoted values. A link
// that cannot be read is left out and the reading goes on at the next
// comma; what went before stays. Servers use it to name the other places
// that hold the very same file.
class LinkHeader {
public:
    struct Param {
        std::string name;  // lower case
        std::string value;
    };
    struct Link {
        std::string target;  // as written between the angle brackets
        std::vector<Param> params;
        // The first parameter of that name (lower case); later ones are not
        // the link's; nullptr when there is none.
        const std::string* Find(std::string_view name) const;
    };

    explicit LinkHeader(std::string_view value);
    const std::vector<Link>& Links() const { return m_links; }

    // The links with the relation "duplicate" as mirrors of the file the
    // response at `responseUrl` answers with: pri= gives the priority
    // (1..999999, else none), geo= the country, and "pref" puts the mirror
    // before the others of its priority. Relative targets are resolved
    // against `responseUrl`. Only http, https, ftp and ftps URLs with a host
    // are kept; none on a plain connection when the response came over TLS
    // (the file would lose the protection it was offered with), no repeat,
    // not the response's own URL, and no link about another resource
    // (anchor=). Most wanted first; at most kLinkMaxMirrors.
    std::vector<Mirror> Duplicates(std::string_view responseUrl) const;

    // The absolute URL a reference names when read at `base` (an absolute
    // URL), without its fragment and with its "." and ".." segments
    // resolved; nothing when it names none (a relative reference against a
    // base that is not absolute, a blank or control character).
    static std::optional<std::string> Resolve(std::string_view reference, std::string_view base);

private:
    std::vector<Link> m_links;
};

}  // namespace dromo
