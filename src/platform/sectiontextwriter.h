#pragma once

#include <string>

#include "base/ports/profile.h"

namespace dromo {

// What a section's fill (Profile::ReplaceSection) writes into when the
// profile runs it on its writer thread: the section's values become their
// INI lines at once, in the order written, exactly as the document would
// write them once set; no index, no second copy. The section reads as empty
// (the fill's contract); every other section is the profile behind it.
class SectionTextWriter : public Profile {
public:
    SectionTextWriter(std::string section, Profile& rest);

    // The section's lines written so far, handed over.
    std::string TakeLines();

    std::int32_t GetInt(const std::string& section, const std::string& name, std::int32_t defaultValue) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& defaultValue) override;
    void WriteInt(const std::string& section, const std::string& name, std::int32_t value) override;
    void WriteString(const std::string& section, const std::string& name, const std::string& value) override;
    void DeleteSection(const std::string& section) override;
    std::vector<std::string> ValueNames(const std::string& section) override;
    // The profile behind flushes once the fill is done, not the fill.
    Status Flush() override { return {}; }

private:
    const std::string m_section;
    Profile& m_rest;
    std::string m_lines;
};

}  // namespace dromo
