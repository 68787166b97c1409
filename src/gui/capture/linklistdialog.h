#pragma once

#include <QDialog>
#include <functional>

#include "base/capture/linkchoice.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace dromo {

// "Download Links": a page's links, each with a check box, its file name and
// its URL, for the user to pick the ones Dromo downloads. The choice itself
// and adding the chosen links are LinkChoice's; OK hands it to `add`.
class LinkListDialog : public QDialog {
    Q_OBJECT
public:
    using Add = std::function<void(const LinkChoice& choice)>;

    LinkListDialog(LinkChoice choice, Add add, QWidget* parent = nullptr);

    const LinkChoice& Choice() const { return m_choice; }
    QTreeWidget* List() const { return m_list; }
    QPushButton* SelectAllButton() const { return m_all; }
    QPushButton* SelectNoneButton() const { return m_none; }
    QPushButton* OkButton() const { return m_ok; }
    QLabel* CountLabel() const { return m_count; }

    void accept() override;

    enum Column { kFileColumn, kUrlColumn };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillList();
    void ItemChanged(QTreeWidgetItem* item, int column);
    void ChooseAll(bool chosen);
    void ShowChosenCount();

    LinkChoice m_choice;
    Add m_add;
    QTreeWidget* m_list;
    QLabel* m_count;
    QPushButton* m_all;
    QPushButton* m_none;
    QPushButton* m_ok;
};

}  // namespace dromo
