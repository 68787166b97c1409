#include "platform/inidocument.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/initext.h"

namespace dromo {
namespace {

// A lookup's name in its written spelling, in a buffer of the thread's own:
// a load looks up every value of the file.
std::string_view Written(std::string_view name)
{
    thread_local std::string written;
    written.clear();
    IniText::AppendEscapedName(written, name);
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
    if (data.starts_with("\xEF\xBB\xBF")) {
        pos = 3;
    }
    std::size_t current = 0;
    doc.FindOrAdd("");
    std::string_view line;
    std::size_t equals = 0;
    while (IniText::ReadLine(data, pos, line, equals)) {
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            std::string_view name =
                IniText::Trimmed(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
            std::string section;
            if (IniText::EqualsIgnoreCaseAscii(name, "general")) {
                section.clear();
            } else if (IniText::EqualsIgnoreCaseAscii(name, "%general")) {
                section = std::string(name.substr(1));
            } else {
                section = IniText::NameAsItReadsBack(IniText::UnescapeName(name));
            }
            // Every other spelling of "general" is written back as
            // "[%General]", so it is read as that one section from the
            // start: two of them would otherwise merge at the next load, and
            // the second save would differ from the first.
            if (IniText::EqualsIgnoreCaseAscii(section, "general")) {
                section = "General";
            }
            Section& s = doc.FindOrAdd(section);
            current = static_cast<std::size_t>(&s - doc.m_sections.data());
            // Room for the lines up to the next header at once: growing on
            // the way would move a long section's values again and again.
            const std::size_t next = data.find("\n[", pos);
            const auto end =
                data.begin() + static_cast<std::ptrdiff_t>(next == std::string_view::npos ? data.size() : next);
            const std::size_t count =
                s.entries.size() +
                static_cast<std::size_t>(std::count(data.begin() + static_cast<std::ptrdiff_t>(pos), end, '\n'));
            s.entries.reserve(count);
            s.index.Reserve(count);
            continue;
        }
        if (equals == std::string_view::npos) {
            continue;  // neither a section nor a value: ignored
        }
        doc.PutRead(doc.m_sections[current], IniText::Trimmed(line.substr(0, equals)), line.substr(equals + 1));
    }
    return doc;
}

void IniDocument::PutRead(Section& s, std::string_view key, std::string_view raw)
{
    const auto spanOf = [this](std::string_view text) {
        return Span{static_cast<std::uint32_t>(text.data() - m_file.data()), static_cast<std::uint32_t>(text.size())};
    };
    std::string written;
    const bool keyAsIs = IniText::SpelledAsWritten(key) || (written = IniText::WrittenSpelling(key)) == key;
    // A value whose end can reach past the writer's line feed is kept as
    // it will read back once written (its quote closed where it ended).
    std::string settled;
    bool rawAsIs = raw.find_first_of("\\\"\r\n") == std::string_view::npos;
    if (!rawAsIs) {
        settled = IniText::RawThatReadsBack(std::string(raw) + (IniText::QuoteLeftOpen(raw) ? "\"" : ""));
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

IniDocument::Pieces IniDocument::SerializePieces(const LinesOf& linesOf) const
{
    std::size_t estimate = 0;
    std::vector<const Pieces*> lines(m_sections.size(), nullptr);
    for (std::size_t k = 0; k < m_sections.size(); ++k) {
        for (const Entry& e : m_sections[k].entries) {
            estimate += e.name.size + e.raw.size + 2;
        }
        if (linesOf) {
            lines[k] = linesOf(m_sections[k].name);
        }
    }
    const auto holdsLines = [](const Pieces* extra) {
        return extra != nullptr &&
               std::any_of(extra->begin(), extra->end(), [](const Lines& piece) { return !piece->empty(); });
    };
    Pieces pieces;
    auto own = std::make_shared<std::string>();
    own->reserve(estimate + m_sections.size() * 16);
    bool first = true;
    for (std::size_t k = 0; k < m_sections.size(); ++k) {
        const Section& s = m_sections[k];
        const bool extra = holdsLines(lines[k]);
        if (s.entries.empty() && !extra) {
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
        } else if (IniText::EqualsIgnoreCaseAscii(s.name, "general")) {
            out += "%General";
        } else {
            out += IniText::EscapeName(s.name);
        }
        out += "]\n";
        for (const Entry& e : s.entries) {
            out += View(e.name);
            out += '=';
            out += View(e.raw);
            out += '\n';
        }
        if (extra) {
            pieces.push_back(std::move(own));
            for (const Lines& piece : *lines[k]) {
                if (!piece->empty()) {
                    pieces.push_back(piece);
                }
            }
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

const IniDocument::Entry* IniDocument::Lookup(const Section& s, std::string_view written) const
{
    const std::optional<std::uint32_t> at =
        s.index.Find(written, s.entries.size(), [this, &s](std::uint32_t i) { return View(s.entries[i].name); });
    return at ? &s.entries[*at] : nullptr;
}

void IniDocument::Put(Section& s, std::string_view written, std::string_view raw, const Span* nameSpan,
                      const Span* rawSpan)
{
    const IniIndex::Place place =
        s.index.PlaceOf(written, s.entries.size(), [this, &s](std::uint32_t i) { return View(s.entries[i].name); });
    const Span value = rawSpan != nullptr ? *rawSpan : Keep(raw);
    if (const std::optional<std::uint32_t> at = s.index.At(place)) {
        Entry& entry = s.entries[*at];
        m_dead += entry.raw.size + (nameSpan != nullptr ? nameSpan->size : 0);
        entry.raw = value;
        return;
    }
    s.entries.push_back(Entry{nameSpan != nullptr ? *nameSpan : Keep(written), value});
    s.index.Fill(place, static_cast<std::uint32_t>(s.entries.size() - 1));
}

void IniDocument::Forget(Section& s, bool keepRoom)
{
    for (const Entry& e : s.entries) {
        m_dead += e.name.size + e.raw.size;
    }
    if (keepRoom) {
        s.entries.clear();
    } else {
        s.entries = {};
    }
    s.index.Clear(keepRoom);
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
        IniText::UnescapeNameInto(out, text);
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
    return IniText::UnescapeValue(*raw);
}

void IniDocument::Set(std::string_view section, std::string_view name, std::string_view text)
{
    Section& s = FindOrAdd(section);
    Put(s, Written(name), IniText::EscapeText(text));
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
