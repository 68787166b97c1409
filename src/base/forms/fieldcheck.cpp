#include "base/forms/fieldcheck.h"

#include <charconv>

#include "base/text/textutil.h"

namespace dromo {

std::optional<std::string> CheckInteger(std::string_view text, int low, int high, int& value)
{
    text = TrimBlanks(text);
    long long parsed = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && text.front() == '+') {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, last, parsed);
    if (text.empty() || first == last || error == std::errc::invalid_argument || end != last) {
        return "Please enter an integer.";
    }
    if (error == std::errc::result_out_of_range || parsed < low || parsed > high) {
        return "Please enter an integer between " + std::to_string(low) + " and " + std::to_string(high) + ".";
    }
    value = static_cast<int>(parsed);
    return std::nullopt;
}

std::optional<std::string> CheckLength(std::string_view text, std::size_t limit)
{
    std::size_t characters = 0;
    for (unsigned char c : text) {
        characters += (c & 0xC0) != 0x80 ? 1 : 0;
    }
    if (characters <= limit) {
        return std::nullopt;
    }
    return "Please enter no more than " + std::to_string(limit) + " characters.";
}

}  // namespace dromo
