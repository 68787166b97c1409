#pragma once

#include "dialogs/cpropertypage.h"
#include "dialogs/taskpagevalues.h"

class QComboBox;

namespace dromo {

// "Misc": how often a task's data goes to disk and its progress is shown.
class CMiscPage : public CPropertyPage {
    Q_OBJECT
public:
    CMiscPage(TaskPageValues& values, Messages& messages, QWidget* parent = nullptr);

    QComboBox* AutoSave() const { return m_autoSave; }
    CNumberField* Refresh() const { return m_refresh; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    TaskPageValues& m_values;
    QComboBox* m_autoSave;
    CNumberField* m_refresh;
};

}  // namespace dromo
