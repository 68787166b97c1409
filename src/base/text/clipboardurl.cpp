#include "base/text/clipboardurl.h"

#include "base/text/parseurl.h"

namespace dromo {

std::string UrlFromClipboard(const std::string& clipboardText)
{
    const char* blanks = " \t\r\n";
    const std::size_t first = clipboardText.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return "";
    }
    std::string text = clipboardText.substr(first, clipboardText.find_last_not_of(blanks) - first + 1);
    // One URL, not a paragraph that happens to begin with one.
    if (text.find_first_of(" \t\r\n") != std::string::npos || !ParseUrl(text)) {
        return "";
    }
    return text;
}

}  // namespace dromo
