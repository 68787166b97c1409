#pragma once

#include "base/forms/taskpagevalues.h"
#include "gui/widgets/cpropertypage.h"

class QComboBox;

namespace dromo {

// "Misc": how often a task's data goes to disk and its progress is shown.
class CMiscPage : public CPropertyPage {
    Q_OBJECT
public:
    CMiscPage(TaskPageValues& values, Messages& messages, QWidget* parent = nullptr);

    QComboBox* AutoSave() const { return m_autoSave; }
    NumberField* Refresh() const { return m_refresh; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    TaskPageValues& m_values;
    QComboBox* m_autoSave;
    NumberField* m_refresh;
};

}  // namespace dromo
