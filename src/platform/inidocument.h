#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/iniindex.h"
#include "platform/initext.h"

namespace dromo {

// The profile's INI text in memory, in the dialect QSettings reads and
// writes (IniFormat; IniText spells its names and values): "[Section]"
// headers; "[General]" holds values outside any section and a section
// really named "General" is "[%General]".
//
// Values are kept as they stand in the file and decoded when read, so a
// value nobody writes (a list, a typed "@Variant(...)") goes back out
// exactly as it came in, and loading costs little more than reading: the
// file's text is kept whole and names and values point into it, so a long
// task list is held once, not once more as a string per value. Names are
// kept as they are written, so two that are written alike ("a/b", "a\b")
// are one value from the start, as they would be from the next load on.
// QSettings sorts names when it writes; here the order they were written in
// is kept, which it reads the same.
class IniDocument {
public:
    using Value = IniText::Value;

    // The longest text a document holds: a file longer than this is no
    // profile (it is read up to here).
    static constexpr std::size_t kMaxText = std::size_t{1} << 30;

    static IniDocument Parse(std::string_view text);
    // The same, keeping the text itself (no copy of a long file).
    static IniDocument ParseKeeping(std::string text);
    std::string Serialize() const;
    // The whole text in pieces: the document's own, and after a section's
    // values the lines `linesOf` gives for it (made elsewhere by
    // IniText::AppendLine, in pieces of whole lines, not copied); null for
    // none.
    using Lines = std::shared_ptr<const std::string>;
    using Pieces = std::vector<Lines>;
    using LinesOf = std::function<const Pieces*(const std::string& section)>;
    Pieces SerializePieces(const LinesOf& linesOf) const;

    // The raw (escaped) value, or nothing when missing; good until the
    // document next changes.
    std::optional<std::string_view> Raw(std::string_view section, std::string_view name) const;
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

private:
    // Where a name or a raw value lies: in the file's text as read, or
    // (top bit set) in the text the document wrote itself since.
    struct Span {
        std::uint32_t at = 0;
        std::uint32_t size = 0;
    };
    // The name in its written spelling (escaped, as EscapeName gives it), so
    // most names and values of a long file are the file's own bytes: a
    // value costs 16 bytes and its slot, not two strings of its own.
    struct Entry {
        Span name;
        Span raw;
    };
    // A section's values in the order first written, and their index by name.
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        IniIndex index;
    };
    static constexpr std::uint32_t kOwn = 0x80000000u;

    Section* Find(std::string_view section);
    const Section* Find(std::string_view section) const;
    Section& FindOrAdd(std::string_view section);

    std::string_view View(Span span) const;
    Span Keep(std::string_view text);
    // The entry under a name in its written spelling; null when missing.
    const Entry* Lookup(const Section& s, std::string_view written) const;
    // Stores a value under a name in its written spelling: both spans are
    // the document's already, or (null) the texts are kept first.
    void Put(Section& s, std::string_view written, std::string_view raw, const Span* nameSpan = nullptr,
             const Span* rawSpan = nullptr);
    // A value line as the file holds it, into the section being read.
    void PutRead(Section& s, std::string_view key, std::string_view raw);
    void Forget(Section& s, bool keepRoom);
    // Writes the live texts anew once more than half of what is held is
    // dead (a section emptied, values set again and again).
    void CompactIfWasteful();
    // The name as callers know it, into `out`.
    void ShownName(Span written, std::string& out) const;

    std::vector<Section> m_sections;
    std::string m_file;      // the text read, kept whole while values point into it
    std::string m_own;       // names and values written since, and those read in another spelling
    std::size_t m_dead = 0;  // bytes of both no entry points to any more
};

}  // namespace dromo
