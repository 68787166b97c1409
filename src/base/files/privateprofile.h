#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dromo {

// Reads INI-style text the forgiving way list files have always been read:
// section and key names in any letter case, the first occurrence of a key
// wins, values are cut at 1023 characters, numbers are signed decimals,
// lines that are neither a section nor "key=value" are ignored. CR LF and LF
// line ends both work.
class PrivateProfile {
public:
    static constexpr std::size_t kValueLimit = 1023;

    explicit PrivateProfile(std::string_view text);

    // The section names present, in lower case.
    std::vector<std::string> Sections() const;
    std::string GetString(std::string_view section, std::string_view key, const std::string& defaultValue) const;
    // The leading signed decimal number of the value ("12abc" is 12, "abc"
    // is 0); the default only when the key is missing.
    std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t defaultValue) const;

private:
    struct Entry {
        std::string section;  // lower case
        std::string key;      // lower case
        std::string value;
    };
    const Entry* Find(std::string_view section, std::string_view key) const;

    std::vector<Entry> m_entries;
};

}  // namespace dromo
