#include "platform/initext.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

namespace dromo {
namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
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

bool IsPlainNameChar(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.';
}

bool IsUpperHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::string_view IniText::Trimmed(std::string_view s)
{
    while (!s.empty() && IsSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool IniText::EqualsIgnoreCaseAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

bool IniText::ReadLine(std::string_view data, std::size_t& pos, std::string_view& line, std::size_t& equals)
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

bool IniText::QuoteLeftOpen(std::string_view raw)
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

std::string IniText::RawThatReadsBack(std::string raw)
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

std::string IniText::NameAsItReadsBack(std::string name)
{
    if (std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return name;
    }
    return UnescapeName(EscapeName(name));
}

bool IniText::SpelledAsWritten(std::string_view name)
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

std::string IniText::WrittenSpelling(std::string_view name)
{
    return EscapeName(UnescapeName(name));
}

std::string IniText::EscapeName(std::string_view name)
{
    std::string out;
    out.reserve(name.size() + 8);
    AppendEscapedName(out, name);
    return out;
}

void IniText::AppendEscapedName(std::string& out, std::string_view name)
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

std::string IniText::UnescapeName(std::string_view escaped)
{
    std::string out;
    UnescapeNameInto(out, escaped);
    return out;
}

void IniText::UnescapeNameInto(std::string& out, std::string_view escaped)
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

std::string IniText::EscapeText(std::string_view text)
{
    std::string out;
    AppendEscapedText(out, text);
    return out;
}

void IniText::AppendLine(std::string& out, std::string_view name, std::string_view text)
{
    AppendEscapedName(out, name);
    out += '=';
    AppendEscapedText(out, text);
    out += '\n';
}

void IniText::AppendLine(std::string& out, std::string_view name, std::int32_t value)
{
    AppendEscapedName(out, name);
    out += '=';
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    out += '\n';
}

void IniText::AppendEscapedText(std::string& out, std::string_view text)
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

std::optional<IniText::Value> IniText::UnescapeValue(std::string_view raw)
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

}  // namespace dromo
