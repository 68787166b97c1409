#pragma once

#include "base/values/globaloptions.h"
#include "gui/widgets/cpropertypage.h"

class QCheckBox;
class QComboBox;

namespace dromo {

// "System": auto-save and refresh defaults, the list's text colour, several
// instances, and the history log.
class CCfgSys : public CPropertyPage {
    Q_OBJECT
public:
    CCfgSys(GlobalOptions& options, std::int32_t& refreshTenths, Messages& messages);

    QComboBox* AutoSave() const { return m_autoSave; }
    NumberField* Refresh() const { return m_refresh; }
    QComboBox* TextColor() const { return m_color; }
    QCheckBox* Log() const { return m_log; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    GlobalOptions& m_options;
    std::int32_t& m_refreshTenths;
    QComboBox* m_autoSave;
    NumberField* m_refresh;
    QComboBox* m_color;
    QCheckBox* m_multi;
    QCheckBox* m_log;
};

}  // namespace dromo
