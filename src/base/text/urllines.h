#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dromo {

// A text that may hold several URLs, a URL a line, as a drop or a paste of
// several links brings them: each line without the blanks around it, blank
// lines skipped. LF, CR LF and a lone CR all end a line. A line is given
// whole, words and all: whether it is a URL is the add's to say.
std::vector<std::string> UrlLines(std::string_view text);

}  // namespace dromo
