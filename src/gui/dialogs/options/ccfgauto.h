#pragma once

#include "base/values/globaloptions.h"
#include "gui/widgets/cpropertypage.h"

class QCheckBox;
class QPlainTextEdit;

namespace dromo {

// "Automation": which browser downloads the capture module hands to Dromo.
// The profile keeps the classic value names; the labels name the browsers
// the module serves on Linux.
class CCfgAuto : public CPropertyPage {
    Q_OBJECT
public:
    CCfgAuto(GlobalOptions& options, Messages& messages);

    static constexpr int kFileTypesLimit = 1024;

    QCheckBox* Check(int index) const { return m_checks[index]; }
    QPlainTextEdit* FileTypes() const { return m_types; }
    QCheckBox* WatchClipboard() const { return m_watch; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    void ApplyReadOnly();
    void ShowWatchedTypes();

    GlobalOptions& m_options;
    QCheckBox* m_checks[4] = {};
    QPlainTextEdit* m_types = nullptr;
    QCheckBox* m_watch = nullptr;
};

}  // namespace dromo
