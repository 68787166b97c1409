#pragma once

#include <QDialog>

#include "base/values/categorylist.h"

class QLineEdit;

namespace dromo {

class FileChooser;
class Messages;

// "Category": a name, an extension and the folder its files go to. OK is
// refused, without a message, while any of the three is empty.
class CDlgCategory : public QDialog {
    Q_OBJECT
public:
    CDlgCategory(const CategoryEntry& entry, FileChooser& files, Messages& messages, QWidget* parent = nullptr);

    CategoryEntry Entry() const;
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* ExtensionEdit() const { return m_extension; }
    void accept() override;

private:
    QLineEdit* m_name;
    QLineEdit* m_extension;
    QLineEdit* m_folder;
};

}  // namespace dromo
