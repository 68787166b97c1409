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
    std::int64_t rangeLast = -1;
    std::int64_t rangeTotal = -1;
    std::string etag;
    std::string lastModified;
    bool acceptRanges = false;
    bool hasLocation = false;
    // Seconds of Retry-After (a number, or a date converted against now);
    // -1 when absent or unreadable.
    std::int64_t retryAfter = -1;
    // The name Content-Disposition suggests (filename* preferred over
    // filename), as the server wrote it: not yet made safe. "" when none.
    std::string fileName;
    // The content coding ("" for none or identity) and the digests the
    // server announced (RFC 9530 Repr-Digest and Content-Digest, RFC 3230
    // Digest), each as the field's value; repeated lines joined by ", ".
    std::string contentEncoding;
    std::string reprDigest;
    std::string contentDigest;
    std::string instanceDigest;
    // The Link field (the other places that hold the file among its links),
    // repeated lines joined by ", ".
    std::string link;
    // The Content-Type, as the server wrote it: a stream's playlist is told by it.
    std::string contentType;
    // Bytes of this head so far, to refuse a server that never ends it.
    std::size_t headBytes = 0;

    // Takes one header line (with or without its CR LF). A status line starts
    // a new response: everything seen before is forgotten.
    void AddLine(std::string_view line);

    // A strong entity tag, usable with If-Range; "" for a weak or missing one.
    std::string StrongEtag() const;
};

// The file name of a Content-Disposition value ("attachment;
// filename*=UTF-8''na%C3%AFve.txt; filename=\"naive.txt\""); "" when none.
std::string ContentDispositionFileName(std::string_view value);

// Seconds a Retry-After value asks for, against the wall time `now`
// (seconds since the epoch); -1 when it cannot be read.
std::int64_t RetryAfterSeconds(std::string_view value, std::int64_t now);

// Parses a decimal 64-bit number that fills the whole text; -1 otherwise.
std::int64_t ParseSize(std::string_view text);

}  // namespace dromo
