#include "platform/sectiontextwriter.h"

#include <utility>

#include "platform/initext.h"

namespace dromo {

SectionTextWriter::SectionTextWriter(std::string section, Profile& rest, std::shared_ptr<const Parts> kept)
    : m_section(std::move(section)), m_rest(rest), m_kept(std::move(kept))
{
}

std::vector<SectionTextWriter::Lines> SectionTextWriter::TakeLines()
{
    EndPiece();
    return std::exchange(m_pieces, {});
}

std::shared_ptr<const SectionTextWriter::Parts> SectionTextWriter::TakeParts()
{
    return std::exchange(m_parts, std::make_shared<Parts>());
}

void SectionTextWriter::EndPiece()
{
    if (!m_lines.empty()) {
        // A copy of its own size; the buffer stays for the next.
        m_pieces.push_back(std::make_shared<const std::string>(m_lines));
        m_lines.clear();
    }
}

void SectionTextWriter::WritePart(const std::shared_ptr<const void>& same, const PartWrite& write)
{
    EndPiece();
    const std::size_t place = m_parts->size();
    Lines lines;
    if (same != nullptr && m_kept != nullptr && place < m_kept->size() && (*m_kept)[place].same == same) {
        lines = (*m_kept)[place].lines;
    } else {
        write(*this);
        lines = std::make_shared<const std::string>(m_lines);
        m_lines.clear();
    }
    // A part nothing vouches for is never taken again: its text goes with
    // this fill's lines.
    m_parts->push_back(same != nullptr ? Part{same, lines} : Part{});
    if (!lines->empty()) {
        m_pieces.push_back(std::move(lines));
    }
}

std::int32_t SectionTextWriter::GetInt(const std::string& section, const std::string& name, std::int32_t defaultValue)
{
    return section == m_section ? defaultValue : m_rest.GetInt(section, name, defaultValue);
}

std::string SectionTextWriter::GetString(const std::string& section, const std::string& name,
                                         const std::string& defaultValue)
{
    return section == m_section ? defaultValue : m_rest.GetString(section, name, defaultValue);
}

void SectionTextWriter::WriteInt(const std::string& section, const std::string& name, std::int32_t value)
{
    if (section == m_section) {
        IniText::AppendLine(m_lines, name, value);
    } else {
        m_rest.WriteInt(section, name, value);
    }
}

void SectionTextWriter::WriteString(const std::string& section, const std::string& name, const std::string& value)
{
    if (section == m_section) {
        IniText::AppendLine(m_lines, name, value);
    } else {
        m_rest.WriteString(section, name, value);
    }
}

void SectionTextWriter::DeleteSection(const std::string& section)
{
    if (section == m_section) {
        m_lines.clear();
        m_pieces.clear();
        m_parts->clear();
    } else {
        m_rest.DeleteSection(section);
    }
}

std::vector<std::string> SectionTextWriter::ValueNames(const std::string& section)
{
    return section == m_section ? std::vector<std::string>() : m_rest.ValueNames(section);
}

}  // namespace dromo
