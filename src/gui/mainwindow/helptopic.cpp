#include "gui/mainwindow/helptopic.h"

#include <QTabWidget>
#include <QVariant>
#include <QWidget>

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
#include "gui/dialogs/task/caddurl.h"
#include "gui/dialogs/task/cconnpage.h"
#include "gui/dialogs/task/cdlgimport.h"
#include "gui/dialogs/task/cerrpage.h"
#include "gui/dialogs/task/cidpage.h"
#include "gui/dialogs/task/cmirrorspage.h"
#include "gui/dialogs/task/cmiscpage.h"
#include "gui/dialogs/task/cproxyspage.h"
#include "gui/widgets/cpropertysheet.h"

namespace dromo {
namespace {

constexpr const char* kProperty = "dromoHelpTopic";

template <typename Page>
bool Is(const QWidget* widget)
{
    return dynamic_cast<const Page*>(widget) != nullptr;
}

struct Section {
    bool (*is)(const QWidget*);
    const char* name;
};

// The task sheets' pages, then the options sheet's; the Protocol and
// Schedule pages serve both.
constexpr Section kSections[] = {
    {Is<CAddURL>, "url"},          {Is<CDlgImport>, "file"},       {Is<CIDPage>, "identity"},
    {Is<CConnPage>, "connection"}, {Is<CErrPage>, "exception"},    {Is<CProxysPage>, "proxy"},
    {Is<CCfgPro>, "protocol"},     {Is<CCFGSch>, "schedule"},      {Is<CMiscPage>, "misc"},
    {Is<CCfgGen>, "general"},      {Is<CCfgConn>, "connection"},   {Is<CCfgSys>, "system"},
    {Is<CCfgProxy>, "proxy"},      {Is<CCfgCat>, "category"},      {Is<CCfgSec>, "security"},
    {Is<CCfgAuto>, "automation"},  {Is<CCfgVirus>, "virus-check"}, {Is<CCFGSnd>, "sounds"},
    {Is<CMirrorsPage>, "mirrors"},
};

}  // namespace

void HelpTopic::Mark(QWidget* widget, const QString& topic)
{
    widget->setProperty(kProperty, topic);
}

QString HelpTopic::For(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        QString topic = w->property(kProperty).toString();
        if (topic.isEmpty()) {
            continue;
        }
        const auto* sheet = qobject_cast<const CPropertySheet*>(w);
        if (!sheet || topic.contains(QLatin1Char('#'))) {
            return topic;
        }
        const QString section = SectionOf(sheet->Tabs()->currentWidget());
        return section.isEmpty() ? topic : topic + QLatin1Char('#') + section;
    }
    return QString::fromLatin1(kContents);
}

QString HelpTopic::SectionOf(const QWidget* page)
{
    for (const Section& s : kSections) {
        if (s.is(page)) {
            return QString::fromLatin1(s.name);
        }
    }
    return {};
}

}  // namespace dromo
