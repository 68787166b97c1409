#pragma once

#include "core/globaloptions.h"
#include "dialogs/cpropertypage.h"
#include "dialogs/taskpagevalues.h"

namespace dromo {

class CSpeedGroup;

// "Connection" of the options: how many tasks run at once, and the error,
// time-out and speed defaults of new tasks.
class CCfgConn : public CPropertyPage {
    Q_OBJECT
public:
    CCfgConn(GlobalOptions& options, SpeedFields& speed, Messages& messages);

    CNumberField* Threads() const { return m_threads; }
    CNumberField* ErrorCount() const { return m_errors; }
    CNumberField* RetryInterval() const { return m_interval; }
    CNumberField* IdleTime() const { return m_idle; }
    CSpeedGroup* Speed() const { return m_speed; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    GlobalOptions& m_options;
    CNumberField* m_threads;
    CNumberField* m_errors;
    CNumberField* m_interval;
    CNumberField* m_idle;
    CSpeedGroup* m_speed;
};

}  // namespace dromo
