#pragma once

#include <cstdint>
#include <string>

namespace dromo {

// Hours, minutes and seconds without leading zeros: 3725 s is "1:2:5".
std::string FormatDuration(std::int64_t seconds);

// A number formatted with "%12.1f" and its leading blanks removed: "12.5".
std::string FormatOneDecimal(double value);

// The local time as status texts begin with it: "HH:MM:SS ".
std::string StatusTimeStamp();

// The number at the start of a size text: "1024 of 2048" gives 1024, "" 0.
std::int64_t LeadingNumber(const std::string& text);

}  // namespace dromo
