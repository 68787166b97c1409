#include "gui/dialogs/options/ccfgproxy.h"

#include "gui/dialogs/lists/cdlgproxy.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {
namespace {

ListPageTexts ProxyTexts()
{
    return {QObject::tr("Proxy"),
            QObject::tr("Enable Proxy"),
            {QObject::tr("Proxy Server"), QObject::tr("Port")},
            QObject::tr("Add..."),
            {QObject::tr("This place provides you the convenience to configure proxy servers."),
             QObject::tr("All the proxy servers are in this list, view the properties of each item by double-clicking "
                         "on it."),
             QObject::tr("Add a new proxy server to the list."),
             QObject::tr("Remove an existing proxy server from the list."),
             QObject::tr("Edit an existing proxy server in the list.")}};
}

}  // namespace

CCfgProxy::CCfgProxy(std::int32_t& enable, ListRows<ProxyEntry>& rows, Messages& messages)
    : ListPage(ProxyTexts(), enable, rows, messages), m_messages(messages)
{
}

bool CCfgProxy::OnKillActive()
{
    ListPage::OnKillActive();
    return !Enable()->isChecked() || List()->rowCount() > 0;
}

QStringList CCfgProxy::Texts(const ProxyEntry& entry) const
{
    return {ToQString(entry.host), QString::number(static_cast<std::uint16_t>(entry.port))};
}

std::optional<ProxyEntry> CCfgProxy::RunDialog(const ProxyEntry& initial)
{
    CDlgProxy dialog(initial, m_messages, this);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Entry();
}

}  // namespace dromo
