#include "base/view/filetypeicon.h"

#include <array>
#include <cctype>
#include <string>

namespace dromo {
namespace {

struct Kind {
    int icon;
    std::array<const char*, 6> extensions;
};

constexpr std::array<Kind, 7> kKinds = {{
    {kIconArchive, {"zip", "cab", "rar", "jar"}},
    {kIconDocument, {"doc", "inf", "ini", "txt"}},
    {kIconAudio, {"mp3", "mp2", "rm"}},
    {kIconWebPage, {"htm", "html", "asp", "shtml", "xml", "chm"}},
    {kIconProgram, {"exe", "dll", "vxd", "scr"}},
    {kIconImage, {"gif", "jpg", "bmp", "pcx"}},
    {kIconVideo, {"mpg", "mov", "avi"}},
}};

}  // namespace

int FileTypeIcon(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) {
        return kIconUnknown;
    }
    std::string ext(path.substr(dot + 1));
    for (char& c : ext) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const Kind& kind : kKinds) {
        for (const char* candidate : kind.extensions) {
            if (candidate != nullptr && ext == candidate) {
                return kind.icon;
            }
        }
    }
    return kIconUnknown;
}

}  // namespace dromo
