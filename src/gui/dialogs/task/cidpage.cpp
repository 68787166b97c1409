#include "gui/dialogs/task/cidpage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>

#include "gui/widgets/pagewidgets.h"

namespace dromo {

CIDPage::CIDPage(TaskPageValues& values, Messages& messages, QWidget* parent)
    : CPropertyPage(tr("Identity"), messages, parent), m_values(values),
      m_enable(new QCheckBox(tr("Enable Authentication"), this)), m_user(new QLineEdit(this)),
      m_password(new QLineEdit(this))
{
    m_password->setEchoMode(QLineEdit::Password);
    auto* page = new QGridLayout(this);
    QGridLayout* grid = AddGroup(this, page, 0, tr("Identity"));
    grid->addWidget(m_enable, 0, 0, 1, 2);
    AddLabel(grid, 1, 0, tr("User:"));
    grid->addWidget(m_user, 1, 1);
    AddLabel(grid, 2, 0, tr("Password:"));
    grid->addWidget(m_password, 2, 1);
    page->setRowStretch(1, 1);
    connect(m_enable, &QCheckBox::clicked, this, [this] { ApplyEnabling(); });
}

void CIDPage::OnInitDialog()
{
    m_enable->setChecked(m_values.useLogin != 0);
    m_user->setText(ToQString(m_values.user));
    m_password->setText(ToQString(m_values.password));
    ApplyEnabling();
}

void CIDPage::ApplyEnabling()
{
    m_user->setEnabled(m_enable->isChecked());
    m_password->setEnabled(m_enable->isChecked());
}

bool CIDPage::OnKillActive()
{
    m_values.useLogin = m_enable->isChecked() ? 1 : 0;
    if (!TakeText(m_user, 32, m_values.user) || !TakeText(m_password, 32, m_values.password)) {
        return false;
    }
    return m_values.useLogin == 0 || !m_values.user.empty();
}

}  // namespace dromo
