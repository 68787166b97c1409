#include "base/view/textcolortable.h"

#include <array>

namespace dromo {
namespace {

constexpr std::array<TextColor, 16> kColors = {{
    {"Black", 0, 0, 0},
    {"Blue", 0, 0, 255},
    {"Turquoise", 0, 255, 255},
    {"Bright Green", 0, 255, 0},
    {"Pink", 255, 0, 255},
    {"Red", 255, 0, 0},
    {"Yellow", 255, 255, 0},
    {"White", 255, 255, 255},
    {"Dark Blue", 0, 0, 128},
    {"Teal", 0, 128, 128},
    {"Green", 0, 128, 0},
    {"Violet", 128, 0, 128},
    {"Dark Red", 128, 0, 0},
    {"Dark Yellow", 128, 128, 0},
    {"Gray-50%", 128, 128, 128},
    {"Gray-25%", 192, 192, 192},
}};

}  // namespace

std::span<const TextColor> TextColorTable()
{
    return kColors;
}

const TextColor& TextColorAt(int index)
{
    if (index < 0 || index >= static_cast<int>(kColors.size())) {
        return kColors[0];
    }
    return kColors[static_cast<std::size_t>(index)];
}

std::optional<TextColor> ListTextColor(int index, bool chosen)
{
    if (index == 0 && !chosen) {
        return std::nullopt;
    }
    return TextColorAt(index);
}

}  // namespace dromo
