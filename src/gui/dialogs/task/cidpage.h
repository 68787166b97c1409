#pragma once

#include "base/forms/taskpagevalues.h"
#include "gui/widgets/cpropertypage.h"

class QCheckBox;

namespace dromo {

// "Identity": the task's own log-in.
class CIDPage : public CPropertyPage {
    Q_OBJECT
public:
    CIDPage(TaskPageValues& values, Messages& messages, QWidget* parent = nullptr);

    QCheckBox* Enable() const { return m_enable; }
    QLineEdit* User() const { return m_user; }
    QLineEdit* Password() const { return m_password; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    void ApplyEnabling();

    TaskPageValues& m_values;
    QCheckBox* m_enable;
    QLineEdit* m_user;
    QLineEdit* m_password;
};

}  // namespace dromo
