#include "base/text/linkheader.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "base/text/parseurl.h"
#include "base/text/textutil.h"
#include "base/values/taskrecord.h"

namespace dromo {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsTokenChar(char c)
{
    return IsLetter(c) || (c >= '0' && c <= '9') || (c != '\0' && std::strchr("!#$%&'*+-.^_`|~", c) != nullptr);
}

void SkipBlanks(std::string_view text, std::size_t& at)
{
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
}

// A quoted string from its opening quote at `at`, unescaped into `out`;
// false when it never closes (then everything after it is inside it).
bool ReadQuoted(std::string_view text, std::size_t& at, std::string& out)
{
    for (++at; at < text.size(); ++at) {
        if (text[at] == '"') {
            ++at;
            return true;
        }
        if (text[at] == '\\' && at + 1 < text.size()) {
            ++at;
        }
        out += text[at];
    }
    return false;
}

// Moves `at` to the comma that ends the element it is in, stepping over
// quoted strings, whose commas are not separators.
void SkipElement(std::string_view text, std::size_t& at)
{
    while (at < text.size() && text[at] != ',') {
        if (text[at] == '"') {
            std::string ignored;
            if (!ReadQuoted(text, at, ignored)) {
                at = text.size();
            }
            continue;
        }
        ++at;
    }
}

// One parameter after its ";": false when it cannot be read.
bool ReadParam(std::string_view text, std::size_t& at, LinkHeader::Link& link)
{
    std::string name;
    while (at < text.size() && IsTokenChar(text[at])) {
        name += text[at++];
    }
    if (name.empty()) {
        return false;
    }
    SkipBlanks(text, at);
    std::string value;
    if (at < text.size() && text[at] == '=') {
        ++at;
        SkipBlanks(text, at);
        if (at < text.size() && text[at] == '"') {
            if (!ReadQuoted(text, at, value)) {
                return false;
            }
        } else {
            // Tokens, read leniently: servers write "type=application/x" too.
            const std::size_t end = std::min(text.find_first_of(";,", at), text.size());
            value = std::string(TrimBlanks(text.substr(at, end - at)));
            at = end;
        }
    }
    link.params.push_back({FoldCase(name), std::move(value)});
    return true;
}

// The link whose "<" is at `at`; nothing when it cannot be read. Either
// way `at` ends at the comma after it or at the end.
std::optional<LinkHeader::Link> ReadLink(std::string_view text, std::size_t& at)
{
    const std::size_t close = text.find('>', at + 1);
    if (close == std::string_view::npos) {
        at = text.size();
        return std::nullopt;
    }
    LinkHeader::Link link;
    link.target = std::string(text.substr(at + 1, close - at - 1));
    at = close + 1;
    for (;;) {
        SkipBlanks(text, at);
        if (at >= text.size() || text[at] == ',') {
            return link;
        }
        if (text[at] != ';') {
            SkipElement(text, at);
            return std::nullopt;
        }
        ++at;
        SkipBlanks(text, at);
        if (at < text.size() && (text[at] == ';' || text[at] == ',')) {
            continue;  // an empty parameter says nothing
        }
        if (at < text.size() && !ReadParam(text, at, link)) {
            SkipElement(text, at);
            return std::nullopt;
        }
    }
}

// A URI reference cut into the parts that resolving it needs; the fragment
// is dropped, as no request carries it.
struct UriParts {
    std::string scheme;  // lower case; "" for a relative reference
    bool hasAuthority = false;
    std::string authority;
    std::string path;
    bool hasQuery = false;
    std::string query;

    std::string Joined() const
    {
        return (scheme.empty() ? "" : scheme + ":") + (hasAuthority ? "//" + authority : "") + path +
               (hasQuery ? "?" + query : "");
    }
};

std::optional<UriParts> Split(std::string_view uri)
{
    for (char c : uri) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == '\x7F') {
            return std::nullopt;
        }
    }
    uri = uri.substr(0, uri.find('#'));
    UriParts parts;
    const std::size_t colon = uri.find(':');
    if (colon != std::string_view::npos && colon > 0 && colon < uri.find_first_of("/?") && IsLetter(uri[0]) &&
        std::all_of(uri.begin(), uri.begin() + static_cast<std::ptrdiff_t>(colon),
                    [](char c) { return IsLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; })) {
        parts.scheme = FoldCase(uri.substr(0, colon));
        uri.remove_prefix(colon + 1);
    }
    if (uri.substr(0, 2) == "//") {
        uri.remove_prefix(2);
        const std::size_t end = std::min(uri.find_first_of("/?"), uri.size());
        parts.hasAuthority = true;
        parts.authority = std::string(uri.substr(0, end));
        uri.remove_prefix(end);
    }
    const std::size_t query = uri.find('?');
    parts.path = std::string(uri.substr(0, query));
    if (query != std::string_view::npos) {
        parts.hasQuery = true;
        parts.query = std::string(uri.substr(query + 1));
    }
    return parts;
}

void DropLastSegment(std::string& out)
{
    const std::size_t slash = out.rfind('/');
    out.erase(slash == std::string::npos ? 0 : slash);
}

std::string RemoveDotSegments(std::string_view in)
{
    std::string out;
    while (!in.empty()) {
        if (in.substr(0, 3) == "../") {
            in.remove_prefix(3);
        } else if (in.substr(0, 2) == "./" || in.substr(0, 3) == "/./") {
            in.remove_prefix(2);
        } else if (in == "/.") {
            in = "/";
        } else if (in.substr(0, 4) == "/../") {
            in.remove_prefix(3);
            DropLastSegment(out);
        } else if (in == "/..") {
            in = "/";
            DropLastSegment(out);
        } else if (in == "." || in == "..") {
            in = {};
        } else {
            const std::size_t next = std::min(in.find('/', 1), in.size());
            out += in.substr(0, next);
            in.remove_prefix(next);
        }
    }
    return out;
}

std::string Merge(const UriParts& base, const std::string& path)
{
    if (base.hasAuthority && base.path.empty()) {
        return "/" + path;
    }
    const std::size_t slash = base.path.rfind('/');
    return slash == std::string::npos ? path : base.path.substr(0, slash + 1) + path;
}

// pri= as a priority: a whole number from 1 to 999999, else none.
std::int32_t PriorityOf(const std::string* text)
{
    std::int32_t value = 0;
    if (text == nullptr || text->empty()) {
        return kMirrorPriorityNone;
    }
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || value < kMirrorPriorityBest ||
        value > kMirrorPriorityNone) {
        return kMirrorPriorityNone;
    }
    return value;
}

bool IsDuplicate(const LinkHeader::Link& link)
{
    const std::string* rel = link.Find("rel");
    if (rel == nullptr) {
        return false;
    }
    std::size_t at = 0;
    while (at < rel->size()) {
        SkipBlanks(*rel, at);
        std::size_t end = at;
        while (end < rel->size() && !IsBlank((*rel)[end])) {
            ++end;
        }
        if (FoldCase(std::string_view(*rel).substr(at, end - at)) == "duplicate") {
            return true;
        }
        at = end;
    }
    return false;
}

}  // namespace

const std::string* LinkHeader::Link::Find(std::string_view name) const
{
    for (const Param& p : params) {
        if (p.name == name) {
            return &p.value;
        }
    }
    return nullptr;
}

LinkHeader::LinkHeader(std::string_view value)
{
    std::size_t at = 0;
    while (at < value.size()) {
        if (IsBlank(value[at]) || value[at] == ',') {
            ++at;
        } else if (value[at] != '<') {
            SkipElement(value, at);
        } else if (std::optional<Link> link = ReadLink(value, at)) {
            m_links.push_back(std::move(*link));
        }
    }
}

std::optional<std::string> LinkHeader::Resolve(std::string_view reference, std::string_view base)
{
    std::optional<UriParts> r = Split(reference);
    if (!r) {
        return std::nullopt;
    }
    if (!r->scheme.empty()) {
        r->path = RemoveDotSegments(r->path);
        return r->Joined();
    }
    const std::optional<UriParts> b = Split(base);
    if (!b || b->scheme.empty()) {
        return std::nullopt;
    }
    UriParts t = *r;
    t.scheme = b->scheme;
    if (!r->hasAuthority) {
        t.hasAuthority = b->hasAuthority;
        t.authority = b->authority;
        if (r->path.empty()) {
            t.path = RemoveDotSegments(b->path);  // as the request will ask for it
            if (!r->hasQuery) {
                t.hasQuery = b->hasQuery;
                t.query = b->query;
            }
        } else {
            t.path = RemoveDotSegments(r->path.front() == '/' ? r->path : Merge(*b, r->path));
        }
    } else {
        t.path = RemoveDotSegments(r->path);
    }
    return t.Joined();
}

std::vector<Mirror> LinkHeader::Duplicates(std::string_view responseUrl) const
{
    const std::optional<std::string> self = Resolve("", responseUrl);
    const std::optional<UriParts> base = Split(responseUrl);
    // A response URL that cannot be read may have come over TLS: only
    // mirrors over TLS then, never a plain one by default.
    const std::string scheme = base ? base->scheme : std::string();
    const bool secure = scheme != "http" && scheme != "ftp";
    struct Found {
        Mirror mirror;
        bool preferred;
    };
    std::vector<Found> found;
    for (const Link& link : m_links) {
        if (found.size() == kLinkMaxMirrors) {
            break;
        }
        const std::string* anchor = link.Find("anchor");
        if (!IsDuplicate(link) || (anchor != nullptr && (!self || Resolve(*anchor, responseUrl) != self))) {
            continue;
        }
        std::optional<std::string> url = Resolve(link.target, responseUrl);
        const std::optional<UriParts> parts = url ? Split(*url) : std::nullopt;
        if (parts && parts->hasAuthority && parts->path.empty()) {
            url = *url + "/";  // an empty path asks for "/"
        }
        const std::optional<ParsedUrl> parsed = url ? ParseUrl(*url) : std::nullopt;
        if (!parsed || (secure && !IsSecureProtocol(parsed->protocol)) || url == self ||
            std::any_of(found.begin(), found.end(), [&url](const Found& f) { return f.mirror.url == *url; })) {
            continue;
        }
        const std::string* geo = link.Find("geo");
        const bool country = geo != nullptr && geo->size() == 2 && IsLetter((*geo)[0]) && IsLetter((*geo)[1]);
        found.push_back({Mirror{*url, PriorityOf(link.Find("pri")), country ? FoldCase(*geo) : std::string()},
                         link.Find("pref") != nullptr});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.mirror.priority != b.mirror.priority ? a.mirror.priority < b.mirror.priority
                                                      : a.preferred && !b.preferred;
    });
    std::vector<Mirror> mirrors;
    mirrors.reserve(found.size());
    for (Found& f : found) {
        mirrors.push_back(std::move(f.mirror));
    }
    return mirrors;
}

}  // namespace dromo
