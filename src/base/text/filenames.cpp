#include "base/text/filenames.h"

#include <algorithm>
#include <cctype>

namespace dromo {
namespace {

// Names are cut well below the usual 255-byte limit: the partial file adds
// "+++" and a second copy adds " (n)".
constexpr std::size_t kMaxNameBytes = 240;
constexpr std::size_t kMaxExtensionBytes = 16;

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Cuts to at most `bytes`, never inside a UTF-8 sequence. Text that is no
// UTF-8 there (a run of continuation bytes) is cut at the byte: backing off
// through it could leave nothing.
std::string CutUtf8(std::string_view text, std::size_t bytes)
{
    if (text.size() <= bytes) {
        return std::string(text);
    }
    std::size_t end = bytes;
    for (int back = 0; back < 3 && end > 0 && IsContinuationByte(text[end]); ++back) {
        --end;
    }
    if (IsContinuationByte(text[end])) {
        end = bytes;
    }
    return std::string(text.substr(0, end));
}

std::string TrimSpaces(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The length of a UTF-8 direction mark or override at `at` (0 for none):
// one turns "exe.pdf" into what a file manager shows as "fdp.exe".
std::size_t BidiMarkAt(std::string_view text, std::size_t at)
{
    const auto byte = [text](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0; };
    if (byte(at) == 0xD8 && byte(at + 1) == 0x9C) {
        return 2;  // U+061C
    }
    if (byte(at) != 0xE2) {
        return 0;
    }
    const unsigned char second = byte(at + 1);
    const unsigned char third = byte(at + 2);
    const bool marks = second == 0x80 && (third == 0x8E || third == 0x8F || (third >= 0xAA && third <= 0xAE));
    const bool isolates = second == 0x81 && third >= 0xA6 && third <= 0xA9;
    return marks || isolates ? 3 : 0;
}

// Nothing hidden, never "." or "..", never the name of a partial file (one
// of those is continued by the next download of the shorter name).
void MakeVisibleAndWhole(std::string& name)
{
    for (char& c : name) {
        if (c != '.') {
            break;
        }
        c = '_';
    }
    // A name a shell would read as an option ("-rf") or as a home folder.
    if (!name.empty() && (name.front() == '-' || name.front() == '~')) {
        name.front() = '_';
    }
    constexpr std::string_view kPartialSuffix = "+++";
    if (name.size() >= kPartialSuffix.size() &&
        name.compare(name.size() - kPartialSuffix.size(), kPartialSuffix.size(), kPartialSuffix) == 0) {
        name.back() = '_';
    }
}

}  // namespace

// Well-formed UTF-8 only: an overlong form, a surrogate or a code point
// beyond U+10FFFF is no character (a desktop shows it as U+FFFD, so the name
// shown and stored would not be the file's), and such bytes are Latin-1.
bool IsUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t more = 0;
        unsigned char low = 0x80;  // the bounds of the byte after the first
        unsigned char high = 0xBF;
        if (c < 0x80) {
            more = 0;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + more >= text.size() && more > 0) {
            return false;
        }
        for (std::size_t k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += more + 1;
    }
    return true;
}

std::string PercentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string Latin1ToUtf8(std::string_view text)
{
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string SafeFileName(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (const std::size_t mark = BidiMarkAt(name, i)) {
            out += '_';
            i += mark - 1;
            continue;
        }
        const auto c = static_cast<unsigned char>(name[i]);
        out += (c == '/' || c < 0x20 || c == 0x7F) ? '_' : name[i];
    }
    out = TrimSpaces(out);
    if (out.size() > kMaxNameBytes) {
        const std::string extension = FileExtension(out);
        if (!extension.empty() && extension.size() <= kMaxExtensionBytes) {
            out = CutUtf8(out, kMaxNameBytes - extension.size() - 1) + "." + extension;
        } else {
            out = CutUtf8(out, kMaxNameBytes);
        }
        out = TrimSpaces(out);
    }
    // The rules hold for what the cut left, not only for what came in.
    MakeVisibleAndWhole(out);
    return out;
}

std::string FileNameFromUrl(std::string_view url)
{
    // Without a scheme the text is a path (as typed, or a task's remote path).
    const std::size_t scheme = url.find("://");
    const std::size_t pathStart = scheme == std::string_view::npos ? 0 : url.find_first_of("/?#", scheme + 3);
    if (pathStart == std::string_view::npos || (scheme != std::string_view::npos && url[pathStart] != '/')) {
        return kFallbackFileName;
    }
    std::string_view path = url.substr(pathStart);
    path = path.substr(0, path.find_first_of("?#"));
    const std::string_view segment = path.substr(path.rfind('/') + 1);
    std::string decoded = PercentDecode(segment);
    if (!IsUtf8(decoded)) {
        decoded = Latin1ToUtf8(decoded);
    }
    if (decoded == "." || decoded == "..") {
        return kFallbackFileName;
    }
    const std::string name = SafeFileName(decoded);
    return name.empty() ? kFallbackFileName : name;
}

std::string FileExtension(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size()) {
        return {};
    }
    return std::string(name.substr(dot + 1));
}

std::string FolderOfPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOfPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string NumberedPath(const std::string& path, int n)
{
    const std::string folder = FolderOfPath(path);
    const std::string name = NameOfPath(path);
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        dot = name.size();
    } else {
        // "x.tar.gz" is numbered as "x (1).tar.gz", not "x.tar (1).gz".
        const std::size_t inner = name.rfind('.', dot - 1);
        if (inner != std::string::npos && inner > 0 && name.compare(inner, dot - inner, ".tar") == 0) {
            dot = inner;
        }
    }
    return folder + name.substr(0, dot) + " (" + std::to_string(n) + ")" + name.substr(dot);
}

int FirstFreeNumber(const std::string& path, const std::function<bool(const std::string&)>& taken, int from)
{
    if (!taken(path)) {
        return 0;
    }
    for (int n = std::max(from, 1); n <= kMaxNumberedName; ++n) {
        if (!taken(NumberedPath(path, n))) {
            return n;
        }
    }
    return -1;
}

std::string FirstFreePath(const std::string& path, const std::function<bool(const std::string&)>& taken)
{
    const int n = FirstFreeNumber(path, taken);
    return n < 0 ? std::string() : n == 0 ? path : NumberedPath(path, n);
}

}  // namespace dromo
