#pragma once

#include "base/values/globaloptions.h"
#include "gui/widgets/cpropertypage.h"

class QCheckBox;
class QPushButton;

namespace dromo {

class FileChooser;

// "Virus Check": the scanner run on every finished file.
class CCfgVirus : public CPropertyPage {
    Q_OBJECT
public:
    CCfgVirus(GlobalOptions& options, FileChooser& files, Messages& messages);

    QCheckBox* Enable() const { return m_enable; }
    QLineEdit* Program() const { return m_program; }
    QLineEdit* Options() const { return m_parameters; }
    QPushButton* Browse() const { return m_browse; }
    // Checking on with no program or no options: the page cannot be left.
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    void ApplyEnabling();

    GlobalOptions& m_options;
    QCheckBox* m_enable;
    QLineEdit* m_program;
    QLineEdit* m_parameters;
    QPushButton* m_browse;
};

}  // namespace dromo
