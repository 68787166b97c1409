#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dromo {

// How the profile's INI text spells names and values, in the dialect
// QSettings reads and writes (IniFormat), so a profile written here loads in
// any version that used QSettings and the other way round:
//  - names escaped byte by byte: letters, digits, "_", "-" and "." stay,
//    a backslash stays (it separates the parts of a name) but at the end,
//    anything else is "%XX" (or "%UXXXX" beyond Latin-1);
//  - values in UTF-8 with C-style escapes, quoted when they hold ";", ","
//    or "=" or begin or end with a blank; a text beginning with "@" gets a
//    second "@"; an unquoted "," makes a list;
//  - ";" begins a comment, a backslash at the end of a line continues it.
// The codec is open for tests against QSettings itself.
class IniText {
public:
    // What a stored value reads as.
    struct Value {
        std::string text;
        // A list, a byte array or a typed variant: never read as a number.
        bool plainText = true;
    };

    static std::string EscapeName(std::string_view name);
    static void AppendEscapedName(std::string& out, std::string_view name);
    static std::string UnescapeName(std::string_view escaped);
    static void UnescapeNameInto(std::string& out, std::string_view escaped);
    static std::string EscapeText(std::string_view text);
    static void AppendEscapedText(std::string& out, std::string_view text);
    // One value's line, "name=value" and the line feed, exactly as a
    // document writes the value once it is set.
    static void AppendLine(std::string& out, std::string_view name, std::string_view text);
    static void AppendLine(std::string& out, std::string_view name, std::int32_t value);
    // The decoded value; nothing for "@Invalid()".
    static std::optional<Value> UnescapeValue(std::string_view raw);

    // Reading a file's text.
    //
    // One logical line from `pos`: leading blanks skipped, a comment line
    // skipped whole, ended by a line break or ";" outside quotes; a backslash
    // takes the next character (a line break too) into the line. `equals` is
    // the first "=" outside quotes, or npos.
    static bool ReadLine(std::string_view data, std::size_t& pos, std::string_view& line, std::size_t& equals);
    static std::string_view Trimmed(std::string_view s);
    static bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b);
    // Whether a value leaves a quote open. Only the file's last line can: its
    // quote ran to the end of the text. Written as it is, with the line break
    // after it, such a value would take every line after it into itself.
    static bool QuoteLeftOpen(std::string_view raw);
    // A value as it will be written: followed by the writer's line feed, the
    // value must read back as itself, or each save would read (and then write)
    // something else. What a continuation or escaped break at its end makes of
    // that line feed is what the next load would see, so that is what is kept.
    static std::string RawThatReadsBack(std::string raw);
    // A name with bytes that are no UTF-8 is written with each such byte as the
    // character of that number, so it reads back as another name, one that a
    // second section (or key) may already have: taken as it will read back from
    // the first load on, the two merge now and not at the next save.
    static std::string NameAsItReadsBack(std::string name);
    // Whether a name as the file spells it is spelled as EscapeName writes the
    // name it reads as, told without decoding it (true for the names the
    // program writes); false when unsure.
    static bool SpelledAsWritten(std::string_view name);
    // The spelling EscapeName gives the name the file's spelling reads as.
    static std::string WrittenSpelling(std::string_view name);
};

}  // namespace dromo
