#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/text/urlpattern.h"

namespace dromo {

// The Add URL sheet's "URL:" text read as downloads: one URL as always, or
// many: a pattern ("http://h/img[001-120].jpg") or a paste of several lines
// (each a URL or a pattern; blank lines and repeats are skipped).
struct UrlBatch {
    std::vector<std::string> urls;
    std::string error;  // "" when every line is sound
    bool many = false;  // each URL then names its own file in one folder

    // The sheet's count beside the field: "120 tasks", the error, or "" for
    // one plain URL.
    std::string Summary() const;
};

// Many URLs are checked here, before OK, as the add would check them one by
// one: each must be an http, https or ftp URL naming a file. One plain URL
// is left to the add and its own messages.
UrlBatch ReadUrlBatch(const std::string& text, std::size_t most = kMostPatternUrls);

// Where each of many URLs is saved, from the sheet's "Save as": the folder
// it names (a file's path counts as its folder), "" to let each URL find
// its folder as a quick add does when that is the default folder.
std::string BatchSaveFolder(const std::string& saveAs, const std::string& defaultFolder);

}  // namespace dromo
