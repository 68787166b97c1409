#include "gui/dialogs/options/ccfgvirus.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/forms/pagechoices.h"
#include "gui/widgets/filechooser.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {

CCfgVirus::CCfgVirus(GlobalOptions& options, FileChooser& files, Messages& messages)
    : CPropertyPage(tr("Virus Check"), messages), m_options(options),
      m_enable(new QCheckBox(tr("Enable Virus Check"), this)), m_program(new QLineEdit(this)),
      m_parameters(new QLineEdit(this)), m_browse(new QPushButton(tr("<<"), this))
{
    m_program->setMinimumWidth(300);
    auto* page = new QGridLayout(this);
    QGridLayout* grid = AddGroup(this, page, 0, tr("Virus Scanner"));
    grid->addWidget(m_enable, 0, 0, 1, 3);
    QLabel* programLabel = AddLabel(grid, 1, 0, tr("Program:"));
    grid->addWidget(m_program, 1, 1);
    grid->addWidget(m_browse, 1, 2);
    QLabel* optionsLabel = AddLabel(grid, 2, 0, tr("Options:"));
    grid->addWidget(m_parameters, 2, 1);
    page->setRowStretch(1, 1);
    setTabOrder(m_program, m_browse);
    setTabOrder(m_browse, m_parameters);
    connect(m_enable, &QCheckBox::clicked, this, [this] { ApplyEnabling(); });
    // Scanners on Linux have no ".exe"; the picker offers every file.
    connect(m_browse, &QPushButton::clicked, this, [this, &files] {
        if (const auto chosen = files.ChooseFile(this, tr("Program Files (*)"))) {
            m_program->setText(*chosen);
            if (IsAutoScanProgram(ToStdString(*chosen))) {
                m_parameters->setText("/AUTOSCAN");
            }
        }
    });

    AddHelp({m_enable}, tr("If checked, all the downloaded files will be scaned by the anti-virus engine specified "
                           "below."));
    AddHelp({programLabel, m_program}, tr("Specify the location of the anti-virus engine program file."));
    AddHelp({optionsLabel, m_parameters}, tr("Specify the additional command line parameters here."));
    AddHelp({m_browse}, tr("Display the Open file dialog."));
}

void CCfgVirus::OnInitDialog()
{
    m_enable->setChecked(m_options.enableVirusCheck != 0);
    m_program->setText(ToQString(m_options.virusScanner));
    m_parameters->setText(ToQString(m_options.virusScannerParameters));
    ApplyEnabling();
}

void CCfgVirus::ApplyEnabling()
{
    const bool on = m_enable->isChecked();
    m_program->setReadOnly(!on);
    m_parameters->setReadOnly(!on);
    m_browse->setEnabled(on);
}

bool CCfgVirus::OnKillActive()
{
    m_options.enableVirusCheck = m_enable->isChecked() ? 1 : 0;
    m_options.virusScanner = ToStdString(m_program->text());
    m_options.virusScannerParameters = ToStdString(m_parameters->text());
    return m_options.enableVirusCheck == 0 ||
           (!m_options.virusScanner.empty() && !m_options.virusScannerParameters.empty());
}

}  // namespace dromo
