#pragma once

#include <QDialog>

namespace dromo {

// "Legend": what the six state images of the task list mean.
class CLegendDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLegendDlg(QWidget* parent = nullptr);
};

}  // namespace dromo
