#pragma once

#include <string>
#include <vector>

namespace dromo {

// A download category: files with this extension go to this folder.
struct CategoryEntry {
    std::string name;
    std::string extension;  // one extension, without the dot
    std::string folder;

    bool operator==(const CategoryEntry&) const = default;
};

using CategoryList = std::vector<CategoryEntry>;

}  // namespace dromo
