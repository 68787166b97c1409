#pragma once

#include "base/forms/taskpagevalues.h"
#include "gui/widgets/cpropertypage.h"

namespace dromo {

// "Exception": how often and how soon a failed task is tried again.
class CErrPage : public CPropertyPage {
    Q_OBJECT
public:
    CErrPage(TaskPageValues& values, Messages& messages, QWidget* parent = nullptr);

    NumberField* ErrorCount() const { return m_errors; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    TaskPageValues& m_values;
    NumberField* m_errors;
    NumberField* m_interval;
};

}  // namespace dromo
