#include "base/view/clipboardwatch.h"

#include "base/text/clipboardurl.h"
#include "base/text/filenames.h"
#include "base/values/globaloptions.h"

namespace dromo {

bool NamesCaptureFileType(const std::string& url, const std::string& captureFileTypes)
{
    const std::string extension = FileExtension(FileNameFromUrl(url));
    if (extension.empty()) {
        return false;
    }
    std::size_t start = 0;
    while (start < captureFileTypes.size()) {
        const std::size_t blank = std::min(captureFileTypes.find_first_of(" \t\r\n", start), captureFileTypes.size());
        if (blank > start && EqualsIgnoreCase(captureFileTypes.substr(start, blank - start), extension)) {
            return true;
        }
        start = blank + 1;
    }
    return false;
}

std::string ClipboardWatch::Offer(const std::string& clipboardText, const std::string& captureFileTypes)
{
    std::string url = UrlFromClipboard(clipboardText);
    if (url.empty() || url == m_lastOffered || !NamesCaptureFileType(url, captureFileTypes)) {
        return "";
    }
    m_lastOffered = url;
    return url;
}

}  // namespace dromo
