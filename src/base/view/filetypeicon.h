#pragma once

#include <string_view>

namespace dromo {

// Row icons by file type.
enum FileTypeIconIndex : int {
    kIconUnknown = 0,
    kIconArchive = 1,
    kIconDocument = 2,
    kIconAudio = 3,
    kIconWebPage = 4,
    kIconProgram = 5,
    kIconImage = 6,
    kIconVideo = 7,
};

// The icon of a file name or path, by the text after its last "." compared
// ignoring case; a name without "." is unknown.
int FileTypeIcon(std::string_view path);

}  // namespace dromo
