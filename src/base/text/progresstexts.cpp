#include "base/text/progresstexts.h"

#include <cstdio>
#include <ctime>

namespace dromo {

std::string FormatDuration(std::int64_t seconds)
{
    return std::to_string(seconds / 3600) + ":" + std::to_string(seconds % 3600 / 60) + ":" +
           std::to_string(seconds % 60);
}

std::string FormatOneDecimal(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%12.1f", value);
    std::string out(text);
    out.erase(0, out.find_first_not_of(' '));
    return out;
}

std::int64_t LeadingNumber(const std::string& text)
{
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) {
        return 0;
    }
    bool negative = false;
    if (text[i] == '-' || text[i] == '+') {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (INT64_MAX - 9) / 10) {
            break;  // a number this long is no size; stop before overflowing
        }
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

std::string StatusTimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S ", &local);
    return text;
}

}  // namespace dromo
