#pragma once

#include <optional>

#include "base/core/categorylist.h"
#include "base/dialogs/saveasderivation.h"
#include "base/dialogs/taskpagevalues.h"
#include "gui/dialogs/widgets/cpropertypage.h"

namespace dromo {

// "URL": the address, the file it is saved as, and the checksum the file
// must match (optional). Editing the URL derives "Save as" again.
class CAddURL : public CPropertyPage {
    Q_OBJECT
public:
    CAddURL(TaskPageValues& values, const CategoryList* categories, Messages& messages, QWidget* parent = nullptr);

    QLineEdit* UrlEdit() const { return m_url; }
    QLineEdit* SaveAsEdit() const { return m_saveAs; }
    QLineEdit* ChecksumEdit() const { return m_checksum; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    TaskPageValues& m_values;
    const CategoryList* m_categories;
    std::optional<SaveAsDerivation> m_derivation;
    QLineEdit* m_url;
    QLineEdit* m_saveAs;
    QLineEdit* m_checksum;
};

}  // namespace dromo
