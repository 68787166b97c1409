#include "gui/dialogs/options/cpropsheet.h"

#include "gui/dialogs/options/ccfgauto.h"
#include "gui/dialogs/options/ccfgcat.h"
#include "gui/dialogs/options/ccfgconn.h"
#include "gui/dialogs/options/ccfggen.h"
#include "gui/dialogs/options/ccfgpro.h"
#include "gui/dialogs/options/ccfgproxy.h"
#include "gui/dialogs/options/ccfgsch.h"
#include "gui/dialogs/options/ccfgsec.h"
#include "gui/dialogs/options/ccfgsnd.h"
#include "gui/dialogs/options/ccfgsys.h"
#include "gui/dialogs/options/ccfgvirus.h"

namespace dromo {

CPropSheet::CPropSheet(QWidget* parent, const ViewSettings& live, Messages& messages, FileChooser& files, Sound& sound,
                       std::function<void()> clearHistory)
    : CPropertySheet(tr("Options"), parent), m_options(live.options),
      m_speed(SpeedFields::FromStored(live.options.maxSpeedValue)),
      m_refreshTenths(live.options.refreshRate / 100), m_protocolFields{live.options.pasvMode, live.options.httpVersion,
                                                                        live.options.userAgent},
      m_scheduleFields{live.options.enableSchedule, live.options.scheduleStartAt, live.options.untilFinished,
                       live.options.duration},
      m_proxyRows(ProxyRows(live.proxies)), m_categoryRows(CategoryRows(live.categories)),
      m_siteRows(SiteRows(live.sites)), m_general(new CCfgGen(m_options, files, messages, std::move(clearHistory))),
      m_connection(new CCfgConn(m_options, m_speed, messages)),
      m_system(new CCfgSys(m_options, m_refreshTenths, messages)), m_automation(new CCfgAuto(m_options, messages)),
      m_proxy(new CCfgProxy(m_options.enableProxy, m_proxyRows, messages)),
      m_protocol(new CCfgPro(m_protocolFields, messages, &m_options.requireFtpTls)),
      m_schedule(new CCFGSch(m_scheduleFields, messages)),
      m_category(new CCfgCat(m_options.enableCategory, m_categoryRows, m_options.saveTo, files, messages)),
      m_security(new CCfgSec(m_options.enableSecurity, m_siteRows, messages)),
      m_virus(new CCfgVirus(m_options, files, messages)), m_sounds(new CCFGSnd(m_options, files, sound, messages))
{
    for (CPropertyPage* page :
         std::initializer_list<CPropertyPage*>{m_general, m_connection, m_system, m_automation, m_proxy, m_protocol,
                                               m_schedule, m_category, m_security, m_virus, m_sounds}) {
        AddPage(page);
    }
}

CPropSheet::~CPropSheet() = default;

OptionsSheetResult CPropSheet::Result() const
{
    OptionsSheetResult result;
    result.options = m_options;
    result.options.maxSpeedValue = m_speed.Stored();
    result.options.refreshRate = m_refreshTenths * 100;
    result.options.pasvMode = m_protocolFields.pasvMode;
    result.options.httpVersion = m_protocolFields.httpVersion;
    result.options.userAgent = m_protocolFields.userAgent;
    result.options.enableSchedule = m_scheduleFields.scheduled;
    result.options.scheduleStartAt = m_scheduleFields.startAt;
    result.options.untilFinished = m_scheduleFields.untilFinished;
    result.options.duration = m_scheduleFields.duration;
    if (m_proxyRows.Changed()) {
        result.proxies = m_proxyRows.Rows();
    }
    if (m_categoryRows.Changed()) {
        result.categories = m_categoryRows.Rows();
    }
    if (m_siteRows.Changed()) {
        result.sites = m_siteRows.Rows();
    }
    return result;
}

}  // namespace dromo
