#pragma once

#include "base/forms/pagechoices.h"
#include "base/forms/taskpagevalues.h"
#include "gui/widgets/cpropertypage.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace dromo {

// "Protocol": passive FTP, the HTTP version and the user agent; for one task
// or, in the options, for new tasks. A stored text none of the choices
// matches is kept until the user picks one. Given the program-wide "Require
// TLS for FTP" (the options' page), its box stands below "PASV Mode".
class CCfgPro : public CPropertyPage {
    Q_OBJECT
public:
    CCfgPro(ProtocolFields& fields, Messages& messages, std::int32_t* requireFtpTls = nullptr,
            QWidget* parent = nullptr);

    QCheckBox* Pasv() const { return m_pasv; }
    QCheckBox* RequireFtpTls() const { return m_requireTls; }  // nullptr on a task's page
    QRadioButton* Version(int index) const { return m_versions[index]; }
    QComboBox* UserAgent() const { return m_agent; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    ProtocolFields& m_fields;
    std::int32_t* m_requireFtpTls;
    QCheckBox* m_pasv;
    QCheckBox* m_requireTls = nullptr;
    QRadioButton* m_versions[kHttpVersions.size()];
    QComboBox* m_agent;
};

}  // namespace dromo
