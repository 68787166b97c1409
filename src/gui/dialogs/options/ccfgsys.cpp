#include "gui/dialogs/options/ccfgsys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "gui/widgets/numberfield.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {

CCfgSys::CCfgSys(GlobalOptions& options, std::int32_t& refreshTenths, Messages& messages)
    : CPropertyPage(tr("System"), messages), m_options(options), m_refreshTenths(refreshTenths),
      m_autoSave(new QComboBox(this)), m_refresh(new NumberField(this)), m_color(new QComboBox(this)),
      m_multi(new QCheckBox(tr("Allow Multi Instances"), this)), m_log(new QCheckBox(tr("Enable Log"), this))
{
    auto* page = new QGridLayout(this);
    QGridLayout* save = AddGroup(this, page, 0, tr("Auto Save"));
    QLabel* saveLabel = AddFieldRow(save, 0, tr("Auto Save per:"), m_autoSave, tr("KB"));
    QGridLayout* refresh = AddGroup(this, page, 1, tr("Refresh"));
    QLabel* refreshLabel = AddRefreshRow(refresh, 0, m_refresh);
    QLabel* colorLabel = AddLabel(page, 2, 0, tr("Text Color:"));
    page->addWidget(m_color, 2, 1);
    page->addWidget(m_multi, 3, 0, 1, 2);
    page->addWidget(m_log, 4, 0, 1, 2);
    page->setColumnStretch(2, 1);
    page->setRowStretch(5, 1);
    connect(m_autoSave, &QComboBox::activated, this,
            [this](int i) { m_options.autoSave = ToStdString(m_autoSave->itemText(i)); });
    // A colour the user picks, "Black" too, is his and stays as picked.
    connect(m_color, &QComboBox::activated, this, [this] { m_options.textColorChosen = 1; });

    AddHelp({saveLabel, m_autoSave},
            tr("Specify the rule for Dromo to flush the downloaded data from memory to disk. Generally, if you have a "
               "fast connection to Internet, it is wise to set a larger value, if not, set it smaller."));
    AddHelp({refreshLabel, static_cast<QWidget*>(m_refresh)},
            tr("Specify how often Dromo will refresh the download progress. The value ranges from 1 to 50, which "
               "means 0.1s and 5s."));
    AddHelp({colorLabel, m_color}, tr("Set the foreground color of the window."));
    AddHelp({m_multi}, tr("Specify whether more than one Dromo instance will be allowed or not, it is recommended to "
                          "leave it empty."));
    AddHelp({m_log}, tr("Specify whether trace the download history."));
}

void CCfgSys::OnInitDialog()
{
    FillAutoSaveList(m_autoSave, m_options.autoSave);
    m_refresh->SetValue(m_refreshTenths);
    FillTextColorList(m_color, m_options.textColor);
    m_multi->setChecked(m_options.allowMultiInstance != 0);
    m_log->setChecked(m_options.enableLog != 0);
}

bool CCfgSys::OnKillActive()
{
    if (!TakeInt(m_refresh, 1, 50, m_refreshTenths)) {
        return false;
    }
    if (m_color->currentIndex() >= 0) {
        m_options.textColor = m_color->currentIndex();
    }
    m_options.allowMultiInstance = m_multi->isChecked() ? 1 : 0;
    m_options.enableLog = m_log->isChecked() ? 1 : 0;
    return true;
}

}  // namespace dromo
