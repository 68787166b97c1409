#pragma once

#include <functional>

#include "base/values/globaloptions.h"
#include "gui/widgets/cpropertypage.h"

class QCheckBox;
class QPushButton;

namespace dromo {

class FileChooser;

// "General": where files go, the default FTP log-in, the address bar's
// history, and what happens around adding and finishing tasks.
class CCfgGen : public CPropertyPage {
    Q_OBJECT
public:
    // The flags at the foot of the page; the last two are the desktop's.
    static constexpr int kChecks = 6;

    CCfgGen(GlobalOptions& options, FileChooser& files, Messages& messages, std::function<void()> clearHistory);

    QLineEdit* SaveTo() const { return m_saveTo; }
    QPushButton* Browse() const { return m_browse; }
    NumberField* MaxHistory() const { return m_maxHistory; }
    QPushButton* ClearAll() const { return m_clearAll; }
    QCheckBox* Check(int index) const { return m_checks[index]; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    GlobalOptions& m_options;
    QLineEdit* m_saveTo;
    QPushButton* m_browse;
    QLineEdit* m_user;
    QLineEdit* m_password;
    NumberField* m_maxHistory;
    QPushButton* m_clearAll;
    QCheckBox* m_checks[kChecks];
};

}  // namespace dromo
