#pragma once

#include "base/forms/taskpagevalues.h"
#include "gui/widgets/cpropertypage.h"

class QPushButton;

namespace dromo {

class FileChooser;

// "File": the address a broken file comes from and the file itself (in the
// values' url and saveAs).
class CDlgImport : public CPropertyPage {
    Q_OBJECT
public:
    CDlgImport(TaskPageValues& values, FileChooser& files, Messages& messages, QWidget* parent = nullptr);

    QLineEdit* UrlEdit() const { return m_url; }
    QLineEdit* FileEdit() const { return m_file; }
    QPushButton* BrowseButton() const { return m_browse; }
    bool OnKillActive() override;
    QString StayReason() const override;

protected:
    void OnInitDialog() override;

private:
    TaskPageValues& m_values;
    FileChooser& m_files;
    QLineEdit* m_url;
    QLineEdit* m_file;
    QPushButton* m_browse;
};

}  // namespace dromo
