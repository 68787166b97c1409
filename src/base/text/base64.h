#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dromo {

// Standard Base64: "A"-"Z", "a"-"z", "0"-"9", "+", "/", "=" padding, no line
// breaks. The empty text stays empty both ways.
std::string Base64Encode(std::string_view bytes);

// Nothing when the text is not canonical Base64 (a wrong length, a foreign
// character, misplaced padding).
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace dromo
