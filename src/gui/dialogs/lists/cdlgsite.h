#pragma once

#include <string>

#include <QDialog>

#include "base/values/sitelist.h"

class QLineEdit;

namespace dromo {

// "Site": a server and the log-in used for it. OK is refused while the
// address or the user name is empty.
class CDlgSite : public QDialog {
    Q_OBJECT
public:
    CDlgSite(const SiteEntry& entry, QWidget* parent = nullptr);

    SiteEntry Entry() const;
    QLineEdit* AddressEdit() const { return m_address; }
    QLineEdit* UserEdit() const { return m_user; }
    void accept() override;

private:
    QLineEdit* m_address;
    QLineEdit* m_user;
    QLineEdit* m_password;
    // An edited entry keeps its password's keyring entry: with the keyring
    // locked its password shows as "" and must not be lost by an edit.
    std::string m_keyringId;
};

}  // namespace dromo
