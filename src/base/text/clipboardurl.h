#pragma once

#include <string>

namespace dromo {

// The URL the Add URL sheet may start with when the clipboard holds one:
// the clipboard's text without surrounding blanks, when that is one ftp,
// http or https URL the add path accepts; "" for anything else (several
// lines, prose, other schemes), so a stray copy never becomes a download.
std::string UrlFromClipboard(const std::string& clipboardText);

}  // namespace dromo
