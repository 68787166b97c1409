#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace dromo {

// "Wall Paper": the task list's background image (tiled or not) and its
// text colour.
class CWallpaperDlg : public QDialog {
    Q_OBJECT
public:
    CWallpaperDlg(const QString& path, bool tiled, int textColor, QWidget* parent = nullptr);

    QString Path() const;
    bool Tiled() const;
    int TextColor() const;

private:
    void Browse();

    QLineEdit* m_path;
    QCheckBox* m_tile;
    QComboBox* m_colour;
};

}  // namespace dromo
