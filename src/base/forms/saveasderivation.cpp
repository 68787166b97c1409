#include "base/forms/saveasderivation.h"

#include <algorithm>

#include "base/text/filenames.h"
#include "base/values/globaloptions.h"

namespace dromo {
namespace {

// Nothing typed yet, or a URL of a folder ("http://host", "ftp://host/pub/"):
// there is no name to take, so "Save as" shows the folder alone, as the
// classic sheet did; the add names the file when it is made.
bool NamesNoFile(const std::string& url)
{
    const std::size_t scheme = url.find("://");
    std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t end = std::min(url.find_first_of("?#", start), url.size());
    if (scheme != std::string::npos) {
        start = url.find('/', start);
        if (start == std::string::npos || start >= end) {
            return true;  // a host and nothing after it
        }
    }
    return start >= end || url[end - 1] == '/';
}

}  // namespace

std::string SaveAsDerivation::Derive(const std::string& url)
{
    if (NamesNoFile(url)) {
        return m_folder;
    }
    const std::string name = FileNameFromUrl(url);
    if (m_categories != nullptr) {
        const std::string extension = FileExtension(name);
        if (!extension.empty()) {
            for (const CategoryEntry& category : *m_categories) {
                if (EqualsIgnoreCase(category.extension, extension)) {
                    m_folder = category.folder;
                    break;
                }
            }
        }
    }
    // A folder typed without its "/" would glue the name to the folder's own
    // ("Downloadssetup.zip"), as the quick add also avoids.
    if (!m_folder.empty() && m_folder.back() != '/') {
        return m_folder + "/" + name;
    }
    return m_folder + name;
}

}  // namespace dromo
