#include "base/dialogs/saveasderivation.h"

#include "base/core/globaloptions.h"
#include "base/files/filenames.h"

namespace dromo {

std::string SaveAsDerivation::Derive(const std::string& url)
{
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
