#include "gui/capture/linklistdialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace dromo {

LinkListDialog::LinkListDialog(LinkChoice choice, Add add, QWidget* parent)
    : QDialog(parent), m_choice(std::move(choice)), m_add(std::move(add))
{
    setWindowTitle(tr("Download Links"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(tr("Choose the links to download:"));
    layout->addWidget(prompt);

    m_list = new QTreeWidget;
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setTextElideMode(Qt::ElideMiddle);  // a long URL keeps its host and its file
    m_list->setHeaderLabels({tr("File"), tr("URL")});
    m_list->header()->setStretchLastSection(true);
    prompt->setBuddy(m_list);
    layout->addWidget(m_list);

    auto* row = new QHBoxLayout;
    m_all = new QPushButton(tr("Select &All"));
    m_none = new QPushButton(tr("Select &None"));
    m_count = new QLabel;
    row->addWidget(m_all);
    row->addWidget(m_none);
    row->addStretch();
    row->addWidget(m_count);
    layout->addLayout(row);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);

    FillList();
    m_list->installEventFilter(this);
    connect(m_list, &QTreeWidget::itemChanged, this, &LinkListDialog::ItemChanged);
    connect(m_all, &QPushButton::clicked, this, [this] { ChooseAll(true); });
    connect(m_none, &QPushButton::clicked, this, [this] { ChooseAll(false); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Wide enough for the URLs people read, within the screen.
    const QRect screen = this->screen()->availableGeometry();
    resize(qMin(760, screen.width() * 9 / 10), qMin(480, screen.height() * 9 / 10));
    m_list->setFocus();
}

bool LinkListDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Space ticks the current row whichever of its columns has the focus.
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && m_list->currentItem() != nullptr) {
        QTreeWidgetItem* item = m_list->currentItem();
        item->setCheckState(kFileColumn, item->checkState(kFileColumn) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void LinkListDialog::FillList()
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const LinkChoice::Row& row : m_choice.Rows()) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setText(kFileColumn, QString::fromStdString(row.fileName));
        item->setText(kUrlColumn, QString::fromStdString(row.url));
        item->setToolTip(kUrlColumn, QString::fromStdString(row.url));
        item->setCheckState(kFileColumn, row.chosen ? Qt::Checked : Qt::Unchecked);
    }
    m_list->resizeColumnToContents(kFileColumn);
    if (m_list->topLevelItemCount() > 0) {
        m_list->setCurrentItem(m_list->topLevelItem(0));
    }
    ShowChosenCount();
}

void LinkListDialog::ItemChanged(QTreeWidgetItem* item, int column)
{
    if (column != kFileColumn) {
        return;
    }
    const int row = m_list->indexOfTopLevelItem(item);
    if (row >= 0) {
        m_choice.Choose(static_cast<std::size_t>(row), item->checkState(kFileColumn) == Qt::Checked);
    }
    ShowChosenCount();
}

void LinkListDialog::ChooseAll(bool chosen)
{
    m_choice.ChooseAll(chosen);
    {
        const QSignalBlocker quiet(m_list);
        for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
            m_list->topLevelItem(i)->setCheckState(kFileColumn, chosen ? Qt::Checked : Qt::Unchecked);
        }
    }
    ShowChosenCount();
}

void LinkListDialog::ShowChosenCount()
{
    const auto chosen = static_cast<qulonglong>(m_choice.ChosenCount());
    const auto all = static_cast<qulonglong>(m_choice.Rows().size());
    m_count->setText(tr("%1 of %2 chosen").arg(chosen).arg(all));
    m_ok->setEnabled(chosen > 0);
}

void LinkListDialog::accept()
{
    if (m_choice.ChosenCount() == 0) {
        return;
    }
    QDialog::accept();
    if (m_add) {
        m_add(m_choice);
    }
}

}  // namespace dromo
