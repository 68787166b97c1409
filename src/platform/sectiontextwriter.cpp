#include "platform/sectiontextwriter.h"

#include <utility>

#include "platform/initext.h"

namespace dromo {

SectionTextWriter::SectionTextWriter(std::string section, Profile& rest) : m_section(std::move(section)), m_rest(rest)
{
}

std::string SectionTextWriter::TakeLines()
{
    return std::exchange(m_lines, {});
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
    } else {
        m_rest.DeleteSection(section);
    }
}

std::vector<std::string> SectionTextWriter::ValueNames(const std::string& section)
{
    return section == m_section ? std::vector<std::string>() : m_rest.ValueNames(section);
}

}  // namespace dromo
