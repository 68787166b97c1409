#pragma once

#include <string>

#include <QDialog>

#include "base/values/proxylist.h"

class QLineEdit;

namespace dromo {

class NumberField;
class Messages;

// "Proxy": an address, a port (80 for a new one), and a log-in. OK is
// refused while the address is empty or the port is 0.
class CDlgProxy : public QDialog {
    Q_OBJECT
public:
    CDlgProxy(const ProxyEntry& entry, Messages& messages, QWidget* parent = nullptr);

    ProxyEntry Entry() const;
    QLineEdit* AddressEdit() const { return m_address; }
    NumberField* PortField() const { return m_port; }
    QLineEdit* UserEdit() const { return m_user; }
    void accept() override;

private:
    Messages& m_messages;
    QLineEdit* m_address;
    NumberField* m_port;
    QLineEdit* m_user;
    QLineEdit* m_password;
    int m_portValue = 80;
    // An edited entry keeps its password's keyring entry: with the keyring
    // locked its password shows as "" and must not be lost by an edit.
    std::string m_keyringId;
};

}  // namespace dromo
