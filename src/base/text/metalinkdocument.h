#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text/digestlist.h"
#include "base/text/mirrorlist.h"
#include "base/text/piecehashes.h"

namespace dromo {

// What a Metalink file may hold at most: more is refused as a whole, so a
// hostile document costs bounded memory and time.
inline constexpr std::size_t kMetalinkMaxBytes = 8 * 1024 * 1024;
inline constexpr std::size_t kMetalinkMaxFiles = 1000;
inline constexpr std::size_t kMetalinkMaxUrls = 500;       // per file
inline constexpr std::size_t kMetalinkMaxPieces = 100000;  // per file

// A Metalink file as the XML reader found it, every value the document's
// own text: nothing here is checked yet (see CheckMetalink). Versions:
// 4 (RFC 5854, ".meta4") and 3 (".metalink").
struct MetalinkDocument {
    struct Url {
        int line = 0;
        std::string url;
        std::string priority;    // version 4: 1 (most wanted) .. 999999
        std::string preference;  // version 3: 100 (most wanted) .. 0
        std::string location;
        std::string type;  // version 3: "http", "ftp", "bittorrent", ...
    };
    struct Hash {
        int line = 0;
        std::string type;
        std::string value;
    };
    struct Pieces {
        int line = 0;
        std::string type;
        std::string length;
        std::vector<std::string> hashes;
    };
    struct File {
        int line = 0;
        std::string name;
        bool hasSize = false;
        std::string size;
        std::vector<Url> urls;
        std::vector<Hash> hashes;
        std::vector<Pieces> pieces;
    };

    int version = 0;
    std::vector<File> files;
    // Set by the reader when the document is refused before its content
    // (not XML, a DTD, a limit passed); "Line N: " leads it where a line is
    // known.
    std::string error;
};

// One file of a checked Metalink file: what a task needs.
struct MetalinkFile {
    std::string name;        // a plain file name: no path, no "..", no control character
    std::int64_t size = -1;  // -1 when the document gives none
    MirrorList mirrors;      // http, https and ftp only, most wanted first
    DigestList digests;      // the whole file's
    PieceHashes pieces;      // the strongest kind the document gives; may be empty
};

// The files of a document, or why it cannot be used (one English text,
// "Line N: " first where the line is known; shown through the translated
// texts).
struct MetalinkReading {
    std::vector<MetalinkFile> files;
    std::string error;

    bool Ok() const { return error.empty(); }
};

// The rules a document's values must keep before they become tasks: a
// document with a bad name, size or hash is refused whole (it was made
// carelessly or with intent, and half of it is no safer); URLs of other
// kinds (a torrent) are left out; a file left with no URL refuses it too.
MetalinkReading CheckMetalink(const MetalinkDocument& document);

// True for a name or URL path that ends in ".meta4" or ".metalink" (any
// case; a query or fragment of a URL is not part of it).
bool IsMetalinkName(std::string_view nameOrUrl);
// The path of a local Metalink file given where a URL may stand: an
// absolute path or a "file://" URL (percent-decoded) whose name is a
// Metalink file's; nothing for anything else.
std::optional<std::string> LocalMetalinkPath(std::string_view text);
// True for "application/metalink4+xml" and "application/metalink+xml"
// (any case, parameters ignored).
bool IsMetalinkMimeType(std::string_view mimeType);

}  // namespace dromo
