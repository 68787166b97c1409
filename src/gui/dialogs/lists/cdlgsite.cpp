#include "gui/dialogs/lists/cdlgsite.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "gui/widgets/pagewidgets.h"

namespace dromo {

CDlgSite::CDlgSite(const SiteEntry& entry, QWidget* parent)
    : QDialog(parent), m_address(new QLineEdit(ToQString(entry.host), this)),
      m_user(new QLineEdit(ToQString(entry.user), this)), m_password(new QLineEdit(ToQString(entry.password), this)),
      m_keyringId(entry.keyringId)
{
    setWindowTitle(tr("Site"));
    m_password->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Address:"), this), 0, 0);
    grid->addWidget(m_address, 0, 1);
    grid->addWidget(new QLabel(tr("Username:"), this), 1, 0);
    grid->addWidget(m_user, 1, 1);
    grid->addWidget(new QLabel(tr("Password:"), this), 2, 0);
    grid->addWidget(m_password, 2, 1);
    grid->addWidget(buttons, 3, 0, 1, 2);
    m_address->setMinimumWidth(240);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgSite::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgSite::reject);
}

SiteEntry CDlgSite::Entry() const
{
    return {ToStdString(m_address->text()), ToStdString(m_user->text()), ToStdString(m_password->text()), m_keyringId};
}

void CDlgSite::accept()
{
    if (!m_address->text().isEmpty() && !m_user->text().isEmpty()) {
        QDialog::accept();
    }
}

}  // namespace dromo
