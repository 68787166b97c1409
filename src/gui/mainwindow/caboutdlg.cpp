#include "gui/mainwindow/caboutdlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "base/text/startup.h"
#include "gui/widgets/artwork.h"
#include "platform/systemmemory.h"

namespace dromo {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent), m_memory(QString::fromStdString(FormatMemoryText(PhysicalMemoryBytes())))
{
    setWindowTitle(tr("About Dromo"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel;
    icon->setPixmap(Artwork::Program().pixmap(32, 32));
    top->addWidget(icon);
    auto* text = new QVBoxLayout;
    auto* title = new QLabel(QString::fromLatin1(kAppTitle));
    title->setObjectName(QStringLiteral("version"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    text->addWidget(title);
    text->addWidget(new QLabel(tr("A download manager for HTTP, HTTPS and FTP.")));
    auto* memory = new QLabel(tr("Physical memory: %1").arg(m_memory));
    memory->setObjectName(QStringLiteral("memory"));
    text->addWidget(memory);
    top->addLayout(text);
    layout->addLayout(top);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace dromo
