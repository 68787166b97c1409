#include "gui/dialogs/task/cproxyspage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>

#include "base/forms/pagechoices.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {

CProxysPage::CProxysPage(TaskPageValues& values, const ProxyList& proxies, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("Proxy"), messages, parent), m_values(values), m_proxies(proxies),
      m_enable(new QCheckBox(tr("Enable Proxy"), this)), m_choice(new QComboBox(this))
{
    auto* page = new QGridLayout(this);
    page->addWidget(m_enable, 0, 0, 1, 2);
    AddLabel(page, 1, 0, tr("Proxy:"));
    page->addWidget(m_choice, 1, 1);
    page->setColumnStretch(1, 1);
    page->setRowStretch(2, 1);
    connect(m_enable, &QCheckBox::clicked, m_choice, &QComboBox::setEnabled);
}

void CProxysPage::OnInitDialog()
{
    m_enable->setChecked(m_values.useProxy != 0);
    m_choice->setEnabled(m_enable->isChecked());
    for (const ProxyEntry& proxy : m_proxies) {
        m_choice->addItem(ToQString(proxy.host));
    }
    m_choice->setCurrentIndex(ProxyChoiceOnShow(m_values.proxyChoice, m_choice->count()));
}

bool CProxysPage::OnKillActive()
{
    m_values.useProxy = m_enable->isChecked() ? 1 : 0;
    return m_values.useProxy == 0 || m_choice->count() > 0;
}

void CProxysPage::OnOK()
{
    m_values.proxyChoice = m_choice->currentIndex();
}

}  // namespace dromo
