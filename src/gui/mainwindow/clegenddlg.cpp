#include "gui/mainwindow/clegenddlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "base/values/taskstate.h"
#include "gui/widgets/artwork.h"
#include "gui/widgets/cflatbutton.h"
#include "platform/basetexts.h"

namespace dromo {

CLegendDlg::CLegendDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Legend"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(tr("Icon Lenend"));
    auto* grid = new QGridLayout(group);
    // The classic six in their order, then the two the list shows beyond them.
    const int order[] = {kImageQueued, kImageRunning, kImagePaused, kImageScheduled,
                         kImageDone,   kImageError,   kImageFailed, kImageVerified};
    int row = 0;
    for (int image : order) {
        auto* icon = new QLabel;
        icon->setPixmap(Artwork::StateImage(image));
        grid->addWidget(icon, row, 0);
        grid->addWidget(new QLabel(BaseTexts::Shown(StateLegendText(image))), row++, 1);
    }
    layout->addWidget(group);
    auto* close = new CFlatButton(tr("&Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
}

}  // namespace dromo
