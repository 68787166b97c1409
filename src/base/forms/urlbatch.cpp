#include "base/forms/urlbatch.h"

#include <set>

#include "base/text/parseurl.h"
#include "base/text/urllines.h"

namespace dromo {
namespace {

std::string WithLine(std::size_t line, std::size_t lines, const std::string& error)
{
    return lines > 1 ? "Line " + std::to_string(line + 1) + ": " + error : error;
}

}  // namespace

std::string UrlBatch::Summary() const
{
    if (!error.empty()) {
        return error;
    }
    if (!many) {
        return "";
    }
    return urls.size() == 1 ? "1 task" : std::to_string(urls.size()) + " tasks";
}

UrlBatch ReadUrlBatch(const std::string& text, std::size_t most)
{
    UrlBatch batch;
    const std::vector<std::string> lines = UrlLines(text);
    if (lines.empty()) {
        return batch;
    }
    if (lines.size() == 1 && !HasUrlPattern(lines[0])) {
        batch.urls = lines;
        return batch;
    }
    batch.many = true;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Each line may use what the lines before it left of the limit.
        UrlExpansion expanded = ExpandUrlPattern(lines[i], most - batch.urls.size());
        if (!expanded.error.empty()) {
            const bool overLimit = expanded.error.rfind("The pattern makes", 0) == 0 && i > 0;
            batch.error = overLimit ? "The lines make more than " + std::to_string(most) +
                                          " URLs; Dromo adds at most " + std::to_string(most) + " at once."
                                    : WithLine(i, lines.size(), expanded.error);
            batch.urls.clear();
            return batch;
        }
        for (std::string& url : expanded.urls) {
            if (!ParseUrl(url) || url.back() == '/') {
                batch.error = WithLine(i, lines.size(), "\"" + url + "\" is not an http, https or ftp URL of a file.");
                batch.urls.clear();
                return batch;
            }
            if (seen.insert(url).second) {
                batch.urls.push_back(std::move(url));
            }
        }
    }
    return batch;
}

std::string BatchSaveFolder(const std::string& saveAs, const std::string& defaultFolder)
{
    const std::size_t slash = saveAs.rfind('/');
    std::string folder = slash == std::string::npos ? saveAs : saveAs.substr(0, slash + 1);
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    std::string normalDefault = defaultFolder;
    if (!normalDefault.empty() && normalDefault.back() != '/') {
        normalDefault += '/';
    }
    return folder == normalDefault ? std::string() : folder;
}

}  // namespace dromo
