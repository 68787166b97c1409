#include "platform/iniindex.h"

#include <functional>
#include <utility>

namespace dromo {

std::uint32_t IniIndex::HashOf(std::string_view name)
{
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(name));
}

std::optional<std::uint32_t> IniIndex::At(Place place) const
{
    const std::uint32_t index = m_slots[place.slot].index;
    return index == 0 ? std::nullopt : std::optional<std::uint32_t>(index - 1);
}

void IniIndex::Fill(Place place, std::uint32_t position)
{
    m_slots[place.slot] = Slot{position + 1, place.hash};
}

void IniIndex::Rehash(std::size_t slotCount)
{
    std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(slotCount));
    for (const Slot& one : old) {
        if (one.index == 0) {
            continue;
        }
        std::size_t slot = HomeSlot(one.hash, slotCount);
        while (m_slots[slot].index != 0) {
            slot = slot + 1 == slotCount ? 0 : slot + 1;
        }
        m_slots[slot] = one;
    }
}

void IniIndex::Reserve(std::size_t count)
{
    if (TooFull(count, m_slots.size())) {
        Rehash(std::max<std::size_t>(16, count + count / 3 + 1));
    }
}

void IniIndex::Clear(bool keepRoom)
{
    if (keepRoom) {
        std::fill(m_slots.begin(), m_slots.end(), Slot{});
    } else {
        m_slots = {};
    }
}

}  // namespace dromo
