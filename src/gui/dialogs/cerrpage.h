#pragma once

#include "dialogs/cpropertypage.h"
#include "dialogs/taskpagevalues.h"

namespace dromo {

// "Exception": how often and how soon a failed task is tried again.
class CErrPage : public CPropertyPage {
    Q_OBJECT
public:
    CErrPage(TaskPageValues& values, Messages& messages, QWidget* parent = nullptr);

    CNumberField* ErrorCount() const { return m_errors; }
    CNumberField* RetryInterval() const { return m_interval; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    TaskPageValues& m_values;
    CNumberField* m_errors;
    CNumberField* m_interval;
};

}  // namespace dromo
