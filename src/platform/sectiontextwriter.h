#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/ports/profile.h"

namespace dromo {

// What a section's fill (Profile::ReplaceSection) writes into when the
// profile runs it on its writer thread: the section's values become their
// INI lines at once, in the order written, exactly as the document would
// write them once set; no index, no second copy. The section reads as empty
// (the fill's contract); every other section is the profile behind it.
//
// Each part (WritePart) becomes a piece of its own, kept for the section's
// next fill: where that fill names the same object at the same place, the
// piece is taken again and its writes are not run. A list whose tasks
// mostly stay as they were is thus made anew only where they changed.
class SectionTextWriter : public Profile {
public:
    using Lines = std::shared_ptr<const std::string>;
    // A part's text, and the object that vouched for it (null: taken again
    // never).
    struct Part {
        std::shared_ptr<const void> same;
        Lines lines;
    };
    using Parts = std::vector<Part>;

    // `kept`: the parts of the section's last fill (null for none).
    SectionTextWriter(std::string section, Profile& rest, std::shared_ptr<const Parts> kept = nullptr);

    // The section's lines written so far, in pieces of whole lines, handed
    // over.
    std::vector<Lines> TakeLines();
    // The parts written so far, for the section's next fill.
    std::shared_ptr<const Parts> TakeParts();

    std::int32_t GetInt(const std::string& section, const std::string& name, std::int32_t defaultValue) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& defaultValue) override;
    void WriteInt(const std::string& section, const std::string& name, std::int32_t value) override;
    void WriteString(const std::string& section, const std::string& name, const std::string& value) override;
    void DeleteSection(const std::string& section) override;
    std::vector<std::string> ValueNames(const std::string& section) override;
    void WritePart(const std::shared_ptr<const void>& same, const PartWrite& write) override;
    // The profile behind flushes once the fill is done, not the fill.
    Status Flush() override { return {}; }

private:
    // The lines written outside a part become a piece of their own.
    void EndPiece();

    const std::string m_section;
    Profile& m_rest;
    const std::shared_ptr<const Parts> m_kept;
    std::string m_lines;  // since the last piece
    std::vector<Lines> m_pieces;
    std::shared_ptr<Parts> m_parts = std::make_shared<Parts>();
};

}  // namespace dromo
