#pragma once

namespace dromo {

class Profile;

// Which of the list's optional columns show, and where: the File column
// (the name on disk) beside the classic nine.
struct ListColumnLayout {
    bool fileShown = false;
    bool fileFirst = false;  // before "Target"; else right after it

    bool operator==(const ListColumnLayout&) const = default;
};

// The layout the last run left ("Show File Column", "File Column First").
// A profile without it keeps the classic columns when it holds anything of
// an earlier run (tasks, a window placement); a fresh one opens with the
// list a person can scan: the file's name shown, first.
ListColumnLayout ReadListColumns(Profile& profile);
void WriteListColumns(Profile& profile, const ListColumnLayout& layout);

}  // namespace dromo
