#pragma once

#include <functional>

#include "base/forms/listrows.h"
#include "base/forms/optionsapply.h"
#include "base/forms/taskpagevalues.h"
#include "base/storage/settingsstore.h"
#include "gui/widgets/cpropertysheet.h"

namespace dromo {

class CCFGSch;
class CCFGSnd;
class CCfgAuto;
class CCfgCat;
class CCfgConn;
class CCfgGen;
class CCfgPro;
class CCfgProxy;
class CCfgSec;
class CCfgSys;
class CCfgVirus;
class FileChooser;
class Messages;
class Sound;

// "Options": the program-wide settings on eleven pages. It works on copies
// of the options and the lists; Result() hands them back after OK.
class CPropSheet : public CPropertySheet {
    Q_OBJECT
public:
    CPropSheet(QWidget* parent, const ViewSettings& live, Messages& messages, FileChooser& files, Sound& sound,
               std::function<void()> clearHistory);
    ~CPropSheet() override;

    OptionsSheetResult Result() const;

    CCfgGen* General() const { return m_general; }
    CCfgConn* Connection() const { return m_connection; }
    CCfgSys* System() const { return m_system; }
    CCfgAuto* Automation() const { return m_automation; }
    CCfgProxy* Proxy() const { return m_proxy; }
    CCfgPro* Protocol() const { return m_protocol; }
    CCFGSch* Schedule() const { return m_schedule; }
    CCfgCat* Category() const { return m_category; }
    CCfgSec* Security() const { return m_security; }
    CCfgVirus* Virus() const { return m_virus; }
    CCFGSnd* Sounds() const { return m_sounds; }

private:
    GlobalOptions m_options;
    SpeedFields m_speed;
    std::int32_t m_refreshTenths;
    ProtocolFields m_protocolFields;
    ScheduleFields m_scheduleFields;
    ListRows<ProxyEntry> m_proxyRows;
    ListRows<CategoryEntry> m_categoryRows;
    ListRows<SiteEntry> m_siteRows;

    CCfgGen* m_general;
    CCfgConn* m_connection;
    CCfgSys* m_system;
    CCfgAuto* m_automation;
    CCfgProxy* m_proxy;
    CCfgPro* m_protocol;
    CCFGSch* m_schedule;
    CCfgCat* m_category;
    CCfgSec* m_security;
    CCfgVirus* m_virus;
    CCFGSnd* m_sounds;
};

}  // namespace dromo
