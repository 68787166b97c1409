#pragma once

#include <string>

#include "base/values/categorylist.h"

namespace dromo {

// The URL page's "Save as" from the URL: the folder of the category whose
// extension the URL ends in (when categories are on), then the URL's last
// part when it can name a file. A category's folder stays in force for later
// URL edits until another category matches. An empty URL, or one of a
// folder, gives the folder alone.
class SaveAsDerivation {
public:
    SaveAsDerivation(std::string targetFolder, const CategoryList* categories)
        : m_folder(std::move(targetFolder)), m_categories(categories)
    {
    }

    // On first showing only a "Save as" that is empty or names a folder is
    // derived; one naming a file is kept.
    static bool DeriveOnShow(const std::string& saveAs) { return saveAs.empty() || saveAs.back() == '/'; }

    std::string Derive(const std::string& url);
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
    const CategoryList* m_categories;
};

}  // namespace dromo
