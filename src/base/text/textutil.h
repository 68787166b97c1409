#pragma once

#include <string>
#include <string_view>

namespace dromo {

// The text without the blanks (spaces, tabs, line ends) around it.
std::string_view TrimBlanks(std::string_view text);

// Whether the text holds a control character: a line break, a tab, another
// C0 byte or DEL. None belongs in a URL or in a request's head, where a
// line break starts what the next line says.
bool HoldsControlCharacter(std::string_view text);

// The text in one letter case for comparisons that ignore it: ASCII and the
// two-byte UTF-8 letters of Latin-1, Latin Extended-A, Greek and Cyrillic
// (what file names and URLs mostly hold) are lowered; everything else, and
// bytes that are no UTF-8, stay as they are. Each letter keeps its length in
// bytes, so a place found in the folded text is the same in the text.
std::string FoldCase(std::string_view text);

// The URL without a login written before its host: "ftp://u:pw@h/f" and
// "http://u@h/" give "ftp://h/f" and "http://h/". What is shown, logged or
// remembered goes through this; the task itself keeps its login.
std::string UrlWithoutLogin(std::string_view url);

// The text with every occurrence of the URL's login ("u:pw@") taken out, for
// texts that may quote the address the way it was given.
std::string WithoutLoginOf(std::string_view url, std::string_view text);

}  // namespace dromo
