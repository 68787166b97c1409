#include "base/text/urllines.h"

#include <algorithm>

#include "base/text/textutil.h"

namespace dromo {

std::vector<std::string> UrlLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view line = TrimBlanks(text.substr(start, end - start));
        if (!line.empty()) {
            lines.emplace_back(line);
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace dromo
