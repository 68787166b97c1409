#include "base/view/columnsort.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "base/text/textutil.h"
#include "base/values/taskrow.h"

namespace dromo {
namespace {

bool IsNumeric(int column)
{
    switch (column) {
    case kColSize:
    case kColProgress:
    case kColSpeed:
    case kColTime:
    case kColEstTime:
    case kColRetry: return true;
    default: return false;
    }
}

// "H:M:S" as written by the progress texts (no leading zeros needed).
std::optional<double> Seconds(const std::string& text)
{
    double total = 0;
    int parts = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t colon = std::min(text.find(':', at), text.size());
        const std::string part = text.substr(at, colon - at);
        if (part.empty() || !std::all_of(part.begin(), part.end(), [](char c) { return std::isdigit(c); })) {
            return std::nullopt;
        }
        total = total * 60 + std::strtod(part.c_str(), nullptr);
        ++parts;
        at = colon + 1;
    }
    return parts == 3 ? std::optional<double>(total) : std::nullopt;
}

}  // namespace

std::optional<double> ColumnSort::ValueOf(int column, const std::string& text)
{
    if (!IsNumeric(column)) {
        return std::nullopt;
    }
    if (const auto seconds = Seconds(text)) {
        return seconds;
    }
    if (text == "<1s") {
        return 0.5;
    }
    // The leading number: "123 of 456", "45%", "12.5KB/s", "2 of 5".
    const char* begin = text.c_str();
    while (*begin == ' ') {
        ++begin;
    }
    if (!std::isdigit(static_cast<unsigned char>(*begin))) {
        return std::nullopt;
    }
    return std::strtod(begin, nullptr);
}

bool ColumnSort::Less(int column, const std::string& a, const std::string& b)
{
    if (IsNumeric(column)) {
        const auto x = ValueOf(column, a);
        const auto y = ValueOf(column, b);
        if (x && y && *x != *y) {
            return *x < *y;
        }
        if (x.has_value() != y.has_value()) {
            return x.has_value();  // values first, "N/A" after them
        }
    }
    return FoldCase(a) < FoldCase(b);
}

}  // namespace dromo
