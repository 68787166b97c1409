#pragma once

#include "base/values/globaloptions.h"
#include "gui/widgets/cpropertypage.h"

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace dromo {

class FileChooser;
class Sound;

// "Sounds": a wave file for each of four events.
class CCFGSnd : public CPropertyPage {
    Q_OBJECT
public:
    CCFGSnd(GlobalOptions& options, FileChooser& files, Sound& sound, Messages& messages);

    QCheckBox* Enable() const { return m_enable; }
    QTableWidget* List() const { return m_list; }
    QPushButton* PlayButton() const { return m_play; }
    QPushButton* NoneButton() const { return m_none; }
    QPushButton* ChangeButton() const { return m_change; }
    bool OnKillActive() override;

protected:
    void OnInitDialog() override;

private:
    int SelectedRow() const;
    void ShowRow(int row);
    void ApplyEnabling();
    void Play();
    void Change();
    void None();

    GlobalOptions& m_options;
    FileChooser& m_files;
    Sound& m_sound;
    QCheckBox* m_enable;
    QTableWidget* m_list;
    QPushButton* m_play;
    QPushButton* m_none;
    QPushButton* m_change;
};

}  // namespace dromo
