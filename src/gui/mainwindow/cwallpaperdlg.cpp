#include "gui/mainwindow/cwallpaperdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include "base/view/textcolortable.h"
#include "gui/widgets/cflatbutton.h"
#include "platform/basetexts.h"

namespace dromo {

CWallpaperDlg::CWallpaperDlg(const QString& path, bool tiled, int textColor, QWidget* parent)
    : QDialog(parent), m_path(new QLineEdit(path)), m_tile(new QCheckBox(tr("Tile"))), m_colour(new QComboBox)
{
    setWindowTitle(tr("Wall Paper"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(tr("Image in Local Drive or from Internet"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(tr("URL:")), 0, 0);
    grid->addWidget(m_path, 0, 1);
    auto* browse = new CFlatButton(QStringLiteral("<<"));
    grid->addWidget(browse, 0, 2);
    m_tile->setChecked(tiled);
    grid->addWidget(m_tile, 1, 1);
    layout->addWidget(group);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(tr("Text Color:")));
    for (const dromo::TextColor& c : TextColorTable()) {
        QPixmap swatch(16, 16);
        swatch.fill(QColor(c.red, c.green, c.blue));
        m_colour->addItem(QIcon(swatch), BaseTexts::Shown(c.name));
    }
    m_colour->setCurrentIndex(textColor >= 0 && textColor < 16 ? textColor : 0);
    connect(m_colour, &QComboBox::activated, this, [this] { m_picked = true; });
    colourRow->addWidget(m_colour, 1);
    layout->addLayout(colourRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new CFlatButton(tr("OK"));
    auto* cancel = new CFlatButton(tr("Cancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &CWallpaperDlg::Browse);
}

void CWallpaperDlg::Browse()
{
    const QString chosen =
        QFileDialog::getOpenFileName(this, tr("Wall Paper"), QString(), tr("Image Files (*.bmp *.gif *.jpg *.png)"));
    if (!chosen.isEmpty()) {
        m_path->setText(chosen);
    }
}

QString CWallpaperDlg::Path() const
{
    return m_path->text().trimmed();
}

bool CWallpaperDlg::Tiled() const
{
    return m_tile->isChecked();
}

int CWallpaperDlg::TextColor() const
{
    return m_colour->currentIndex();
}

}  // namespace dromo
