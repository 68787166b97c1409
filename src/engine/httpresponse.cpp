#include "httpresponse.h"

#include <cctype>

#include "core/textutil.h"
#include <charconv>

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
        return;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return;
    }
    const std::string_view name = TrimBlanks(line.substr(0, colon));
    const std::string_view value = TrimBlanks(line.substr(colon + 1));
    if (NameIs(name, "content-length")) {
        contentLength = ParseSize(value);
    } else if (NameIs(name, "content-range")) {
        rangeFirst = rangeTotal = -1;
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
        }
    } else if (NameIs(name, "etag")) {
        etag = std::string(value);
    } else if (NameIs(name, "last-modified")) {
        lastModified = std::string(value);
    } else if (NameIs(name, "accept-ranges")) {
        acceptRanges = NameIs(value, "bytes");
    } else if (NameIs(name, "location")) {
        hasLocation = true;
    }
}

std::string HttpResponse::StrongEtag() const
{
    if (etag.size() < 2 || etag.front() != '"' || etag.back() != '"') {
        return {};
    }
    return etag;
}

}  // namespace dromo
