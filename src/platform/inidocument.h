#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dromo {

// The profile's INI text in memory, in the dialect QSettings reads and
// writes (IniFormat), so a profile written here loads in any version that
// used QSettings and the other way round:
//  - "[Section]" headers; "[General]" holds values outside any section and
//    a section really named "General" is "[%General]";
//  - names escaped byte by byte: letters, digits, "_", "-" and "." stay,
//    a backslash stays (it separates the parts of a name) but at the end,
//    anything else is "%XX" (or "%UXXXX" beyond Latin-1);
//  - values in UTF-8 with C-style escapes, quoted when they hold ";", ","
//    or "=" or begin or end with a blank; a text beginning with "@" gets a
//    second "@"; an unquoted "," makes a list;
//  - ";" begins a comment, a backslash at the end of a line continues it.
//
// Values are kept as they stand in the file and decoded when read, so a
// value nobody writes (a list, a typed "@Variant(...)") goes back out
// exactly as it came in, and loading costs little more than reading.
// QSettings sorts names when it writes; here the order they were written in
// is kept, which it reads the same.
class IniDocument {
public:
    // What a stored value reads as.
    struct Value {
        std::string text;
        // A list, a byte array or a typed variant: never read as a number.
        bool plainText = true;
    };

    static IniDocument Parse(std::string_view text);
    std::string Serialize() const;
    // The whole text in pieces: the document's own, and after a section's
    // values the lines `linesOf` gives for it (made elsewhere by AppendLine,
    // not copied); null for none.
    using Lines = std::shared_ptr<const std::string>;
    using LinesOf = std::function<Lines(const std::string& section)>;
    std::vector<Lines> SerializePieces(const LinesOf& linesOf) const;

    // The raw (escaped) value, or null when missing.
    const std::string* Raw(std::string_view section, std::string_view name) const;
    // The decoded value; nothing when missing (or "@Invalid()").
    std::optional<Value> Get(std::string_view section, std::string_view name) const;
    void Set(std::string_view section, std::string_view name, std::string_view text);
    void SetInt(std::string_view section, std::string_view name, std::int32_t value);
    void RemoveSection(std::string_view section);
    // Empties a section and gives its memory back, adding it (at the end,
    // where its first value would put it) when missing: its values will come
    // as lines from elsewhere (see Serialize).
    void EmptySection(std::string_view section);
    // Takes lines as AppendLine writes them (or as a section holds them in
    // a file) into the section, as if each value were set in turn.
    void AppendLines(std::string_view section, std::string_view lines);
    std::vector<std::string> Names(std::string_view section) const;
    void ForEachName(std::string_view section, const std::function<void(const std::string&)>& visit) const;

    // The codec, open for tests against QSettings itself.
    static std::string EscapeName(std::string_view name);
    static void AppendEscapedName(std::string& out, std::string_view name);
    static std::string UnescapeName(std::string_view escaped);
    static std::string EscapeText(std::string_view text);
    static void AppendEscapedText(std::string& out, std::string_view text);
    // One value's line, "name=value" and the line feed, exactly as
    // Serialize writes the value once Set (or SetInt) stored it.
    static void AppendLine(std::string& out, std::string_view name, std::string_view text);
    static void AppendLine(std::string& out, std::string_view name, std::int32_t value);
    static std::optional<Value> UnescapeValue(std::string_view raw);

private:
    struct Entry {
        std::string name;
        std::string raw;
    };
    // A section's values in the order first written, with an open-addressing
    // index over them: a save rewrites the task section's 240,000 values for
    // 10,000 tasks, and a node-based map spends most of that time missing
    // the cache.
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        // Each slot keeps its name's hash beside the entry, so a probe or a
        // rehash touches an entry (and its name) only when the hashes match.
        struct Slot {
            std::uint32_t index = 0;  // entry index + 1; 0 is free
            std::uint32_t hash = 0;
        };
        std::vector<Slot> buckets;

        const Entry* Lookup(std::string_view key) const;
        void Put(std::string key, std::string raw);
        void Clear();
        // Room for this many values without growing on the way.
        void Reserve(std::size_t count);

    private:
        std::size_t SlotOf(std::string_view key, std::uint32_t hash) const;
        void Rehash(std::size_t slots);
    };
    Section* Find(std::string_view section);
    const Section* Find(std::string_view section) const;
    Section& FindOrAdd(std::string_view section);

    std::vector<Section> m_sections;
};

}  // namespace dromo
