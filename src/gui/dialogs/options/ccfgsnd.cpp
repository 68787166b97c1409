#include "gui/dialogs/options/ccfgsnd.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "base/forms/pagechoices.h"
#include "base/ports/sound.h"
#include "gui/widgets/filechooser.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {
namespace {

std::string GlobalOptions::*const kSounds[4] = {&GlobalOptions::soundAddFile, &GlobalOptions::soundStartDownload,
                                                &GlobalOptions::soundJobDone, &GlobalOptions::soundSthWrong};

}  // namespace

CCFGSnd::CCFGSnd(GlobalOptions& options, FileChooser& files, Sound& sound, Messages& messages)
    : CPropertyPage(tr("Sounds"), messages), m_options(options), m_files(files), m_sound(sound),
      m_enable(new QCheckBox(tr("Enable Sound"), this)), m_list(new QTableWidget(4, 2, this)),
      m_play(new QPushButton(tr("Play"), this)), m_none(new QPushButton(tr("None"), this)),
      m_change(new QPushButton(tr("Change..."), this))
{
    m_list->setHorizontalHeaderLabels({tr("Event"), tr("Sound")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    const QString events[4] = {tr("File Added"), tr("Start Download"), tr("Job Done"), tr("Encounter Error")};
    for (int row = 0; row < 4; ++row) {
        m_list->setItem(row, 0, new QTableWidgetItem(events[row]));
        m_list->setItem(row, 1, new QTableWidgetItem);
    }
    m_list->setColumnWidth(0, 150);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_enable, 0, 0, 1, 4);
    grid->addWidget(m_list, 1, 0, 1, 4);
    grid->addWidget(m_play, 2, 1);
    grid->addWidget(m_none, 2, 2);
    grid->addWidget(m_change, 2, 3);
    grid->setColumnStretch(0, 1);
    connect(m_enable, &QCheckBox::clicked, this, [this] { ApplyEnabling(); });
    connect(m_play, &QPushButton::clicked, this, [this] { Play(); });
    connect(m_none, &QPushButton::clicked, this, [this] { None(); });
    connect(m_change, &QPushButton::clicked, this, [this] { Change(); });
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { Change(); });

    AddHelp({m_enable}, tr("This place provides you the convenience to add sound alert for four events."));
    AddHelp({m_list}, tr("All the events are in this list, change each item by double-clicking on it."));
    AddHelp({m_play}, tr("Play the sound file associated with this event."));
    AddHelp({m_none}, tr("Remove the sound file associated with this event."));
    AddHelp({m_change}, tr("Change the sound file associated with this event."));
}

void CCFGSnd::OnInitDialog()
{
    m_enable->setChecked(m_options.enableSound != 0);
    for (int row = 0; row < 4; ++row) {
        ShowRow(row);
    }
    ApplyEnabling();
}

void CCFGSnd::ShowRow(int row)
{
    m_list->item(row, 1)->setText(ToQString(SoundColumnText(m_options.*kSounds[row])));
}

void CCFGSnd::ApplyEnabling()
{
    for (QWidget* w : {static_cast<QWidget*>(m_list), static_cast<QWidget*>(m_play), static_cast<QWidget*>(m_none),
                       static_cast<QWidget*>(m_change)}) {
        w->setEnabled(m_enable->isChecked());
    }
}

int CCFGSnd::SelectedRow() const
{
    const auto rows = m_list->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.front().row() : -1;
}

void CCFGSnd::Play()
{
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    m_play->setEnabled(false);
    m_sound.Play(m_options.*kSounds[row]);  // returns when the sound has ended
    m_play->setEnabled(true);
}

void CCFGSnd::Change()
{
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    if (const auto chosen = m_files.ChooseFile(this, tr("Wave Audio Files (*.wav)"))) {
        m_options.*kSounds[row] = ToStdString(*chosen);
        ShowRow(row);
    }
}

void CCFGSnd::None()
{
    const int row = SelectedRow();
    if (row >= 0) {
        m_options.*kSounds[row] = std::string();
        ShowRow(row);
    }
}

bool CCFGSnd::OnKillActive()
{
    m_options.enableSound = m_enable->isChecked() ? 1 : 0;
    return true;
}

}  // namespace dromo
