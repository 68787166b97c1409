#include "platform/inidocument.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <utility>

namespace dromo {
namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && IsSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void AppendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The next code point of UTF-8 text; a byte that starts no valid sequence
// stands for itself (as Latin-1).
std::uint32_t NextCodePoint(std::string_view s, std::size_t& i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xC0 && b < 0xE0 ? 1 : 0;
    if (extra == 0 || i + extra >= s.size()) {
        ++i;
        return b;
    }
    std::uint32_t cp = b & (0x3Fu >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return b;
        }
        cp = (cp << 6) | (c & 0x3Fu);
    }
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF are no
    // characters: their lead byte stands alone, as any other stray byte.
    constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[extra] || (cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF) {
        ++i;
        return b;
    }
    i += extra + 1;
    return cp;
}

constexpr char kHexUpper[] = "0123456789ABCDEF";

// One logical line from `pos`: leading blanks skipped, a comment line
// skipped whole, ended by a line break or ";" outside quotes; a backslash
// takes the next character (a line break too) into the line. `equals` is
// the first "=" outside quotes, or npos.
bool ReadLine(std::string_view data, std::size_t& pos, std::string_view& line, std::size_t& equals)
{
    const std::size_t size = data.size();
    bool inQuotes = false;
    std::size_t cut = std::string_view::npos;
    equals = std::string_view::npos;
    std::size_t start = pos;
    while (start < size && IsSpace(data[start])) {
        ++start;
    }
    std::size_t i = start;
    while (i < size) {
        const char c = data[i++];
        switch (c) {
        case '=':
            if (!inQuotes && equals == std::string_view::npos) {
                equals = i - 1 - start;
            }
            break;
        case '\n':
        case '\r':
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                goto done;
            }
            break;
        case '\\': {
            const std::size_t backslash = i - 1;
            if (i < size) {
                const char next = data[i++];
                if (i < size) {
                    const char after = data[i];
                    if ((next == '\n' && after == '\r') || (next == '\r' && after == '\n')) {
                        ++i;
                    }
                }
                // A line continued into its own end (or the text's, or a
                // comment, which ends it too) continues into nothing. Kept,
                // the break the writer puts after it can pair with it and
                // take the next line into this one.
                const bool ends = i == size || (!inQuotes && (data[i] == '\n' || data[i] == '\r' || data[i] == ';'));
                if ((next == '\n' || next == '\r') && ends) {
                    cut = backslash;
                }
            } else {
                cut = backslash;
            }
            break;
        }
        case '"': inQuotes = !inQuotes; break;
        case ';':
            if (i == start + 1) {
                while (i < size && data[i] != '\n' && data[i] != '\r') {
                    ++i;
                }
                while (i < size && IsSpace(data[i])) {
                    ++i;
                }
                start = i;
            } else if (!inQuotes) {
                --i;
                goto done;
            }
            break;
        default: break;
        }
    }
done:
    // A backslash that ends the line escapes nothing and reads as nothing.
    // Kept, it would take the line break the writer ends the line with (and
    // the line after that) into the value at the next load.
    pos = i;
    std::size_t end = cut != std::string_view::npos ? cut : i;
    // So does a line break escaped at the very end of what is kept (a
    // continuation that ran into the cut one): written back, the writer's
    // line feed would pair with it.
    while (end >= start + 2 && (data[end - 1] == '\n' || data[end - 1] == '\r')) {
        std::size_t slashes = 0;
        while (end - 1 - slashes > start && data[end - 2 - slashes] == '\\') {
            ++slashes;
        }
        if (slashes % 2 == 0) {
            break;  // no backslash takes it: the break is not escaped
        }
        end -= 2;
    }
    line = data.substr(start, end - start);
    return !line.empty();
}

// Whether a value leaves a quote open. Only the file's last line can: its
// quote ran to the end of the text. Written as it is, with the line break
// after it, such a value would take every line after it into itself.
bool QuoteLeftOpen(std::string_view raw)
{
    bool open = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\') {
            ++i;
        } else if (raw[i] == '"') {
            open = !open;
        }
    }
    return open;
}

// Drops trailing blanks, but none before `limit` (text that came from an
// escape or quotes stays).
void ChopTrailingBlanks(std::string& s, std::size_t limit)
{
    while (s.size() > limit && (s.back() == ' ' || s.back() == '\t')) {
        s.pop_back();
    }
}

// One escape after a backslash, from raw[i] on, appended to `out`; i moves
// past it. "\x" takes hex digits, a digit 0-7 takes octal ones, each into
// one 16-bit code unit; a line break continues the value; any other
// character is dropped with its backslash.
void ReadEscape(std::string_view raw, std::size_t& i, std::string& out)
{
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                           {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                           {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    const std::size_t size = raw.size();
    const char e = raw[i++];
    for (const auto& pair : kEscapes) {
        if (e == pair[0]) {
            out += pair[1];
            return;
        }
    }
    const int base = e == 'x' ? 16 : (e >= '0' && e <= '7') ? 8 : 0;
    if (base == 16 && (i >= size || HexValue(raw[i]) < 0)) {
        return;  // "\x" without a digit is dropped
    }
    if (base != 0) {
        std::uint16_t unit = base == 8 ? static_cast<std::uint16_t>(e - '0') : 0;
        while (i < size) {
            const int d = HexValue(raw[i]);
            if (d < 0 || d >= base) {
                break;
            }
            unit = static_cast<std::uint16_t>(unit * base + d);
            ++i;
        }
        AppendUtf8(out, unit);
    } else if (e == '\n' || e == '\r') {
        if (i < size && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != e) {
            ++i;
        }
    }
}

// A list's items joined with ", "; an item beginning "@@" stands for one
// beginning "@".
std::string JoinListItems(const std::vector<std::string>& items)
{
    std::string joined;
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (k > 0) {
            joined += ", ";
        }
        joined += std::string_view(items[k]).substr(items[k].rfind("@@", 0) == 0 ? 1 : 0);
    }
    return joined;
}

// The value's text and whether an unquoted "," made it a list; the list's
// items are joined with ", ", as a list read as text always was.
std::string UnescapeList(std::string_view raw, bool& isList)
{
    std::vector<std::string> items;
    std::string current;
    bool inQuotes = false;
    bool quoted = false;
    std::size_t i = 0;
    const std::size_t size = raw.size();
    auto skipBlanks = [&] {
        while (i < size && (raw[i] == ' ' || raw[i] == '\t')) {
            ++i;
        }
    };
    skipBlanks();
    std::size_t chopLimit = 0;
    while (i < size) {
        const char c = raw[i];
        if (c == '\\') {
            ++i;
            if (i >= size) {
                break;
            }
            ReadEscape(raw, i, current);
            chopLimit = current.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                chopLimit = current.size();
            }
        } else if (c == ',' && !inQuotes) {
            if (!quoted) {
                ChopTrailingBlanks(current, chopLimit);
            }
            isList = true;
            items.push_back(std::move(current));
            current.clear();
            quoted = false;
            ++i;
            skipBlanks();
            chopLimit = 0;
        } else {
            std::size_t j = i + 1;
            while (j < size && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',') {
                ++j;
            }
            current.append(raw.substr(i, j - i));
            i = j;
        }
    }
    if (!quoted) {
        ChopTrailingBlanks(current, chopLimit);
    }
    if (!isList) {
        return current;
    }
    items.push_back(std::move(current));
    return JoinListItems(items);
}

// "\\x" and the byte in lower-case hex without leading zeros.
void AppendHexEscape(std::string& out, char c)
{
    out += "\\x";
    char hex[4];
    const auto end = std::to_chars(hex, hex + sizeof hex, static_cast<unsigned char>(c), 16).ptr;
    out.append(hex, end);
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

// A value as it will be written: followed by the writer's line feed, the
// value must read back as itself, or each save would read (and then write)
// something else. What a continuation or escaped break at its end makes of
// that line feed is what the next load would see, so that is what is kept.
std::string RawThatReadsBack(std::string raw)
{
    if (raw.find_first_of("\\\"\r\n") == std::string::npos) {
        return raw;  // nothing in it can reach past its end
    }
    for (int round = 0; round < 8; ++round) {
        const std::string written = "x=" + raw + "\n";
        std::size_t pos = 0;
        std::size_t equals = 0;
        std::string_view line;
        if (!ReadLine(written, pos, line, equals) || equals != 1) {
            return {};
        }
        if (line.substr(2) == raw) {
            return raw;
        }
        raw = std::string(line.substr(2));
    }
    return {};  // never settles: an empty value settles at once
}

}  // namespace

std::string IniDocument::EscapeName(std::string_view name)
{
    std::string out;
    out.reserve(name.size() + 8);
    AppendEscapedName(out, name);
    return out;
}

void IniDocument::AppendEscapedName(std::string& out, std::string_view name)
{
    std::size_t i = 0;
    while (i < name.size()) {
        const std::uint32_t cp = NextCodePoint(name, i);
        if ((cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9') || cp == '_' ||
            cp == '-' || cp == '.') {
            out += static_cast<char>(cp);
        } else if ((cp == '\\' || cp == '/') && i < name.size()) {
            // Not last: there it would take the "=" after it into the name
            // and leave the line without a value, so it is escaped below.
            out += '\\';
        } else if (cp <= 0xFF) {
            out += '%';
            out += kHexUpper[cp >> 4];
            out += kHexUpper[cp & 0xF];
        } else {
            // UTF-16 code units, as the file has always held them.
            auto unit = [&out](std::uint32_t u) {
                out += "%U";
                for (int shift = 12; shift >= 0; shift -= 4) {
                    out += kHexUpper[(u >> shift) & 0xF];
                }
            };
            if (cp >= 0x10000) {
                unit(0xD800 + ((cp - 0x10000) >> 10));
                unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                unit(cp);
            }
        }
    }
}

std::string IniDocument::UnescapeName(std::string_view escaped)
{
    std::string out;
    UnescapeNameInto(out, escaped);
    return out;
}

void IniDocument::UnescapeNameInto(std::string& out, std::string_view escaped)
{
    out.clear();
    out.reserve(escaped.size());
    std::size_t i = 0;
    std::uint32_t highSurrogate = 0;
    while (i < escaped.size()) {
        const char c = escaped[i];
        if (c == '\\' || c == '/') {
            out += '\\';
            ++i;
            highSurrogate = 0;
            continue;
        }
        const bool wide = c == '%' && i + 1 < escaped.size() && escaped[i + 1] == 'U';
        const std::size_t first = i + (wide ? 2 : 1);
        const std::size_t digits = wide ? 4 : 2;
        std::uint32_t unit = 0;
        bool ok = c == '%' && i + 1 < escaped.size() && first + digits <= escaped.size();
        for (std::size_t k = 0; ok && k < digits; ++k) {
            const int d = HexValue(escaped[first + k]);
            ok = d >= 0;
            unit = unit * 16 + static_cast<std::uint32_t>(d);
        }
        if (!ok) {
            out += c;
            ++i;
            highSurrogate = 0;
            continue;
        }
        i = first + digits;
        if (unit >= 0xD800 && unit < 0xDC00) {
            highSurrogate = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit < 0xE000) {
            if (highSurrogate == 0) {
                continue;  // half a pair is no character, as a high half alone
            }
            unit = 0x10000 + ((highSurrogate - 0xD800) << 10) + (unit - 0xDC00);
        }
        highSurrogate = 0;
        AppendUtf8(out, unit);
    }
}

std::string IniDocument::EscapeText(std::string_view text)
{
    std::string out;
    AppendEscapedText(out, text);
    return out;
}

void IniDocument::AppendLine(std::string& out, std::string_view name, std::string_view text)
{
    AppendEscapedName(out, name);
    out += '=';
    AppendEscapedText(out, text);
    out += '\n';
}

void IniDocument::AppendLine(std::string& out, std::string_view name, std::int32_t value)
{
    AppendEscapedName(out, name);
    out += '=';
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    out += '\n';
}

void IniDocument::AppendEscapedText(std::string& out, std::string_view text)
{
    // Most texts (URLs, paths, numbers) need nothing: copied as they are.
    const bool plain =
        !text.empty() && text.front() != '@' && text.front() != ' ' && text.back() != ' ' &&
        std::none_of(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) <= 0x1F || c == '"' || c == '\\' || c == ';' || c == ',' || c == '=';
        });
    if (plain) {
        out.append(text);
        return;
    }
    const std::size_t start = out.size();
    // A leading "@" would read as the start of a typed value.
    if (!text.empty() && text.front() == '@') {
        out += '@';
    }
    bool needsQuotes = false;
    bool escapeNextIfHexDigit = false;
    for (char c : text) {
        if (c == ';' || c == ',' || c == '=') {
            needsQuotes = true;
        }
        if (escapeNextIfHexDigit && HexValue(c) >= 0) {
            // After "\x1f" a digit would be read as part of the escape.
            AppendHexEscape(out, c);
            continue;
        }
        escapeNextIfHexDigit = false;
        switch (c) {
        case '\0':
            out += "\\0";
            escapeNextIfHexDigit = true;
            break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += c;
            break;
        default:
            if (static_cast<unsigned char>(c) <= 0x1F) {
                AppendHexEscape(out, c);
                escapeNextIfHexDigit = true;
            } else {
                out += c;  // UTF-8 bytes go out as they are
            }
        }
    }
    if (needsQuotes || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(start), '"');
        out += '"';
    }
}

std::optional<IniDocument::Value> IniDocument::UnescapeValue(std::string_view raw)
{
    bool isList = false;
    std::string text = UnescapeList(raw, isList);
    if (isList) {
        return Value{std::move(text), false};
    }
    if (text.empty() || text.front() != '@') {
        return Value{std::move(text), true};
    }
    if (StartsWith(text, "@@")) {
        return Value{text.substr(1), true};
    }
    if (text == "@Invalid()") {
        return std::nullopt;
    }
    for (std::string_view wrapper : {std::string_view("@String("), std::string_view("@ByteArray(")}) {
        if (StartsWith(text, wrapper) && text.back() == ')') {
            const bool isString = wrapper.size() == 8;
            return Value{text.substr(wrapper.size(), text.size() - wrapper.size() - 1), isString};
        }
    }
    return Value{std::move(text), false};  // a typed variant, kept as it stands
}

// A name with bytes that are no UTF-8 is written with each such byte as the
// character of that number, so it reads back as another name, one that a
// second section (or key) may already have: taken as it will read back from
// the first load on, the two merge now and not at the next save.
namespace {

std::string NameAsItReadsBack(std::string name)
{
    if (std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return name;
    }
    return IniDocument::UnescapeName(IniDocument::EscapeName(name));
}

}  // namespace

namespace {

bool IsPlainNameChar(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.';
}

bool IsUpperHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Whether a name as the file spells it is spelled as EscapeName writes the
// name it reads as, told without decoding it (true for the names the
// program writes); false when unsure.
bool SpelledAsWritten(std::string_view name)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool last = i + 1 == name.size();
        if (IsPlainNameChar(c) || (c == '\\' && !last)) {
            continue;
        }
        if (c != '%' || i + 2 >= name.size() || !IsUpperHex(name[i + 1]) || !IsUpperHex(name[i + 2])) {
            return false;
        }
        const auto byte = static_cast<unsigned char>(HexValue(name[i + 1]) * 16 + HexValue(name[i + 2]));
        const bool lastByte = i + 3 == name.size();
        // A slash or backslash inside a name is written as a backslash.
        if (IsPlainNameChar(byte) || ((byte == '\\' || byte == '/') && !lastByte)) {
            return false;
        }
        i += 2;
    }
    return true;
}

// The spelling EscapeName gives the name the file's spelling reads as.
std::string WrittenSpelling(std::string_view name)
{
    return IniDocument::EscapeName(IniDocument::UnescapeName(name));
}

std::uint32_t HashOf(std::string_view key)
{
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(key));
}

// Where a hash's probes start among `slots` (any number of them, so a long
// section's index is not rounded up to twice its room).
std::size_t HomeSlot(std::uint32_t hash, std::size_t slots)
{
    return static_cast<std::size_t>((static_cast<std::uint64_t>(hash) * slots) >> 32);
}

// At most three quarters full, so probes stay short (they run through
// neighbouring slots, mostly one cache line).
bool TooFull(std::size_t values, std::size_t slots)
{
    return values * 4 > slots * 3;
}

// How far beside the last value found a lookup looks first.
constexpr std::size_t kNearBefore = 4;
constexpr std::size_t kNearAfter = 8;

// A lookup's name in its written spelling, in a buffer of the thread's own:
// a load looks up every value of the file.
std::string_view Written(std::string_view name)
{
    thread_local std::string written;
    written.clear();
    IniDocument::AppendEscapedName(written, name);
    return written;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view data)
{
    return ParseKeeping(std::string(data.substr(0, kMaxText)));
}

IniDocument IniDocument::ParseKeeping(std::string text)
{
    IniDocument doc;
    if (text.size() > kMaxText) {
        text.resize(kMaxText);
    }
    doc.m_file = std::move(text);
    const std::string_view data = doc.m_file;
    std::size_t pos = 0;
    if (StartsWith(data, "\xEF\xBB\xBF")) {
        pos = 3;
    }
    std::size_t current = 0;
    doc.FindOrAdd("");
    std::string_view line;
    std::size_t equals = 0;
    while (ReadLine(data, pos, line, equals)) {
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            std::string_view name =
                Trimmed(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
            std::string section;
            if (EqualsIgnoreCaseAscii(name, "general")) {
                section.clear();
            } else if (EqualsIgnoreCaseAscii(name, "%general")) {
                section = std::string(name.substr(1));
            } else {
                section = NameAsItReadsBack(UnescapeName(name));
            }
            // Every other spelling of "general" is written back as
            // "[%General]", so it is read as that one section from the
            // start: two of them would otherwise merge at the next load, and
            // the second save would differ from the first.
            if (EqualsIgnoreCaseAscii(section, "general")) {
                section = "General";
            }
            Section& s = doc.FindOrAdd(section);
            current = static_cast<std::size_t>(&s - doc.m_sections.data());
            // Room for the lines up to the next header at once: growing on
            // the way would move a long section's values again and again.
            const std::size_t next = data.find("\n[", pos);
            const auto end =
                data.begin() + static_cast<std::ptrdiff_t>(next == std::string_view::npos ? data.size() : next);
            Reserve(s, s.entries.size() + static_cast<std::size_t>(
                                              std::count(data.begin() + static_cast<std::ptrdiff_t>(pos), end, '\n')));
            continue;
        }
        if (equals == std::string_view::npos) {
            continue;  // neither a section nor a value: ignored
        }
        doc.PutRead(doc.m_sections[current], Trimmed(line.substr(0, equals)), line.substr(equals + 1));
    }
    return doc;
}

void IniDocument::PutRead(Section& s, std::string_view key, std::string_view raw)
{
    const auto spanOf = [this](std::string_view text) {
        return Span{static_cast<std::uint32_t>(text.data() - m_file.data()), static_cast<std::uint32_t>(text.size())};
    };
    std::string written;
    const bool keyAsIs = SpelledAsWritten(key) || (written = WrittenSpelling(key)) == key;
    // A value whose end can reach past the writer's line feed is kept as
    // it will read back once written (its quote closed where it ended).
    std::string settled;
    bool rawAsIs = raw.find_first_of("\\\"\r\n") == std::string_view::npos;
    if (!rawAsIs) {
        settled = RawThatReadsBack(std::string(raw) + (QuoteLeftOpen(raw) ? "\"" : ""));
        rawAsIs = settled == raw;
    }
    const Span nameSpan = spanOf(key);
    const Span rawSpan = spanOf(raw);
    Put(s, keyAsIs ? key : std::string_view(written), rawAsIs ? raw : std::string_view(settled),
        keyAsIs ? &nameSpan : nullptr, rawAsIs ? &rawSpan : nullptr);
}

std::string IniDocument::Serialize() const
{
    std::string out;
    for (const Lines& piece : SerializePieces({})) {
        out += *piece;
    }
    return out;
}

std::vector<IniDocument::Lines> IniDocument::SerializePieces(const LinesOf& linesOf) const
{
    std::size_t estimate = 0;
    std::vector<Lines> lines(m_sections.size());
    for (std::size_t k = 0; k < m_sections.size(); ++k) {
        for (const Entry& e : m_sections[k].entries) {
            estimate += e.name.size + e.raw.size + 2;
        }
        if (linesOf) {
            lines[k] = linesOf(m_sections[k].name);
        }
    }
    std::vector<Lines> pieces;
    auto own = std::make_shared<std::string>();
    own->reserve(estimate + m_sections.size() * 16);
    bool first = true;
    for (std::size_t k = 0; k < m_sections.size(); ++k) {
        const Section& s = m_sections[k];
        const Lines& extra = lines[k];
        if (s.entries.empty() && (extra == nullptr || extra->empty())) {
            continue;
        }
        std::string& out = *own;
        if (!first) {
            out += '\n';
        }
        first = false;
        out += '[';
        if (s.name.empty()) {
            out += "General";
        } else if (EqualsIgnoreCaseAscii(s.name, "general")) {
            out += "%General";
        } else {
            out += EscapeName(s.name);
        }
        out += "]\n";
        for (const Entry& e : s.entries) {
            out += View(e.name);
            out += '=';
            out += View(e.raw);
            out += '\n';
        }
        if (extra != nullptr && !extra->empty()) {
            pieces.push_back(std::move(own));
            pieces.push_back(extra);
            own = std::make_shared<std::string>();
        }
    }
    if (!own->empty()) {
        pieces.push_back(std::move(own));
    }
    return pieces;
}

IniDocument::Section* IniDocument::Find(std::string_view section)
{
    for (Section& s : m_sections) {
        if (s.name == section) {
            return &s;
        }
    }
    return nullptr;
}

const IniDocument::Section* IniDocument::Find(std::string_view section) const
{
    return const_cast<IniDocument*>(this)->Find(section);
}

IniDocument::Section& IniDocument::FindOrAdd(std::string_view section)
{
    if (Section* s = Find(section)) {
        return *s;
    }
    m_sections.push_back(Section{std::string(section), {}, {}});
    return m_sections.back();
}

std::string_view IniDocument::View(Span span) const
{
    const std::string& text = (span.at & kOwn) != 0 ? m_own : m_file;
    return std::string_view(text).substr(span.at & ~kOwn, span.size);
}

IniDocument::Span IniDocument::Keep(std::string_view text)
{
    if (m_own.size() + text.size() > kMaxText) {
        throw std::length_error("the settings have grown past " + std::to_string(kMaxText) + " bytes");
    }
    const Span span{static_cast<std::uint32_t>(m_own.size()) | kOwn, static_cast<std::uint32_t>(text.size())};
    m_own.append(text);
    return span;
}

std::size_t IniDocument::SlotOf(const Section& s, std::string_view written, std::uint32_t hash) const
{
    std::size_t slot = HomeSlot(hash, s.buckets.size());
    while (s.buckets[slot].index != 0 &&
           (s.buckets[slot].hash != hash || View(s.entries[s.buckets[slot].index - 1].name) != written)) {
        slot = slot + 1 == s.buckets.size() ? 0 : slot + 1;
    }
    return slot;
}

void IniDocument::Rehash(Section& s, std::size_t slots)
{
    std::vector<Section::Slot> old = std::exchange(s.buckets, std::vector<Section::Slot>(slots));
    for (const Section::Slot& one : old) {
        if (one.index == 0) {
            continue;
        }
        std::size_t slot = HomeSlot(one.hash, slots);
        while (s.buckets[slot].index != 0) {
            slot = slot + 1 == slots ? 0 : slot + 1;
        }
        s.buckets[slot] = one;
    }
}

void IniDocument::Reserve(Section& s, std::size_t count)
{
    s.entries.reserve(count);
    if (TooFull(count, s.buckets.size())) {
        Rehash(s, std::max<std::size_t>(16, count + count / 3 + 1));
    }
}

const IniDocument::Entry* IniDocument::Lookup(const Section& s, std::string_view written) const
{
    if (s.buckets.empty()) {
        return nullptr;
    }
    // Names are unique in a section, so a name found anywhere is the one.
    const std::size_t count = s.entries.size();
    const std::size_t next = std::size_t{s.lastFound} + 1;
    const std::size_t from = s.lastFound > kNearBefore ? s.lastFound - kNearBefore : 0;
    for (std::size_t k = next, n = 0; k < count && k <= s.lastFound + kNearAfter; k = from + n++) {
        const Span name = s.entries[k].name;
        if (name.size == written.size() && View(name) == written) {
            s.lastFound = static_cast<std::uint32_t>(k);
            return &s.entries[k];
        }
    }
    const std::uint32_t index = s.buckets[SlotOf(s, written, HashOf(written))].index;
    if (index == 0) {
        return nullptr;
    }
    s.lastFound = index - 1;
    return &s.entries[index - 1];
}

void IniDocument::Put(Section& s, std::string_view written, std::string_view raw, const Span* nameSpan,
                      const Span* rawSpan)
{
    if (TooFull(s.entries.size() + 1, s.buckets.size())) {
        Rehash(s, std::max<std::size_t>(16, s.buckets.size() * 2));
    }
    const std::uint32_t hash = HashOf(written);
    Section::Slot& slot = s.buckets[SlotOf(s, written, hash)];
    const Span value = rawSpan != nullptr ? *rawSpan : Keep(raw);
    if (slot.index != 0) {
        Entry& entry = s.entries[slot.index - 1];
        m_dead += entry.raw.size + (nameSpan != nullptr ? nameSpan->size : 0);
        entry.raw = value;
        return;
    }
    s.entries.push_back(Entry{nameSpan != nullptr ? *nameSpan : Keep(written), value});
    slot = Section::Slot{static_cast<std::uint32_t>(s.entries.size()), hash};
}

void IniDocument::Forget(Section& s, bool keepRoom)
{
    for (const Entry& e : s.entries) {
        m_dead += e.name.size + e.raw.size;
    }
    if (keepRoom) {
        s.entries.clear();
        std::fill(s.buckets.begin(), s.buckets.end(), Section::Slot{});
    } else {
        s.entries = {};
        s.buckets = {};
    }
}

void IniDocument::CompactIfWasteful()
{
    const std::size_t held = m_file.size() + m_own.size();
    if (m_dead < (std::size_t{64} << 10) || m_dead * 2 < held) {
        return;
    }
    std::string own;
    own.reserve(held - m_dead);
    auto move = [&](Span& span) {
        const std::string_view text = View(span);
        span = Span{static_cast<std::uint32_t>(own.size()) | kOwn, span.size};
        own.append(text);
    };
    for (Section& s : m_sections) {
        for (Entry& e : s.entries) {
            move(e.name);
            move(e.raw);
        }
    }
    m_own = std::move(own);
    m_file = std::string();
    m_dead = 0;
}

void IniDocument::ShownName(Span written, std::string& out) const
{
    const std::string_view text = View(written);
    // Most names read as they are spelled.
    if (text.find_first_of("%/") == std::string_view::npos) {
        out.assign(text);
    } else {
        UnescapeNameInto(out, text);
    }
}

std::optional<std::string_view> IniDocument::Raw(std::string_view section, std::string_view name) const
{
    const Section* s = Find(section);
    if (s == nullptr) {
        return std::nullopt;
    }
    const Entry* entry = Lookup(*s, Written(name));
    if (entry == nullptr) {
        return std::nullopt;
    }
    return View(entry->raw);
}

std::optional<IniDocument::Value> IniDocument::Get(std::string_view section, std::string_view name) const
{
    const auto raw = Raw(section, name);
    if (!raw) {
        return std::nullopt;
    }
    return UnescapeValue(*raw);
}

void IniDocument::Set(std::string_view section, std::string_view name, std::string_view text)
{
    Section& s = FindOrAdd(section);
    Put(s, Written(name), EscapeText(text));
    CompactIfWasteful();
}

void IniDocument::SetInt(std::string_view section, std::string_view name, std::int32_t value)
{
    Section& s = FindOrAdd(section);
    Put(s, Written(name), std::to_string(value));
    CompactIfWasteful();
}

void IniDocument::RemoveSection(std::string_view section)
{
    if (Section* s = Find(section)) {
        Forget(*s, true);  // keeps its room: it is usually written again at once
        CompactIfWasteful();
    }
}

void IniDocument::EmptySection(std::string_view section)
{
    Forget(FindOrAdd(section), false);
    CompactIfWasteful();
}

void IniDocument::AppendLines(std::string_view section, std::string_view lines)
{
    // Lines hold no section header (a name's "[" is escaped), so they all
    // parse into the first one.
    const IniDocument parsed = Parse(lines);
    Section& s = FindOrAdd(section);
    for (const Entry& e : parsed.m_sections.front().entries) {
        Put(s, parsed.View(e.name), parsed.View(e.raw));
    }
    CompactIfWasteful();
}

void IniDocument::ForEachName(std::string_view section, const std::function<void(const std::string&)>& visit) const
{
    if (const Section* s = Find(section)) {
        std::string name;
        for (const Entry& e : s->entries) {
            ShownName(e.name, name);
            visit(name);
        }
    }
}

std::vector<std::string> IniDocument::Names(std::string_view section) const
{
    std::vector<std::string> names;
    if (const Section* s = Find(section)) {
        names.reserve(s->entries.size());
        for (const Entry& e : s->entries) {
            ShownName(e.name, names.emplace_back());
        }
    }
    return names;
}

}  // namespace dromo
