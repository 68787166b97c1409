#include "base/capture/captureswitches.h"

#include <algorithm>

#include "base/ports/profile.h"

namespace dromo {
namespace {

bool Contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

std::vector<std::string> SplitAtBlanks(const std::string& text)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = text.find(' ', start);
        pieces.push_back(text.substr(start, blank - start));
        if (blank == std::string::npos) {
            return pieces;
        }
        start = blank + 1;
    }
}

}  // namespace

bool CaptureSwitches::Read(Profile& profile, const std::string& clicksName)
{
    const bool oldClicks = clicks;
    const bool oldAllFtp = allFtp;
    const char* section = "Settings";
    std::vector<std::string> names = profile.ValueNames(section);
    if (names.empty()) {
        return false;  // no settings at all: the read fails
    }
    // The registry's enumeration order is its own; a sorted one is stable.
    std::sort(names.begin(), names.end());
    int count = 0;
    std::string types;
    for (const std::string& name : names) {
        if (Contains(name, clicksName.c_str())) {
            clicks = profile.GetInt(section, name, 0) != 0;
            ++count;
        }
        if (Contains(name, "Capture All FTP")) {
            allFtp = profile.GetInt(section, name, 0) != 0;
            ++count;
        } else if (Contains(name, "Capture File Types")) {
            types = profile.GetString(section, name, "");
            ++count;
        } else if (Contains(name, "Start with Browser")) {
            startWithBrowser = profile.GetInt(section, name, 0) != 0;
            ++count;
        }
        if (count >= 4) {
            fileTypes = SplitAtBlanks(types);
            return true;
        }
    }
    clicks = oldClicks;
    allFtp = oldAllFtp;
    return false;
}

bool PassesFileTypeTest(const std::string& url, const std::vector<std::string>& fileTypes)
{
    if (url.find_first_of("?=&") != std::string::npos) {
        return false;
    }
    const std::size_t dot = url.rfind('.');
    const std::string ext = dot == std::string::npos ? url : url.substr(dot + 1);
    return std::find(fileTypes.begin(), fileTypes.end(), ext) != fileTypes.end();
}

}  // namespace dromo
