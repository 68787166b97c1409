#include "base/text/privateprofile.h"

#include <algorithm>
#include <limits>

#include "base/text/textutil.h"

namespace dromo {
namespace {

}  // namespace

PrivateProfile::PrivateProfile(std::string_view text)
{
    std::string section;
    Section* current = nullptr;  // made at its first value: a section without any is not there
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = TrimBlanks(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close != std::string_view::npos) {
                section = FoldCase(TrimBlanks(line.substr(1, close - 1)));
                current = nullptr;
            }
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || section.empty()) {
            continue;
        }
        std::string_view value = TrimBlanks(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (current == nullptr) {
            // A section named twice is one section, its values in file order.
            const auto [found, added] = m_sectionIndex.try_emplace(section, m_sections.size());
            if (added) {
                m_sections.push_back(Section{section, {}});
                m_sectionNames.push_back(section);
            }
            current = &m_sections[found->second];
        }
        current->values.push_back(Value{FoldCase(TrimBlanks(line.substr(0, eq))), std::string(value)});
    }
}

const std::string* PrivateProfile::Find(std::string_view section, std::string_view key) const
{
    const auto found = m_sectionIndex.find(FoldCase(section));
    if (found == m_sectionIndex.end()) {
        return nullptr;
    }
    const std::string k = FoldCase(key);
    for (const Value& v : m_sections[found->second].values) {
        if (v.key == k) {
            return &v.value;
        }
    }
    return nullptr;
}

std::string PrivateProfile::GetString(std::string_view section, std::string_view key,
                                      const std::string& defaultValue) const
{
    const std::string* value = Find(section, key);
    return value != nullptr ? value->substr(0, kValueLimit) : defaultValue.substr(0, kValueLimit);
}

std::string PrivateProfile::GetLongString(std::string_view section, std::string_view key,
                                          const std::string& defaultValue) const
{
    const std::string* value = Find(section, key);
    return value != nullptr ? *value : defaultValue;
}

std::int32_t PrivateProfile::GetInt(std::string_view section, std::string_view key, std::int32_t defaultValue) const
{
    const std::string* stored = Find(section, key);
    if (stored == nullptr) {
        return defaultValue;
    }
    std::string_view v = *stored;
    if (v.empty()) {
        // "speed=" names the key but gives no number: the reader's default,
        // as for a missing key (text that is not a number still reads 0).
        return defaultValue;
    }
    bool negative = false;
    if (!v.empty() && (v.front() == '-' || v.front() == '+')) {
        negative = v.front() == '-';
        v.remove_prefix(1);
    }
    std::int64_t value = 0;
    for (char c : v) {
        if (c < '0' || c > '9') {
            break;
        }
        // Saturate: a number too long for 32 bits reads as the largest one.
        value = std::min<std::int64_t>(value * 10 + (c - '0'), std::numeric_limits<std::int32_t>::max() + 1LL);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace dromo
