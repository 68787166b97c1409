#include "gui/dialogs/task/caddprop.h"

#include "gui/dialogs/options/ccfgpro.h"
#include "gui/dialogs/options/ccfgsch.h"
#include "gui/dialogs/task/caddurl.h"
#include "gui/dialogs/task/cconnpage.h"
#include "gui/dialogs/task/cdlgimport.h"
#include "gui/dialogs/task/cerrpage.h"
#include "gui/dialogs/task/cidpage.h"
#include "gui/dialogs/task/cmirrorspage.h"
#include "gui/dialogs/task/cmiscpage.h"
#include "gui/dialogs/task/cproxyspage.h"

namespace dromo {

CAddProp::CAddProp(const QString& caption, QWidget* parent, FirstPage first, TaskPageValues& values,
                   const ProxyList& proxies, const CategoryList* categories, Messages& messages, FileChooser& files)
    : CPropertySheet(caption, parent), m_identity(new CIDPage(values, messages)),
      m_connection(new CConnPage(values, messages)), m_exception(new CErrPage(values, messages)),
      m_proxy(new CProxysPage(values, proxies, messages)), m_protocol(new CCfgPro(values.protocol, messages)),
      m_schedule(new CCFGSch(values.schedule, messages)), m_misc(new CMiscPage(values, messages))
{
    if (first == kFilePage) {
        m_file = new CDlgImport(values, files, messages);
        AddPage(m_file);
    } else {
        m_url = new CAddURL(values, categories, messages);
        AddPage(m_url);
    }
    for (CPropertyPage* page : std::initializer_list<CPropertyPage*>{m_identity, m_connection, m_exception, m_proxy,
                                                                     m_protocol, m_schedule, m_misc}) {
        AddPage(page);
    }
    if (!values.mirrors.empty()) {
        m_mirrors = new CMirrorsPage(values, messages);
        AddPage(m_mirrors);
    }
}

}  // namespace dromo
