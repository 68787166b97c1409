#include "engine/httpresponse.h"

#include <cctype>
#include <charconv>
#include <ctime>
#include <vector>

#include "base/text/filenames.h"
#include "base/text/textutil.h"

namespace dromo {
namespace {

bool NameIs(std::string_view name, std::string_view expected)
{
    if (name.size() != expected.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != expected[i]) {
            return false;
        }
    }
    return true;
}

// Repeated field lines of a list-valued header make one value.
void AppendListValue(std::string& field, std::string_view value)
{
    field += (field.empty() ? "" : ", ") + std::string(value);
}

}  // namespace

std::int64_t ParseSize(std::string_view text)
{
    text = TrimBlanks(text);
    std::int64_t value = -1;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value < 0 || text.empty()) {
        return -1;
    }
    return value;
}

void HttpResponse::AddLine(std::string_view line)
{
    const std::size_t seen = headBytes + line.size();
    line = TrimBlanks(line);
    if (line.size() >= 5 && line.substr(0, 5) == "HTTP/") {
        *this = HttpResponse{};
        statusLine = std::string(line);
        const std::size_t space = line.find(' ');
        if (space != std::string_view::npos) {
            std::string_view rest = line.substr(space + 1);
            const std::size_t codeEnd = rest.find(' ');
            const std::string_view codeText = rest.substr(0, codeEnd);
            int parsed = 0;
            const auto [ptr, ec] = std::from_chars(codeText.data(), codeText.data() + codeText.size(), parsed);
            if (ec == std::errc() && ptr == codeText.data() + codeText.size()) {
                code = parsed;
            }
            if (codeEnd != std::string_view::npos) {
                reason = std::string(TrimBlanks(rest.substr(codeEnd + 1)));
            }
        }
        headBytes = line.size();
        return;
    }
    headBytes = seen;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return;
    }
    const std::string_view name = TrimBlanks(line.substr(0, colon));
    const std::string_view value = TrimBlanks(line.substr(colon + 1));
    if (NameIs(name, "content-length")) {
        contentLength = ParseSize(value);
    } else if (NameIs(name, "content-range")) {
        rangeFirst = rangeLast = rangeTotal = -1;
        if (value.size() < 6 || !NameIs(value.substr(0, 6), "bytes ")) {
            return;
        }
        const std::string_view ranges = TrimBlanks(value.substr(6));
        const std::size_t slash = ranges.find('/');
        if (slash == std::string_view::npos) {
            return;
        }
        rangeTotal = ParseSize(ranges.substr(slash + 1));
        const std::string_view range = ranges.substr(0, slash);
        const std::size_t dash = range.find('-');
        if (dash != std::string_view::npos) {
            rangeFirst = ParseSize(range.substr(0, dash));
            rangeLast = ParseSize(range.substr(dash + 1));
        }
    } else if (NameIs(name, "etag")) {
        etag = std::string(value);
    } else if (NameIs(name, "last-modified")) {
        lastModified = std::string(value);
    } else if (NameIs(name, "accept-ranges")) {
        acceptRanges = NameIs(value, "bytes");
    } else if (NameIs(name, "location")) {
        hasLocation = true;
    } else if (NameIs(name, "retry-after")) {
        retryAfter = RetryAfterSeconds(value, static_cast<std::int64_t>(std::time(nullptr)));
    } else if (NameIs(name, "content-disposition")) {
        fileName = ContentDispositionFileName(value);
    } else if (NameIs(name, "content-encoding")) {
        contentEncoding = NameIs(value, "identity") ? std::string() : std::string(value);
    } else if (NameIs(name, "repr-digest")) {
        AppendListValue(reprDigest, value);
    } else if (NameIs(name, "content-digest")) {
        AppendListValue(contentDigest, value);
    } else if (NameIs(name, "digest")) {
        AppendListValue(instanceDigest, value);
    } else if (NameIs(name, "link")) {
        AppendListValue(link, value);
    } else if (NameIs(name, "content-type")) {
        contentType = std::string(value);
    }
}

namespace {

// One "name=value" parameter of a header value; the value unquoted.
struct Parameter {
    std::string name;
    std::string value;
};

std::vector<Parameter> Parameters(std::string_view value)
{
    std::vector<Parameter> out;
    std::size_t i = value.find(';');  // the disposition type comes first
    while (i != std::string_view::npos && i < value.size()) {
        ++i;
        while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) {
            ++i;
        }
        const std::size_t equals = value.find('=', i);
        if (equals == std::string_view::npos) {
            break;
        }
        Parameter p;
        for (char c : TrimBlanks(value.substr(i, equals - i))) {
            p.name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        i = equals + 1;
        while (i < value.size() && value[i] == ' ') {
            ++i;
        }
        if (i < value.size() && value[i] == '"') {
            for (++i; i < value.size() && value[i] != '"'; ++i) {
                if (value[i] == '\\' && i + 1 < value.size()) {
                    ++i;
                }
                p.value += value[i];
            }
            i = value.find(';', i);
        } else {
            const std::size_t end = value.find(';', i);
            p.value = std::string(TrimBlanks(value.substr(i, end - i)));
            i = end;
        }
        out.push_back(std::move(p));
    }
    return out;
}

// An extended value "charset'language'pct-encoded" as UTF-8; "" when its
// charset is neither UTF-8 nor ISO-8859-1.
std::string ExtendedValue(std::string_view text)
{
    const std::size_t first = text.find('\'');
    const std::size_t second = first == std::string_view::npos ? first : text.find('\'', first + 1);
    if (second == std::string_view::npos) {
        return {};
    }
    std::string charset;
    for (char c : text.substr(0, first)) {
        charset += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const bool latin1 = charset == "iso-8859-1";
    if (charset != "utf-8" && !latin1) {
        return {};
    }
    const std::string decoded = PercentDecode(text.substr(second + 1));
    return latin1 ? Latin1ToUtf8(decoded) : decoded;
}

}  // namespace

std::string ContentDispositionFileName(std::string_view value)
{
    std::string plain;
    for (const Parameter& p : Parameters(value)) {
        if (p.name == "filename*") {
            std::string extended = ExtendedValue(p.value);
            if (!extended.empty()) {
                return extended;
            }
        } else if (p.name == "filename" && plain.empty()) {
            plain = p.value;
        }
    }
    return plain;
}

std::int64_t RetryAfterSeconds(std::string_view value, std::int64_t now)
{
    value = TrimBlanks(value);
    const std::int64_t seconds = ParseSize(value);
    if (seconds >= 0) {
        return seconds;
    }
    std::tm date{};
    const std::string text(value);
    const char* end = strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &date);
    if (end == nullptr || *end != '\0') {
        return -1;
    }
    const std::int64_t at = static_cast<std::int64_t>(timegm(&date));
    return at > now ? at - now : 0;
}

std::string HttpResponse::StrongEtag() const
{
    if (etag.size() < 2 || etag.front() != '"' || etag.back() != '"') {
        return {};
    }
    return etag;
}

}  // namespace dromo
