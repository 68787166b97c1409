#pragma once

#include "gui/dialogs/lists/listpage.h"

namespace dromo {

class FileChooser;

// "Category": which extensions go to which folders.
class CCfgCat : public ListPage<CategoryEntry> {
public:
    // New categories start in `saveTo`.
    CCfgCat(std::int32_t& enable, ListRows<CategoryEntry>& rows, const std::string& saveTo, FileChooser& files,
            Messages& messages);

protected:
    QStringList Texts(const CategoryEntry& entry) const override;
    QIcon Icon(const CategoryEntry& entry) const override;
    CategoryEntry NewEntry() const override;
    std::optional<CategoryEntry> RunDialog(const CategoryEntry& initial) override;

private:
    const std::string& m_saveTo;
    FileChooser& m_files;
    Messages& m_messages;
};

}  // namespace dromo
