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
    // Whether the user picked a colour from the list (the one shown may be
    // the default).
    bool TextColorPicked() const { return m_picked; }

private:
    void Browse();

    QLineEdit* m_path;
    QCheckBox* m_tile;
    QComboBox* m_colour;
    bool m_picked = false;
};

}  // namespace dromo
