#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dromo {

// Priorities as a Metalink 4 file gives them: 1 is the most wanted; a
// mirror without one comes after every mirror with one.
inline constexpr std::int32_t kMirrorPriorityBest = 1;
inline constexpr std::int32_t kMirrorPriorityNone = 999999;

// One server that holds the task's file.
struct Mirror {
    std::string url;
    std::int32_t priority = kMirrorPriorityNone;
    std::string location;  // ISO 3166 country code in lower case; "" when unknown

    bool operator==(const Mirror&) const = default;
};

// The mirrors a task's file can be taken from, most wanted first (by
// priority; the document's order among equals). Stored form, one entry per
// mirror separated by a blank: "PRIORITY:LOCATION:URL", e.g.
// "1:de:https://a.example/f.iso 2::ftp://b.example/f.iso"; a URL never holds
// a blank (Add encodes it), so the form reads back unambiguously.
class MirrorList {
public:
    // "" is the empty list; nothing when any entry cannot be read.
    static std::optional<MirrorList> Parse(std::string_view stored);

    // Keeps the order by priority. A location that is not a country code is
    // dropped; blanks in the URL are encoded as %20.
    void Add(Mirror mirror);
    bool Empty() const { return m_mirrors.empty(); }
    std::size_t Size() const { return m_mirrors.size(); }
    const std::vector<Mirror>& Mirrors() const { return m_mirrors; }
    // The most wanted mirror; nullptr when empty.
    const Mirror* Best() const;
    std::string Stored() const;

private:
    std::vector<Mirror> m_mirrors;
};

}  // namespace dromo
