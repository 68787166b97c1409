#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dromo {

// What the engine needs of one HTTP response's head, parsed line by line.
struct HttpResponse {
    int code = 0;
    std::string statusLine;
    std::string reason;
    std::int64_t contentLength = -1;
    // Content-Range "bytes FIRST-LAST/TOTAL" or "bytes */TOTAL"; -1 when absent
    // or "*".
    std::int64_t rangeFirst = -1;
    std::int64_t rangeTotal = -1;
    std::string etag;
    std::string lastModified;
    bool acceptRanges = false;
    bool hasLocation = false;

    // Takes one header line (with or without its CR LF). A status line starts
    // a new response: everything seen before is forgotten.
    void AddLine(std::string_view line);

    // A strong entity tag, usable with If-Range; "" for a weak or missing one.
    std::string StrongEtag() const;
};

// Parses a decimal 64-bit number that fills the whole text; -1 otherwise.
std::int64_t ParseSize(std::string_view text);

}  // namespace dromo
