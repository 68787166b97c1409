#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dromo {

// The checks a page runs on its fields when it is left or OK is pressed.
// Each answers the message to show, or nothing when the field is good.

// A number field: an optional sign and digits only, within [low, high].
std::optional<std::string> CheckInteger(std::string_view text, int low, int high, int& value);
// A text field of at most `limit` characters (UTF-8 text counted in characters).
std::optional<std::string> CheckLength(std::string_view text, std::size_t limit);

}  // namespace dromo
