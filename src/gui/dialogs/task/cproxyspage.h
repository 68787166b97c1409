#pragma once

#include "base/forms/taskpagevalues.h"
#include "base/values/proxylist.h"
#include "gui/widgets/cpropertypage.h"

class QCheckBox;
class QComboBox;

namespace dromo {

// "Proxy": whether the task goes through a proxy of the options' list, and
// which. The choice is read back at OK only.
class CProxysPage : public CPropertyPage {
    Q_OBJECT
public:
    CProxysPage(TaskPageValues& values, const ProxyList& proxies, Messages& messages, QWidget* parent = nullptr);

    QCheckBox* Enable() const { return m_enable; }
    QComboBox* Choice() const { return m_choice; }
    bool OnKillActive() override;
    void OnOK() override;

protected:
    void OnInitDialog() override;

private:
    TaskPageValues& m_values;
    const ProxyList& m_proxies;
    QCheckBox* m_enable;
    QComboBox* m_choice;
};

}  // namespace dromo
