#include "base/text/metalinkdocument.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "base/text/filenames.h"
#include "base/text/parseurl.h"
#include "base/text/textutil.h"

namespace dromo {
namespace {

std::string AtLine(int line, const std::string& text)
{
    return line > 0 ? "Line " + std::to_string(line) + ": " + text : text;
}

// A whole number of at most 18 digits; nothing for anything else.
std::optional<std::int64_t> Number(std::string_view text)
{
    text = TrimBlanks(text);
    std::int64_t value = 0;
    if (text.empty() || text.size() > 18 || text.front() == '-' || text.front() == '+') {
        return std::nullopt;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A name the file can be saved under inside the chosen folder and nowhere
// else: no separator, no "..", not hidden, no control character, UTF-8.
bool IsPlainFileName(std::string_view name)
{
    if (name.empty() || name.size() > 255 || name.front() == '.' || name.find("..") != std::string_view::npos ||
        !IsUtf8(name)) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || u < 0x20 || u == 0x7f;
    });
}

// The algorithm a hash's type names, as RFC 5854 (IANA) and version 3
// write them; nothing for one Dromo does not check.
std::optional<DigestAlgorithm> AlgorithmOfType(std::string_view type)
{
    const std::string key = FoldCase(TrimBlanks(type));
    if (key == "md5") {
        return DigestAlgorithm::Md5;
    }
    if (key == "sha-1" || key == "sha1") {
        return DigestAlgorithm::Sha1;
    }
    if (key == "sha-256" || key == "sha256") {
        return DigestAlgorithm::Sha256;
    }
    if (key == "sha-512" || key == "sha512") {
        return DigestAlgorithm::Sha512;
    }
    return std::nullopt;
}

// One hash value of a known algorithm as raw bytes; nothing when it is not
// the algorithm's number of hexadecimal digits.
std::optional<std::string> HashBytes(DigestAlgorithm algorithm, std::string_view value)
{
    const std::optional<DigestList> parsed =
        DigestList::Parse(std::string(DigestAlgorithmKey(algorithm)) + "=" + std::string(TrimBlanks(value)));
    if (!parsed || parsed->Digests().size() != 1) {
        return std::nullopt;
    }
    return parsed->Digests().front().bytes;
}

std::string BadHash(int line, DigestAlgorithm algorithm, const std::string& name)
{
    return AtLine(line, std::string("the ") + DigestAlgorithmName(algorithm) + " hash of \"" + name + "\" is not " +
                            std::to_string(DigestLength(algorithm) * 2) + " hexadecimal digits.");
}

// The mirror's priority: version 4's as it is, version 3's preference
// turned round (100 becomes 1); none when absent or out of range.
std::int32_t PriorityOf(const MetalinkDocument::Url& url)
{
    if (const std::optional<std::int64_t> p = Number(url.priority); p && *p >= 1 && *p <= kMirrorPriorityNone) {
        return static_cast<std::int32_t>(*p);
    }
    if (const std::optional<std::int64_t> p = Number(url.preference); p && *p >= 0 && *p <= 100) {
        return static_cast<std::int32_t>(101 - *p);
    }
    return kMirrorPriorityNone;
}

void TakeUrls(const MetalinkDocument::File& in, MetalinkFile& out)
{
    for (const MetalinkDocument::Url& url : in.urls) {
        const std::string type = FoldCase(TrimBlanks(url.type));
        const std::string address(TrimBlanks(url.url));
        const bool controls = std::any_of(address.begin(), address.end(),
                                          [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
        const bool fileType = type.empty() || type == "http" || type == "https" || type == "ftp" || type == "ftps";
        if (fileType && !controls && ParseUrl(address)) {
            out.mirrors.Add(Mirror{address, PriorityOf(url), std::string(TrimBlanks(url.location))});
        }
    }
}

// Whole-file hashes; an unknown algorithm is left out, a known one with a
// bad value refuses the document.
std::string TakeHashes(const MetalinkDocument::File& in, MetalinkFile& out)
{
    for (const MetalinkDocument::Hash& hash : in.hashes) {
        const std::optional<DigestAlgorithm> algorithm = AlgorithmOfType(hash.type);
        if (!algorithm) {
            continue;
        }
        std::optional<std::string> bytes = HashBytes(*algorithm, hash.value);
        if (!bytes) {
            return BadHash(hash.line, *algorithm, in.name);
        }
        out.digests.Add(Digest{*algorithm, std::move(*bytes)});
    }
    return "";
}

// The strongest kind of piece hashes whose count fits the size.
std::string TakePieces(const MetalinkDocument::File& in, MetalinkFile& out)
{
    for (const MetalinkDocument::Pieces& pieces : in.pieces) {
        const std::optional<DigestAlgorithm> algorithm = AlgorithmOfType(pieces.type);
        if (!algorithm) {
            continue;
        }
        const std::optional<std::int64_t> length = Number(pieces.length);
        if (!length || *length <= 0) {
            return AtLine(pieces.line, "the piece length \"" + std::string(TrimBlanks(pieces.length)) +
                                           "\" is not a number of bytes.");
        }
        if (pieces.hashes.size() > kMetalinkMaxPieces) {
            return AtLine(pieces.line, "the file \"" + in.name + "\" lists more than " +
                                           std::to_string(kMetalinkMaxPieces) + " pieces.");
        }
        std::vector<std::string> hashes;
        for (const std::string& value : pieces.hashes) {
            std::optional<std::string> bytes = HashBytes(*algorithm, value);
            if (!bytes) {
                return BadHash(pieces.line, *algorithm, in.name);
            }
            hashes.push_back(std::move(*bytes));
        }
        if (out.size >= 0) {
            const std::int64_t needed = out.size / *length + (out.size % *length != 0 ? 1 : 0);
            if (needed != static_cast<std::int64_t>(hashes.size())) {
                return AtLine(pieces.line, "the file \"" + in.name + "\" has " + std::to_string(hashes.size()) +
                                               " piece hashes where its size needs " + std::to_string(needed) + ".");
            }
        }
        if (out.pieces.Empty() || *algorithm > out.pieces.Algorithm()) {
            out.pieces = *PieceHashes::Make(*algorithm, *length, std::move(hashes));
        }
    }
    return "";
}

std::string CheckFile(const MetalinkDocument::File& in, MetalinkFile& out)
{
    if (TrimBlanks(in.name).empty()) {
        return AtLine(in.line, "a file has no name.");
    }
    if (!IsPlainFileName(in.name)) {
        return AtLine(in.line, "\"" + in.name + "\" is not a plain file name; Dromo saves no file outside its folder.");
    }
    out.name = in.name;
    if (in.hasSize) {
        const std::optional<std::int64_t> size = Number(in.size);
        if (!size) {
            return AtLine(in.line, "the size \"" + std::string(TrimBlanks(in.size)) + "\" is not a number of bytes.");
        }
        out.size = *size;
    }
    if (in.urls.size() > kMetalinkMaxUrls) {
        return AtLine(in.line,
                      "the file \"" + in.name + "\" lists more than " + std::to_string(kMetalinkMaxUrls) + " URLs.");
    }
    TakeUrls(in, out);
    if (out.mirrors.Empty()) {
        return AtLine(in.line, "the file \"" + in.name + "\" has no http, https or ftp URL.");
    }
    if (std::string error = TakeHashes(in, out); !error.empty()) {
        return error;
    }
    return TakePieces(in, out);
}

}  // namespace

MetalinkReading CheckMetalink(const MetalinkDocument& document)
{
    MetalinkReading reading;
    if (!document.error.empty()) {
        reading.error = document.error;
        return reading;
    }
    if (document.files.empty()) {
        reading.error = "The Metalink file lists no file.";
        return reading;
    }
    if (document.files.size() > kMetalinkMaxFiles) {
        reading.error = "The Metalink file lists more than " + std::to_string(kMetalinkMaxFiles) + " files.";
        return reading;
    }
    for (const MetalinkDocument::File& in : document.files) {
        MetalinkFile out;
        if (std::string error = CheckFile(in, out); !error.empty()) {
            reading.files.clear();
            reading.error = std::move(error);
            return reading;
        }
        reading.files.push_back(std::move(out));
    }
    return reading;
}

bool IsMetalinkName(std::string_view nameOrUrl)
{
    const std::string_view path = nameOrUrl.substr(0, nameOrUrl.find_first_of("?#"));
    const auto endsWith = [&path](std::string_view tail) {
        return path.size() >= tail.size() && FoldCase(path.substr(path.size() - tail.size())) == tail;
    };
    return endsWith(".meta4") || endsWith(".metalink");
}

std::optional<std::string> LocalMetalinkPath(std::string_view text)
{
    text = TrimBlanks(text);
    if (!IsMetalinkName(text)) {
        return std::nullopt;
    }
    if (!text.empty() && text.front() == '/') {
        return std::string(text);
    }
    constexpr std::string_view kFile = "file://";
    if (text.size() > kFile.size() && FoldCase(text.substr(0, kFile.size())) == kFile && text[kFile.size()] == '/') {
        return PercentDecode(text.substr(kFile.size()));
    }
    return std::nullopt;
}

bool IsMetalinkMimeType(std::string_view mimeType)
{
    const std::string type = FoldCase(TrimBlanks(mimeType.substr(0, mimeType.find(';'))));
    return type == "application/metalink4+xml" || type == "application/metalink+xml";
}

}  // namespace dromo
