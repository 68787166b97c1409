#pragma once

#include <cstdint>
#include <span>

namespace dromo {

struct TextColor {
    const char* name;
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// The 16 list text colours, offered by name in index order; the option
// "Text Color" is an index into it.
std::span<const TextColor> TextColorTable();

// The colour for an option value; black for an index outside the table, so a
// hand-edited profile cannot index past it.
const TextColor& TextColorAt(int index);

}  // namespace dromo
