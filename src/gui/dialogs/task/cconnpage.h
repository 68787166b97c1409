#pragma once

#include "base/forms/taskpagevalues.h"
#include "gui/widgets/cpropertypage.h"

namespace dromo {

class SpeedLimitGroup;

// "Connection": the idle time-out, the connections and the speed limit of
// one task.
class CConnPage : public CPropertyPage {
    Q_OBJECT
public:
    CConnPage(TaskPageValues& values, Messages& messages, QWidget* parent = nullptr);

    NumberField* IdleTime() const { return m_idle; }
    NumberField* Connections() const { return m_connections; }
    SpeedLimitGroup* Speed() const { return m_speed; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    TaskPageValues& m_values;
    NumberField* m_idle;
    NumberField* m_connections;
    SpeedLimitGroup* m_speed;
};

}  // namespace dromo
