#pragma once

#include <string_view>

namespace dromo {

// The text without the blanks (spaces, tabs, line ends) around it.
std::string_view TrimBlanks(std::string_view text);

}  // namespace dromo
