#include "gui/dialogs/lists/cdlgproxy.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "base/forms/fieldcheck.h"
#include "base/ports/messages.h"
#include "gui/widgets/numberfield.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {

CDlgProxy::CDlgProxy(const ProxyEntry& entry, Messages& messages, QWidget* parent)
    : QDialog(parent), m_messages(messages), m_address(new QLineEdit(ToQString(entry.host), this)),
      m_port(new NumberField(this)), m_user(new QLineEdit(ToQString(entry.user), this)),
      m_password(new QLineEdit(ToQString(entry.password), this)), m_keyringId(entry.keyringId)
{
    setWindowTitle(tr("Proxy"));
    // Ports above 32767 are kept in the list's 16 bits as their negative
    // twins; shown and entered as what they are.
    m_portValue = static_cast<std::uint16_t>(entry.port);
    m_port->SetValue(m_portValue);
    m_port->SetSpinRange(0, 65535);
    m_password->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Proxy Address"), this), 0, 0);
    grid->addWidget(m_address, 0, 1);
    grid->addWidget(new QLabel(tr("Port"), this), 1, 0);
    grid->addWidget(m_port, 1, 1);
    grid->addWidget(new QLabel(tr("User:"), this), 2, 0);
    grid->addWidget(m_user, 2, 1);
    grid->addWidget(new QLabel(tr("Password:"), this), 3, 0);
    grid->addWidget(m_password, 3, 1);
    grid->addWidget(buttons, 4, 0, 1, 2);
    m_address->setMinimumWidth(240);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgProxy::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgProxy::reject);
}

ProxyEntry CDlgProxy::Entry() const
{
    return {ToStdString(m_address->text()), static_cast<std::int16_t>(static_cast<std::uint16_t>(m_portValue)),
            ToStdString(m_user->text()), ToStdString(m_password->text()), m_keyringId};
}

void CDlgProxy::accept()
{
    int port = 0;
    if (const auto message = CheckInteger(ToStdString(m_port->Text()), 0, 65535, port)) {
        m_messages.Warning(*message);
        m_port->setFocus();
        return;
    }
    m_portValue = port;
    if (!m_address->text().isEmpty() && port != 0) {
        QDialog::accept();
    }
}

}  // namespace dromo
