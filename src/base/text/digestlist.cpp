#include "base/text/digestlist.h"

#include <algorithm>
#include <cctype>

#include "base/text/base64.h"
#include "base/text/textutil.h"

namespace dromo {
namespace {

struct AlgorithmInfo {
    DigestAlgorithm algorithm;
    const char* name;  // as the user reads it
    const char* key;   // stored form and RFC 9530
    std::size_t length;
};

constexpr AlgorithmInfo kAlgorithms[] = {
    {DigestAlgorithm::Md5, "MD5", "md5", 16},
    {DigestAlgorithm::Sha1, "SHA-1", "sha-1", 20},
    {DigestAlgorithm::Sha256, "SHA-256", "sha-256", 32},
    {DigestAlgorithm::Sha512, "SHA-512", "sha-512", 64},
};

const AlgorithmInfo& InfoOf(DigestAlgorithm algorithm)
{
    return kAlgorithms[static_cast<std::size_t>(algorithm)];
}

// What users and tools call the algorithms: "sha-256", "sha256", "SHA256".
std::optional<DigestAlgorithm> AlgorithmOfTypedName(std::string_view name)
{
    const std::string lower = FoldCase(name);
    for (const AlgorithmInfo& info : kAlgorithms) {
        std::string compact = info.key;
        compact.erase(std::remove(compact.begin(), compact.end(), '-'), compact.end());
        if (lower == info.key || lower == compact) {
            return info.algorithm;
        }
    }
    return std::nullopt;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::optional<std::string> HexDecode(std::string_view hex)
{
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

std::string HexEncode(const std::string& bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

// One typed part: "sha-256=HEX", "sha256:HEX" or a bare HEX.
std::optional<Digest> ParsePart(std::string_view part, std::string& error)
{
    const std::size_t mark = part.find_first_of("=:");
    std::optional<DigestAlgorithm> algorithm;
    std::string_view hex = part;
    if (mark != std::string_view::npos) {
        algorithm = AlgorithmOfTypedName(part.substr(0, mark));
        if (!algorithm) {
            error = "unknown checksum algorithm \"" + std::string(part.substr(0, mark)) +
                    "\" (use sha-256, sha-512, sha-1 or md5)";
            return std::nullopt;
        }
        hex = part.substr(mark + 1);
    } else {
        for (const AlgorithmInfo& info : kAlgorithms) {
            if (hex.size() == info.length * 2) {
                algorithm = info.algorithm;
            }
        }
        if (!algorithm) {
            error = "a checksum of " + std::to_string(hex.size()) +
                    " characters fits no algorithm; write it as sha-256=HEX";
            return std::nullopt;
        }
    }
    const AlgorithmInfo& info = InfoOf(*algorithm);
    std::optional<std::string> bytes = HexDecode(hex);
    if (!bytes || bytes->size() != info.length) {
        error =
            std::string("a ") + info.name + " checksum is " + std::to_string(info.length * 2) + " hexadecimal digits";
        return std::nullopt;
    }
    return Digest{*algorithm, std::move(*bytes)};
}

bool IsKeyStart(char c)
{
    return (c >= 'a' && c <= 'z') || c == '*';
}
bool IsKeyChar(char c)
{
    return IsKeyStart(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
}

void SkipBlanks(std::string_view text, std::size_t& at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
}

// Skips a bare item or parameter value that is not a byte sequence (token,
// number, string, inner list), up to the next ';' or ',' outside quotes and
// parentheses. False when the text ends inside a string or a list.
bool SkipValue(std::string_view text, std::size_t& at)
{
    int depth = 0;
    bool quoted = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (quoted) {
            if (c == '\\') {
                ++at;
            } else if (c == '"') {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (depth == 0 && (c == ',' || c == ';')) {
            return true;
        }
    }
    return !quoted && depth == 0;
}

// An RFC 8941 dictionary whose members of interest are byte sequences. A
// field that does not parse is ignored as a whole, as RFC 8941 asks.
DigestList FromStructuredField(std::string_view text)
{
    DigestList list;
    std::size_t at = 0;
    SkipBlanks(text, at);
    while (at < text.size()) {
        const std::size_t keyStart = at;
        if (!IsKeyStart(text[at])) {
            return {};
        }
        while (at < text.size() && IsKeyChar(text[at])) {
            ++at;
        }
        const std::string_view key = text.substr(keyStart, at - keyStart);
        std::optional<std::string> bytes;
        if (at < text.size() && text[at] == '=') {
            ++at;
            if (at < text.size() && text[at] == ':') {
                const std::size_t end = text.find(':', at + 1);
                if (end == std::string_view::npos) {
                    return {};
                }
                bytes = Base64Decode(text.substr(at + 1, end - at - 1));
                if (!bytes) {
                    return {};
                }
                at = end + 1;
            } else if (!SkipValue(text, at)) {
                return {};
            }
        }
        while (at < text.size() && text[at] == ';') {  // parameters say nothing of the value
            ++at;
            if (!SkipValue(text, at)) {
                return {};
            }
        }
        // RFC 9530 retires md5 and sha (SHA-1): only the active ones count.
        for (DigestAlgorithm algorithm : {DigestAlgorithm::Sha256, DigestAlgorithm::Sha512}) {
            if (bytes && key == DigestAlgorithmKey(algorithm) && bytes->size() == DigestLength(algorithm)) {
                list.Add(Digest{algorithm, *bytes});
            }
        }
        SkipBlanks(text, at);
        if (at == text.size()) {
            break;
        }
        if (text[at] != ',') {
            return {};
        }
        ++at;
        SkipBlanks(text, at);
        if (at == text.size()) {
            return {};  // a trailing comma
        }
    }
    return list;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// RFC 3230: "SHA-256=BASE64, MD5=BASE64", names in any case; the ones its
// registry gives a Base64 value to that Dromo can check.
DigestList FromInstanceDigest(std::string_view text)
{
    DigestList list;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view member = Trimmed(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t equals = member.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string name = FoldCase(member.substr(0, equals));
        for (DigestAlgorithm algorithm : {DigestAlgorithm::Md5, DigestAlgorithm::Sha256, DigestAlgorithm::Sha512}) {
            if (name != DigestAlgorithmKey(algorithm)) {
                continue;
            }
            const std::optional<std::string> bytes = Base64Decode(member.substr(equals + 1));
            if (bytes && bytes->size() == DigestLength(algorithm)) {
                list.Add(Digest{algorithm, *bytes});
            }
        }
    }
    return list;
}

}  // namespace

std::optional<DigestList> DigestList::Parse(std::string_view text, std::string* error)
{
    DigestList list;
    std::string reason;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(" \t,", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find_first_of(" \t,", start), text.size());
        const std::optional<Digest> digest = ParsePart(text.substr(start, end - start), reason);
        if (!digest) {
            if (error != nullptr) {
                *error = reason;
            }
            return std::nullopt;
        }
        list.Add(*digest);
        at = end;
    }
    return list;
}

DigestList DigestList::FromHeader(std::string_view name, std::string_view value)
{
    const std::string lower = FoldCase(name);
    if (lower == "repr-digest" || lower == "content-digest") {
        return FromStructuredField(value);
    }
    if (lower == "digest") {
        return FromInstanceDigest(value);
    }
    return {};
}

void DigestList::Add(Digest digest)
{
    for (Digest& d : m_digests) {
        if (d.algorithm == digest.algorithm) {
            d = std::move(digest);
            return;
        }
    }
    m_digests.push_back(std::move(digest));
}

const Digest* DigestList::Strongest() const
{
    const Digest* best = nullptr;
    for (const Digest& d : m_digests) {
        if (best == nullptr || d.algorithm > best->algorithm) {
            best = &d;
        }
    }
    return best;
}

std::string DigestList::Stored() const
{
    std::vector<Digest> sorted = m_digests;
    std::sort(sorted.begin(), sorted.end(), [](const Digest& a, const Digest& b) { return a.algorithm > b.algorithm; });
    std::string out;
    for (const Digest& d : sorted) {
        out += (out.empty() ? "" : ", ") + std::string(DigestAlgorithmKey(d.algorithm)) + "=" + HexEncode(d.bytes);
    }
    return out;
}

const char* DigestAlgorithmName(DigestAlgorithm algorithm)
{
    return InfoOf(algorithm).name;
}
const char* DigestAlgorithmKey(DigestAlgorithm algorithm)
{
    return InfoOf(algorithm).key;
}
std::size_t DigestLength(DigestAlgorithm algorithm)
{
    return InfoOf(algorithm).length;
}

}  // namespace dromo
