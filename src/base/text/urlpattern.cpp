#include "base/text/urlpattern.h"

#include <cctype>
#include <cstdint>
#include <limits>
#include <optional>

namespace dromo {
namespace {

// One piece of a pattern: plain text (a set of one), a set, or a range.
struct Piece {
    enum class Kind { Set, Numbers, Letters } kind = Kind::Set;
    std::vector<std::string> choices;  // Set
    std::uint64_t first = 0;           // Numbers and Letters (a letter's code)
    std::uint64_t last = 0;
    std::uint64_t step = 1;
    std::size_t width = 0;  // Numbers: zero-padded to this many digits

    std::uint64_t Count() const { return kind == Kind::Set ? choices.size() : (last - first) / step + 1; }
    std::string Choice(std::uint64_t index) const
    {
        if (kind == Kind::Set) {
            return choices[index];
        }
        const std::uint64_t value = first + index * step;
        if (kind == Kind::Letters) {
            return std::string(1, static_cast<char>(value));
        }
        std::string digits = std::to_string(value);
        if (digits.size() < width) {
            digits.insert(0, width - digits.size(), '0');
        }
        return digits;
    }
};

struct Parsed {
    std::vector<Piece> pieces;
    bool patterned = false;
    std::string error;
};

std::string At(std::size_t index)
{
    return std::to_string(index + 1);
}

bool Escapable(char c)
{
    return c == '[' || c == ']' || c == '{' || c == '}' || c == ',' || c == '\\';
}

// Where the host begins: after "scheme://" and any "user:password@".
std::size_t HostStart(const std::string& text)
{
    const std::size_t scheme = text.find("://");
    if (scheme == std::string::npos) {
        return std::string::npos;
    }
    const std::size_t start = scheme + 3;
    const std::size_t end = std::min(text.find('/', start), text.size());
    const std::size_t at = text.rfind('@', end == 0 ? 0 : end - 1);
    return at != std::string::npos && at >= start ? at + 1 : start;
}

// The length of a bracketed IPv6 host at `open` ("[::1]", "[fe80::1%eth0]"),
// or 0: hex digits, colons and dots, an optional zone after "%", at least
// one colon and no "-", which every range has.
std::size_t Ipv6HostLength(const std::string& text, std::size_t open)
{
    const std::size_t close = text.find(']', open);
    if (open != HostStart(text) || close == std::string::npos) {
        return 0;
    }
    bool colon = false;
    bool zone = false;
    for (std::size_t i = open + 1; i < close; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '%') {
            zone = true;
        } else if (zone ? !(std::isalnum(c) || c == '.' || c == '_' || c == '~')
                        : !(std::isxdigit(c) || c == ':' || c == '.')) {
            return 0;
        }
        colon = colon || c == ':';
    }
    return colon ? close - open + 1 : 0;
}

std::optional<std::uint64_t> Number(const std::string& digits)
{
    // 18 digits fit in 64 bits with room for the step's sum.
    if (digits.empty() || digits.size() > 18) {
        return std::nullopt;
    }
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
    }
    return std::stoull(digits);
}

bool OneLetter(const std::string& s)
{
    return s.size() == 1 && std::isalpha(static_cast<unsigned char>(s[0]));
}

// "[first-last]" or "[first-last:step]"; the text between the brackets.
std::string ReadRange(const std::string& body, std::size_t open, Piece& piece)
{
    const std::string shown = "\"[" + body + "]\" at character " + At(open);
    const std::string kinds =
        " is not a range: use numbers (\"[1-20]\", \"[001-120]\") or letters of one case "
        "(\"[a-f]\"), with an optional step (\"[0-100:10]\").";
    const std::size_t dash = body.find('-', 1);
    if (dash == std::string::npos) {
        return shown + kinds;
    }
    const std::size_t colon = body.find(':', dash);
    const std::string from = body.substr(0, dash);
    const std::string to = body.substr(dash + 1, colon == std::string::npos ? std::string::npos : colon - dash - 1);
    if (colon != std::string::npos) {
        const auto step = Number(body.substr(colon + 1));
        if (!step || *step == 0) {
            return "The step of " + shown + " must be a whole number of at least 1.";
        }
        piece.step = *step;
    }
    const auto a = Number(from);
    const auto b = Number(to);
    if (a && b) {
        piece.kind = Piece::Kind::Numbers;
        piece.first = *a;
        piece.last = *b;
        piece.width = from.size() > 1 && from[0] == '0' ? from.size() : 0;
    } else if (OneLetter(from) && OneLetter(to) &&
               (std::isupper(static_cast<unsigned char>(from[0])) != 0) ==
                   (std::isupper(static_cast<unsigned char>(to[0])) != 0)) {
        piece.kind = Piece::Kind::Letters;
        piece.first = static_cast<unsigned char>(from[0]);
        piece.last = static_cast<unsigned char>(to[0]);
    } else if (from.size() > 18 || to.size() > 18) {
        return shown + " has a number too large to count to.";
    } else {
        return shown + kinds;
    }
    if (piece.first > piece.last) {
        return shown + " counts backwards; write \"[" + to + "-" + from + "]\".";
    }
    return "";
}

class Parser {
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    Parsed Run()
    {
        for (m_at = 0; m_at < m_text.size() && m_out.error.empty(); ++m_at) {
            const char c = m_text[m_at];
            if (c == '\\' && m_at + 1 < m_text.size() && Escapable(m_text[m_at + 1])) {
                m_literal += m_text[++m_at];
            } else if (c == '[' && Ipv6HostLength(m_text, m_at) > 0) {
                const std::size_t length = Ipv6HostLength(m_text, m_at);
                m_literal += m_text.substr(m_at, length);
                m_at += length - 1;
            } else if (c == '[' || c == '{') {
                m_out.patterned = true;
                EndLiteral();
                c == '[' ? Bracket() : Brace();
            } else if (c == ']' || c == '}') {
                m_out.patterned = true;
                m_out.error = Quoted(c) + " at character " + At(m_at) + " closes nothing; write \"\\" +
                              std::string(1, c) + "\" for the character itself.";
            } else {
                m_literal += c;
            }
        }
        EndLiteral();
        return std::move(m_out);
    }

private:
    static std::string Quoted(char c) { return std::string("\"") + c + "\""; }

    void EndLiteral()
    {
        if (!m_literal.empty()) {
            Piece piece;
            piece.choices.push_back(std::move(m_literal));
            m_out.pieces.push_back(std::move(piece));
            m_literal.clear();
        }
    }

    // The position of `close` after `open`, or npos with the error set: the
    // end of the text, or another pattern opening inside this one.
    std::size_t FindClose(std::size_t open, char close)
    {
        for (std::size_t i = open + 1; i < m_text.size(); ++i) {
            const char c = m_text[i];
            if (c == '\\' && i + 1 < m_text.size() && Escapable(m_text[i + 1])) {
                ++i;
            } else if (c == close) {
                return i;
            } else if (c == '[' || c == '{') {
                m_out.error = "Patterns do not nest: " + Quoted(c) + " at character " + At(i) + " is inside " +
                              Quoted(m_text[open]) + " at character " + At(open) + ".";
                return std::string::npos;
            }
        }
        m_out.error = Quoted(m_text[open]) + " at character " + At(open) + " has no closing " + Quoted(close) + ".";
        return std::string::npos;
    }

    void Bracket()
    {
        const std::size_t open = m_at;
        const std::size_t close = FindClose(open, ']');
        if (close == std::string::npos) {
            return;
        }
        Piece piece;
        m_out.error = ReadRange(m_text.substr(open + 1, close - open - 1), open, piece);
        m_out.pieces.push_back(std::move(piece));
        m_at = close;
    }

    void Brace()
    {
        const std::size_t open = m_at;
        const std::size_t close = FindClose(open, '}');
        if (close == std::string::npos) {
            return;
        }
        if (close == open + 1) {
            m_out.error = "\"{}\" at character " + At(open) + " offers nothing to choose from.";
            return;
        }
        Piece piece;
        std::string choice;
        for (std::size_t i = open + 1; i < close; ++i) {
            if (m_text[i] == '\\' && Escapable(m_text[i + 1])) {
                choice += m_text[++i];
            } else if (m_text[i] == ',') {
                piece.choices.push_back(std::move(choice));
                choice.clear();
            } else {
                choice += m_text[i];
            }
        }
        piece.choices.push_back(std::move(choice));
        m_out.pieces.push_back(std::move(piece));
        m_at = close;
    }

    const std::string& m_text;
    std::size_t m_at = 0;
    std::string m_literal;
    Parsed m_out;
};

}  // namespace

bool HasUrlPattern(const std::string& text)
{
    return Parser(text).Run().patterned;
}

UrlExpansion ExpandUrlPattern(const std::string& pattern, std::size_t most)
{
    Parsed parsed = Parser(pattern).Run();
    if (!parsed.error.empty()) {
        return {{}, std::move(parsed.error)};
    }
    // Counted before anything is made; a product beyond 64 bits is only "more".
    std::uint64_t total = 1;
    bool uncountable = false;
    for (const Piece& piece : parsed.pieces) {
        const std::uint64_t count = piece.Count();
        uncountable = uncountable || total > std::numeric_limits<std::uint64_t>::max() / count;
        total = uncountable ? total : total * count;
    }
    if (uncountable || total > most) {
        const std::string howMany = uncountable ? "more than " + std::to_string(most) : std::to_string(total);
        return {{}, "The pattern makes " + howMany + " URLs; Dromo adds at most " + std::to_string(most) + " at once."};
    }
    UrlExpansion out;
    out.urls.reserve(total);
    std::vector<std::uint64_t> index(parsed.pieces.size(), 0);
    for (std::uint64_t n = 0; n < total; ++n) {
        std::string url;
        for (std::size_t p = 0; p < parsed.pieces.size(); ++p) {
            url += parsed.pieces[p].Choice(index[p]);
        }
        out.urls.push_back(std::move(url));
        // The last piece turns fastest, like an odometer.
        for (std::size_t p = parsed.pieces.size(); p-- > 0;) {
            if (++index[p] < parsed.pieces[p].Count()) {
                break;
            }
            index[p] = 0;
        }
    }
    return out;
}

}  // namespace dromo
