#pragma once

#include <optional>

class QLabel;

#include "base/forms/saveasderivation.h"
#include "base/forms/taskpagevalues.h"
#include "base/values/categorylist.h"
#include "gui/widgets/cpropertypage.h"

namespace dromo {

// "URL": the address, the file it is saved as, the checksum the file must
// match (optional), and for a video stream the variant to record. Editing the URL derives "Save as" again. When the
// values allow many URLs ("Add URL"), the field also takes a pattern or a
// paste of several lines: the count of tasks shows beneath it, "Save as"
// then names their folder, and OK is refused while the text is faulty.
class CAddURL : public CPropertyPage {
    Q_OBJECT
public:
    CAddURL(TaskPageValues& values, const CategoryList* categories, Messages& messages, QWidget* parent = nullptr);

    QLineEdit* UrlEdit() const { return m_url; }
    QLineEdit* SaveAsEdit() const { return m_saveAs; }
    QLabel* CountLabel() const { return m_count; }
    QLineEdit* ChecksumEdit() const { return m_checksum; }
    QLineEdit* VariantEdit() const { return m_variant; }
    bool OnKillActive() override;

    QString StayReason() const override;

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
    QLineEdit* m_checksum;
    QLineEdit* m_variant;
};

}  // namespace dromo
