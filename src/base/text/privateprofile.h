#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dromo {

// Reads INI-style text the forgiving way list files have always been read:
// section and key names in any letter case, the first occurrence of a key
// wins, values are cut at 1023 characters, numbers are signed decimals,
// lines that are neither a section nor "key=value" are ignored. LF, CR LF
// and a lone CR all end a line, so no value read holds a line break.
//
// The text is read once into sections found by name; a lookup then costs
// only the keys of its section, so reading all of a list's tasks takes time
// in proportion to the list.
class PrivateProfile {
public:
    static constexpr std::size_t kValueLimit = 1023;

    explicit PrivateProfile(std::string_view text);

    // The section names present, in lower case, in the order they first
    // appear.
    const std::vector<std::string>& Sections() const { return m_sectionNames; }
    std::string GetString(std::string_view section, std::string_view key, const std::string& defaultValue) const;
    // The whole value, however long: for the keys that came after the
    // classic ones and hold lists (a Metalink's mirrors and piece hashes).
    std::string GetLongString(std::string_view section, std::string_view key, const std::string& defaultValue) const;
    // The leading signed decimal number of the value ("12abc" is 12, "abc"
    // is 0); the default only when the key is missing.
    std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t defaultValue) const;

private:
    struct Value {
        std::string key;  // lower case
        std::string value;
    };
    struct Section {
        std::string name;           // lower case
        std::vector<Value> values;  // in file order: the first of a key wins
    };
    const std::string* Find(std::string_view section, std::string_view key) const;

    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex;
    std::vector<std::string> m_sectionNames;
};

}  // namespace dromo
