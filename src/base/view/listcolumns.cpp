#include "base/view/listcolumns.h"

#include "base/ports/profile.h"

namespace dromo {
namespace {

// Two different defaults tell a missing value from any stored one.
bool Stored(Profile& profile, const char* name)
{
    return profile.GetInt("Settings", name, 0) == profile.GetInt("Settings", name, 1);
}

}  // namespace

ListColumnLayout ReadListColumns(Profile& profile)
{
    if (Stored(profile, "Show File Column")) {
        return {profile.GetInt("Settings", "Show File Column", 0) != 0,
                profile.GetInt("Settings", "File Column First", 0) != 0};
    }
    if (Stored(profile, "MRU Num") || Stored(profile, "MainWnd Right")) {
        return {};  // a classic profile: its columns as they always were
    }
    return {true, true};
}

void WriteListColumns(Profile& profile, const ListColumnLayout& layout)
{
    profile.WriteInt("Settings", "Show File Column", layout.fileShown ? 1 : 0);
    profile.WriteInt("Settings", "File Column First", layout.fileFirst ? 1 : 0);
}

}  // namespace dromo
