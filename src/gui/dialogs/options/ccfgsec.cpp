#include "gui/dialogs/options/ccfgsec.h"

#include "base/view/filetypeicon.h"
#include "gui/dialogs/lists/cdlgsite.h"
#include "gui/widgets/artwork.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {
namespace {

ListPageTexts SiteTexts()
{
    return {QObject::tr("Security"),
            QObject::tr("Enable Security"),
            {QObject::tr("Host")},
            QObject::tr("Add"),
            {QObject::tr("This place provides you the convenience to set site security individually. You can bind the "
                         "pair of username and password to a site."),
             QObject::tr("All the sites are in this list, view the properties of each item by double-clicking on it."),
             QObject::tr("Add a new site to the list."), QObject::tr("Remove an existing site from the list."),
             QObject::tr("Edit an existing site in the list.")}};
}

}  // namespace

CCfgSec::CCfgSec(std::int32_t& enable, ListRows<SiteEntry>& rows, Messages& messages)
    : ListPage(SiteTexts(), enable, rows, messages)
{
}

QStringList CCfgSec::Texts(const SiteEntry& entry) const
{
    return {ToQString(entry.host)};
}

QIcon CCfgSec::Icon(const SiteEntry&) const
{
    return Artwork::FileType(kIconWebPage);
}

std::optional<SiteEntry> CCfgSec::RunDialog(const SiteEntry& initial)
{
    CDlgSite dialog(initial, this);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Entry();
}

}  // namespace dromo
