#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace dromo {

// The most URLs one pattern (or one Add URL sheet) may make: a typo such as
// "[1-1000000]" must be refused, not become a million tasks.
inline constexpr std::size_t kMostPatternUrls = 10000;

// What a pattern came to: its URLs in order, or why it has none.
struct UrlExpansion {
    std::vector<std::string> urls;
    std::string error;  // "" when the pattern is sound

    bool operator==(const UrlExpansion&) const = default;
};

// Expands a URL pattern as users know it from command-line downloaders:
//   [1-20]       numbers; "[001-120]" keeps the first number's zeros
//   [a-f] [A-F]  letters of one case
//   [0-100:10]   either kind with a step
//   {a,b,c}      a set of alternatives (",," gives an empty one)
// Several patterns multiply, the last one changing fastest. "\[", "\]",
// "\{", "\}" and "\," stand for the plain characters. Brackets around an
// IPv6 host ("http://[::1]:8080/") are the host's, not a pattern. Patterns
// do not nest. A text without any pattern gives itself alone. More than
// `most` URLs, or any fault, gives no URLs and the reason.
UrlExpansion ExpandUrlPattern(const std::string& pattern, std::size_t most = kMostPatternUrls);

// True when the text holds a pattern (an unescaped bracket or brace that is
// not an IPv6 host's), sound or not.
bool HasUrlPattern(const std::string& text);

}  // namespace dromo
