#pragma once

#include "base/forms/taskpagevalues.h"
#include "base/values/globaloptions.h"
#include "gui/widgets/cpropertypage.h"

namespace dromo {

class SpeedLimitGroup;

// "Connection" of the options: how many tasks run at once, and the error,
// time-out and speed defaults of new tasks.
class CCfgConn : public CPropertyPage {
    Q_OBJECT
public:
    CCfgConn(GlobalOptions& options, SpeedFields& speed, Messages& messages);

    NumberField* Threads() const { return m_threads; }
    NumberField* Connections() const { return m_connections; }
    NumberField* ErrorCount() const { return m_errors; }
    NumberField* IdleTime() const { return m_idle; }
    SpeedLimitGroup* Speed() const { return m_speed; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    GlobalOptions& m_options;
    NumberField* m_threads;
    NumberField* m_connections;
    NumberField* m_errors;
    NumberField* m_interval;
    NumberField* m_idle;
    SpeedLimitGroup* m_speed;
};

}  // namespace dromo
