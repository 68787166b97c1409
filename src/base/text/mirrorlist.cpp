#include "base/text/mirrorlist.h"

#include <algorithm>
#include <charconv>

#include "base/text/textutil.h"

namespace dromo {
namespace {

bool IsCountryCode(std::string_view text)
{
    return text.size() == 2 && std::all_of(text.begin(), text.end(),
                                           [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

std::string WithoutBlanks(std::string_view url)
{
    std::string out;
    for (char c : url) {
        if (c == ' ') {
            out += "%20";
        } else if (c == '\t') {
            out += "%09";
        } else {
            out += c;
        }
    }
    return out;
}

// One stored entry "PRIORITY:LOCATION:URL".
std::optional<Mirror> ParseEntry(std::string_view entry)
{
    const std::size_t first = entry.find(':');
    const std::size_t second = first == std::string_view::npos ? first : entry.find(':', first + 1);
    if (second == std::string_view::npos || second + 1 >= entry.size()) {
        return std::nullopt;
    }
    Mirror mirror;
    const std::string_view digits = entry.substr(0, first);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), mirror.priority);
    if (error != std::errc() || end != digits.data() + digits.size() || mirror.priority < kMirrorPriorityBest ||
        mirror.priority > kMirrorPriorityNone) {
        return std::nullopt;
    }
    const std::string_view location = entry.substr(first + 1, second - first - 1);
    if (!location.empty() && !IsCountryCode(location)) {
        return std::nullopt;
    }
    mirror.location = FoldCase(location);
    mirror.url = std::string(entry.substr(second + 1));
    return mirror;
}

}  // namespace

std::optional<MirrorList> MirrorList::Parse(std::string_view stored)
{
    MirrorList list;
    std::size_t at = 0;
    while (at < stored.size()) {
        const std::size_t end = std::min(stored.find(' ', at), stored.size());
        if (end > at) {
            std::optional<Mirror> mirror = ParseEntry(stored.substr(at, end - at));
            if (!mirror) {
                return std::nullopt;
            }
            list.Add(std::move(*mirror));
        }
        at = end + 1;
    }
    return list;
}

void MirrorList::Add(Mirror mirror)
{
    mirror.url = WithoutBlanks(mirror.url);
    mirror.location = IsCountryCode(mirror.location) ? FoldCase(mirror.location) : std::string();
    mirror.priority = std::clamp(mirror.priority, kMirrorPriorityBest, kMirrorPriorityNone);
    const auto after = std::upper_bound(m_mirrors.begin(), m_mirrors.end(), mirror.priority,
                                        [](std::int32_t priority, const Mirror& m) { return priority < m.priority; });
    m_mirrors.insert(after, std::move(mirror));
}

const Mirror* MirrorList::Best() const
{
    return m_mirrors.empty() ? nullptr : &m_mirrors.front();
}

std::string MirrorList::Stored() const
{
    std::string out;
    for (const Mirror& m : m_mirrors) {
        if (!out.empty()) {
            out += ' ';
        }
        out += std::to_string(m.priority) + ':' + m.location + ':' + m.url;
    }
    return out;
}

}  // namespace dromo
