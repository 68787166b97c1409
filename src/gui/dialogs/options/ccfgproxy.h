#pragma once

#include "gui/dialogs/lists/listpage.h"

namespace dromo {

// "Proxy" of the options: the proxy servers tasks may go through.
class CCfgProxy : public ListPage<ProxyEntry> {
public:
    CCfgProxy(std::int32_t& enable, ListRows<ProxyEntry>& rows, Messages& messages);
    // Proxy on with no proxy to use: the page cannot be left.
    bool OnKillActive() override;

protected:
    QStringList Texts(const ProxyEntry& entry) const override;
    ProxyEntry NewEntry() const override { return ProxyEntry{}; }
    std::optional<ProxyEntry> RunDialog(const ProxyEntry& initial) override;

private:
    Messages& m_messages;
};

}  // namespace dromo
