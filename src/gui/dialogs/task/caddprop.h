#pragma once

#include "base/forms/taskpagevalues.h"
#include "base/values/categorylist.h"
#include "base/values/proxylist.h"
#include "gui/widgets/cpropertysheet.h"

namespace dromo {

class CAddURL;
class CCFGSch;
class CCfgPro;
class CConnPage;
class CDlgImport;
class CErrPage;
class CIDPage;
class CMiscPage;
class CMirrorsPage;
class CProxysPage;
class FileChooser;
class Messages;

// Everything that belongs to one task, for "Add URL" and "Task Properties"
// (the URL page first) and "Import Broken File" (the File page first). The
// pages work on the caller's values; after Cancel the caller drops them.
class CAddProp : public CPropertySheet {
    Q_OBJECT
public:
    enum FirstPage { kUrlPage = 0, kFilePage = 1 };

    CAddProp(const QString& caption, QWidget* parent, FirstPage first, TaskPageValues& values, const ProxyList& proxies,
             const CategoryList* categories, Messages& messages, FileChooser& files);

    CAddURL* UrlPage() const { return m_url; }
    CDlgImport* FilePage() const { return m_file; }
    CIDPage* IdentityPage() const { return m_identity; }
    CConnPage* ConnectionPage() const { return m_connection; }
    CProxysPage* ProxyPage() const { return m_proxy; }
    CCfgPro* ProtocolPage() const { return m_protocol; }
    CCFGSch* SchedulePage() const { return m_schedule; }
    CMiscPage* MiscPage() const { return m_misc; }
    // Only for a task with mirrors; null otherwise.
    CMirrorsPage* MirrorsPage() const { return m_mirrors; }

private:
    CAddURL* m_url = nullptr;
    CDlgImport* m_file = nullptr;
    CIDPage* m_identity;
    CConnPage* m_connection;
    CErrPage* m_exception;
    CProxysPage* m_proxy;
    CCfgPro* m_protocol;
    CCFGSch* m_schedule;
    CMiscPage* m_misc;
    CMirrorsPage* m_mirrors = nullptr;
};

}  // namespace dromo
