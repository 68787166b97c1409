#pragma once

#include <string>

#include "base/values/globaloptions.h"

namespace dromo {

// Where things live on a Linux desktop. Every folder ends in "/".
class PlatformPaths {
public:
    // The user's download folder (the home folder when there is none).
    static std::string DownloadFolder();
    // The folder of the program's installed data files: "<prefix>/share/dromo/"
    // beside the program when it exists, else the program's own folder.
    static std::string ProgramDataFolder();
    // "$XDG_DATA_HOME/Dromo/": files the program writes, such as the history.
    static std::string UserDataFolder();
    // The per-user runtime folder for locks and sockets.
    static std::string RuntimeFolder();

    static PlatformDefaults Defaults();
};

}  // namespace dromo
