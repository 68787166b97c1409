#pragma once

#include <QDialog>

namespace dromo {

// "About Dromo": the version and the machine's memory.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

private:
    QString m_memory;
};

}  // namespace dromo
