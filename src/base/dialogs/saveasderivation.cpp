#include "dialogs/saveasderivation.h"

#include "core/globaloptions.h"
#include "mainwindow/taskadder.h"

namespace dromo {

std::string SaveAsDerivation::Derive(const std::string& url)
{
    if (m_categories != nullptr) {
        const std::size_t dot = url.rfind('.');
        if (dot != std::string::npos && dot != 0 && dot + 1 < url.size()) {
            const std::string extension = url.substr(dot + 1);
            for (const CategoryEntry& category : *m_categories) {
                if (EqualsIgnoreCase(category.extension, extension)) {
                    m_folder = category.folder;
                    break;
                }
            }
        }
    }
    const std::size_t slash = url.rfind('/');
    const std::string name = slash == std::string::npos ? url : url.substr(slash + 1);
    if (!UsableFileName(name)) {
        return m_folder;
    }
    // A folder typed without its "/" would glue the name to the folder's own
    // ("Downloadssetup.zip"), as the quick add also avoids.
    if (!m_folder.empty() && m_folder.back() != '/') {
        return m_folder + "/" + name;
    }
    return m_folder + name;
}

}  // namespace dromo
