#pragma once

#include "dialogs/cpropertypage.h"
#include "dialogs/taskpagevalues.h"

namespace dromo {

class CSpeedGroup;

// "Connection": the idle time-out and the speed limit of one task.
class CConnPage : public CPropertyPage {
    Q_OBJECT
public:
    CConnPage(TaskPageValues& values, Messages& messages, QWidget* parent = nullptr);

    CNumberField* IdleTime() const { return m_idle; }
    CSpeedGroup* Speed() const { return m_speed; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    TaskPageValues& m_values;
    CNumberField* m_idle;
    CSpeedGroup* m_speed;
};

}  // namespace dromo
