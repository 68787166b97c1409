#pragma once

#include "base/forms/taskpagevalues.h"
#include "gui/widgets/cpropertypage.h"

class QTreeWidget;

namespace dromo {

// "Mirrors": the servers a Metalink file named for the task's file, most
// wanted first. Shown only for a task that has some; read-only (they came
// with the Metalink file and go with the task).
class CMirrorsPage : public CPropertyPage {
    Q_OBJECT
public:
    CMirrorsPage(TaskPageValues& values, Messages& messages, QWidget* parent = nullptr);

    QTreeWidget* List() const { return m_list; }

protected:
    void OnInitDialog() override;

private:
    TaskPageValues& m_values;
    QTreeWidget* m_list;
};

}  // namespace dromo
