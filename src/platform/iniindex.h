#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace dromo {

// A section's values by name: an open-addressing index over their positions.
// A load looks up every one of a task list's values, and a node-based map
// spends most of that time missing the cache. The names stay with the values;
// the lookups are handed `nameOf`, which gives the name of the value at a
// position.
class IniIndex {
public:
    // Where a value of a name is, or goes: a slot and the name's hash.
    struct Place {
        std::size_t slot = 0;
        std::uint32_t hash = 0;
    };

    // The position of the value under `name` among `count` values; nothing
    // when there is none.
    template <class NameOf>
    std::optional<std::uint32_t> Find(std::string_view name, std::size_t count, const NameOf& nameOf) const;
    // The place of `name` among `count` values, with room made for one more.
    template <class NameOf>
    Place PlaceOf(std::string_view name, std::size_t count, const NameOf& nameOf);
    // The position of the value at a place; nothing when the place is free.
    std::optional<std::uint32_t> At(Place place) const;
    // Records the value at `position` in a free place.
    void Fill(Place place, std::uint32_t position);
    // Room for this many values without growing on the way.
    void Reserve(std::size_t count);
    // Forgets every value, keeping the room or giving it back.
    void Clear(bool keepRoom);

private:
    // Each slot keeps its name's hash beside the position, so a probe or a
    // rehash touches a value (and its name) only when the hashes match.
    struct Slot {
        std::uint32_t index = 0;  // position + 1; 0 is free
        std::uint32_t hash = 0;
    };
    // How far beside the last value found a lookup looks first.
    static constexpr std::size_t kNearBefore = 4;
    static constexpr std::size_t kNearAfter = 8;

    static std::uint32_t HashOf(std::string_view name);
    // Where a hash's probes start among `slotCount` (any number of them, so a long
    // section's index is not rounded up to twice its room).
    static std::size_t HomeSlot(std::uint32_t hash, std::size_t slotCount)
    {
        return static_cast<std::size_t>((static_cast<std::uint64_t>(hash) * slotCount) >> 32);
    }
    // At most three quarters full, so probes stay short (they run through
    // neighbouring slots, mostly one cache line).
    static bool TooFull(std::size_t values, std::size_t slotCount) { return values * 4 > slotCount * 3; }
    template <class NameOf>
    std::size_t SlotOf(std::string_view name, std::uint32_t hash, const NameOf& nameOf) const;
    void Rehash(std::size_t slotCount);

    std::vector<Slot> m_slots;
    // Where the last lookup found its value. A load reads a task's values in
    // about the order they were written, so the next one is looked for beside
    // it first: the index is a random walk through memory, one cache miss a
    // value.
    mutable std::uint32_t m_lastFound = 0;
};

template <class NameOf>
std::size_t IniIndex::SlotOf(std::string_view name, std::uint32_t hash, const NameOf& nameOf) const
{
    std::size_t slot = HomeSlot(hash, m_slots.size());
    while (m_slots[slot].index != 0 && (m_slots[slot].hash != hash || nameOf(m_slots[slot].index - 1) != name)) {
        slot = slot + 1 == m_slots.size() ? 0 : slot + 1;
    }
    return slot;
}

template <class NameOf>
std::optional<std::uint32_t> IniIndex::Find(std::string_view name, std::size_t count, const NameOf& nameOf) const
{
    if (m_slots.empty()) {
        return std::nullopt;
    }
    // Names are unique in a section, so a name found anywhere is the one.
    const std::size_t next = std::size_t{m_lastFound} + 1;
    const std::size_t from = m_lastFound > kNearBefore ? m_lastFound - kNearBefore : 0;
    for (std::size_t k = next, n = 0; k < count && k <= m_lastFound + kNearAfter; k = from + n++) {
        if (nameOf(static_cast<std::uint32_t>(k)) == name) {
            m_lastFound = static_cast<std::uint32_t>(k);
            return m_lastFound;
        }
    }
    const std::uint32_t index = m_slots[SlotOf(name, HashOf(name), nameOf)].index;
    if (index == 0) {
        return std::nullopt;
    }
    m_lastFound = index - 1;
    return m_lastFound;
}

template <class NameOf>
IniIndex::Place IniIndex::PlaceOf(std::string_view name, std::size_t count, const NameOf& nameOf)
{
    if (TooFull(count + 1, m_slots.size())) {
        Rehash(std::max<std::size_t>(16, m_slots.size() * 2));
    }
    const std::uint32_t hash = HashOf(name);
    return Place{SlotOf(name, hash, nameOf), hash};
}

}  // namespace dromo
