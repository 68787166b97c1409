#pragma once

#include <cstdint>
#include <optional>
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

// The list's text colour for "Text Color" and whether the user picked it:
// nothing for the default (index 0 never picked), which is the desktop's own
// text colour, so a dark desktop does not get black text on dark grey. Any
// other index was picked (the classic program started at 0), and a picked
// colour is drawn as picked.
std::optional<TextColor> ListTextColor(int index, bool chosen);

}  // namespace dromo
