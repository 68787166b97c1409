#pragma once

#include <QString>

#include <string>

namespace dromo {

// Base and the engine speak English only; what they say reaches the user in
// the user's language here, at the moment it is shown (a message box, a
// status pane, the list's Status column, a desktop notice). Every English
// text they can produce is listed in basetexts.cpp, whole or as a pattern
// with %1..%4 for the parts that vary (a number, a file name, a server's
// own words, or another text of theirs, such as the reason a playlist
// cannot be recorded, shown translated in turn). A text that matches none
// is shown as it is. What is stored, logged or answered over D-Bus never
// passes through here.
class BaseTexts {
public:
    // The text in the user's language.
    static QString Shown(const std::string& english);
    // A status text: the "HH:MM:SS " it may begin with is kept as it is.
    static QString Status(const std::string& english);
    // Each line on its own (a notice's body lists one file per line).
    static QString Lines(const std::string& english);
    // The Size and Retry columns' "N of M".
    static QString Count(const std::string& english);
};

}  // namespace dromo
