#include "gui/dialogs/options/ccfgcat.h"

#include "base/view/filetypeicon.h"
#include "gui/dialogs/lists/cdlgcategory.h"
#include "gui/widgets/artwork.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {
namespace {

ListPageTexts CategoryTexts()
{
    return {QObject::tr("Category"),
            QObject::tr("Enable Category"),
            {QObject::tr("Category"), QObject::tr("Extension"), QObject::tr("Save to")},
            QObject::tr("Add"),
            {QObject::tr("This place provides you the convenience to categorise the downloaded files. All the files "
                         "matched the specified extension will be saved to the defined location."),
             QObject::tr("All the categories are in this list, view the properties of each item by double-clicking on "
                         "it."),
             QObject::tr("Add a new category to the list."), QObject::tr("Remove an existing category from the list."),
             QObject::tr("Edit an existing category in the list.")}};
}

}  // namespace

CCfgCat::CCfgCat(std::int32_t& enable, ListRows<CategoryEntry>& rows, const std::string& saveTo, FileChooser& files,
                 Messages& messages)
    : ListPage(CategoryTexts(), enable, rows, messages), m_saveTo(saveTo), m_files(files), m_messages(messages)
{
}

QStringList CCfgCat::Texts(const CategoryEntry& entry) const
{
    return {ToQString(entry.name), ToQString(entry.extension), ToQString(entry.folder)};
}

QIcon CCfgCat::Icon(const CategoryEntry& entry) const
{
    return Artwork::FileType(FileTypeIcon("." + entry.extension));
}

CategoryEntry CCfgCat::NewEntry() const
{
    return {"", "", m_saveTo};
}

std::optional<CategoryEntry> CCfgCat::RunDialog(const CategoryEntry& initial)
{
    CDlgCategory dialog(initial, m_files, m_messages, this);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Entry();
}

}  // namespace dromo
