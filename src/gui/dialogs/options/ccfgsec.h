#pragma once

#include "gui/dialogs/lists/listpage.h"

namespace dromo {

// "Security": the log-ins kept per server.
class CCfgSec : public ListPage<SiteEntry> {
public:
    CCfgSec(std::int32_t& enable, ListRows<SiteEntry>& rows, Messages& messages);

protected:
    QStringList Texts(const SiteEntry& entry) const override;
    QIcon Icon(const SiteEntry& entry) const override;
    std::optional<SiteEntry> RunDialog(const SiteEntry& initial) override;
};

}  // namespace dromo
