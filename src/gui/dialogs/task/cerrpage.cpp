#include "gui/dialogs/task/cerrpage.h"

#include <QGridLayout>

#include "gui/widgets/numberfield.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {

CErrPage::CErrPage(TaskPageValues& values, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("Exception"), messages, parent), m_values(values), m_errors(new NumberField(this)),
      m_interval(new NumberField(this))
{
    m_errors->SetSpinRange(0, 9999);
    m_interval->SetSpinRange(1, 120);
    auto* page = new QGridLayout(this);
    QGridLayout* grid = AddGroup(this, page, 0, tr("Error Control"));
    AddFieldRow(grid, 0, tr("Max Error Count:"), m_errors);
    AddFieldRow(grid, 1, tr("Interval between Retries:"), m_interval, tr("s"));
    page->setRowStretch(1, 1);
}

void CErrPage::OnInitDialog()
{
    m_errors->SetValue(m_values.errorCount);
    m_interval->SetValue(m_values.retryInterval);
}

bool CErrPage::OnKillActive()
{
    return TakeInt(m_errors, 0, 9999, m_values.errorCount) && TakeInt(m_interval, 1, 120, m_values.retryInterval);
}

}  // namespace dromo
