#pragma once

#include "base/forms/taskpagevalues.h"
#include "gui/widgets/cpropertypage.h"

class QCheckBox;
class QTimeEdit;

namespace dromo {

// "Schedule": whether a task waits for its start time, and how long it then
// runs; for one task or, in the options, for new tasks.
class CCFGSch : public CPropertyPage {
    Q_OBJECT
public:
    CCFGSch(ScheduleFields& fields, Messages& messages, QWidget* parent = nullptr);

    QCheckBox* Enable() const { return m_enable; }
    QTimeEdit* StartAt() const { return m_startAt; }
    QCheckBox* UntilFinished() const { return m_untilFinished; }
    NumberField* Duration() const { return m_duration; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    void ApplyEnabling();

    ScheduleFields& m_fields;
    QCheckBox* m_enable;
    QTimeEdit* m_startAt;
    QCheckBox* m_untilFinished;
    NumberField* m_duration;
};

}  // namespace dromo
