#pragma once

#include <optional>

class QLabel;

#include "base/core/categorylist.h"
#include "base/dialogs/saveasderivation.h"
#include "base/dialogs/taskpagevalues.h"
#include "gui/dialogs/widgets/cpropertypage.h"

namespace dromo {

// "URL": the address and the file it is saved as. Editing the URL derives
// "Save as" again. When the values allow many URLs ("Add URL"), the field
// also takes a pattern or a paste of several lines: the count of tasks shows
// beneath it, "Save as" then names their folder, and OK is refused while the
// text is faulty.
class CAddURL : public CPropertyPage {
    Q_OBJECT
public:
    CAddURL(TaskPageValues& values, const CategoryList* categories, Messages& messages, QWidget* parent = nullptr);

    QLineEdit* UrlEdit() const { return m_url; }
    QLineEdit* SaveAsEdit() const { return m_saveAs; }
    QLabel* CountLabel() const { return m_count; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    void UrlEdited(const QString& text);
    void ShowCount();

    TaskPageValues& m_values;
    const CategoryList* m_categories;
    std::optional<SaveAsDerivation> m_derivation;
    QLineEdit* m_url;
    QLineEdit* m_saveAs;
    QLabel* m_count;
};

}  // namespace dromo
