#pragma once

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <functional>
#include <optional>
#include <set>

#include "base/forms/listrows.h"
#include "base/ports/messages.h"
#include "gui/widgets/cpropertypage.h"

namespace dromo {

// The texts of a list page: its check box, the list's columns, and the
// help of the check, the list and the three buttons.
struct ListPageTexts {
    QString caption;
    QString enable;
    QStringList columns;
    QString addButton;
    QString help[5];
};

// A page of the options sheet that edits one of the lists (proxies,
// categories, sites) in rows; the live list is rebuilt from the rows after OK.
template <class Entry>
class ListPage : public CPropertyPage {
public:
    // Opens the edit dialog on an entry; nothing on Cancel.
    using Editor = std::function<std::optional<Entry>(const Entry&)>;

    ListPage(const ListPageTexts& texts, std::int32_t& enable, ListRows<Entry>& rows, Messages& messages)
        : CPropertyPage(texts.caption, messages), m_enable(enable), m_rows(rows),
          m_check(new QCheckBox(texts.enable, this)), m_list(new QTableWidget(0, texts.columns.size(), this)),
          m_add(new QPushButton(texts.addButton, this)), m_remove(new QPushButton(QObject::tr("Remove"), this)),
          m_edit(new QPushButton(QObject::tr("Edit..."), this))
    {
        m_list->setHorizontalHeaderLabels(texts.columns);
        m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_list->setShowGrid(true);
        m_list->verticalHeader()->hide();
        m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        auto* grid = new QGridLayout(this);
        grid->addWidget(m_check, 0, 0, 1, 4);
        grid->addWidget(m_list, 1, 0, 1, 4);
        grid->addWidget(m_add, 2, 1);
        grid->addWidget(m_remove, 2, 2);
        grid->addWidget(m_edit, 2, 3);
        grid->setColumnStretch(0, 1);
        QObject::connect(m_check, &QCheckBox::clicked, this, [this] { ApplyEnabling(); });
        QObject::connect(m_add, &QPushButton::clicked, this, [this] { Add(); });
        QObject::connect(m_remove, &QPushButton::clicked, this, [this] { Remove(); });
        QObject::connect(m_edit, &QPushButton::clicked, this, [this] { Edit(); });
        QObject::connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { Edit(); });
        AddHelp({m_check}, texts.help[0]);
        AddHelp({m_list}, texts.help[1]);
        AddHelp({m_add}, texts.help[2]);
        AddHelp({m_remove}, texts.help[3]);
        AddHelp({m_edit}, texts.help[4]);
    }

    QCheckBox* Enable() const { return m_check; }
    QTableWidget* List() const { return m_list; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* EditButton() const { return m_edit; }
    void SetEditor(Editor editor) { m_editor = std::move(editor); }

    bool OnKillActive() override
    {
        m_enable = m_check->isChecked() ? 1 : 0;
        return true;
    }

protected:
    virtual QStringList Texts(const Entry& entry) const = 0;
    virtual QIcon Icon(const Entry&) const { return {}; }
    virtual Entry NewEntry() const { return Entry{}; }
    virtual std::optional<Entry> RunDialog(const Entry& initial) = 0;

    void OnInitDialog() override
    {
        m_check->setChecked(m_enable != 0);
        Refill();
        ApplyEnabling();
    }

private:
    void ApplyEnabling()
    {
        for (QWidget* w : {static_cast<QWidget*>(m_list), static_cast<QWidget*>(m_add), static_cast<QWidget*>(m_remove),
                           static_cast<QWidget*>(m_edit)}) {
            w->setEnabled(m_check->isChecked());
        }
    }

    void Refill()
    {
        m_list->setRowCount(0);
        for (const Entry& entry : m_rows.Rows()) {
            const int row = m_list->rowCount();
            m_list->insertRow(row);
            const QStringList texts = Texts(entry);
            for (int c = 0; c < texts.size(); ++c) {
                auto* item = new QTableWidgetItem(texts[c]);
                if (c == 0) {
                    item->setIcon(Icon(entry));
                }
                m_list->setItem(row, c, item);
            }
        }
    }

    std::vector<int> Selected() const
    {
        std::set<int> rows;
        for (const QModelIndex& index : m_list->selectionModel()->selectedIndexes()) {
            rows.insert(index.row());
        }
        return {rows.begin(), rows.end()};
    }

    std::optional<Entry> Ask(const Entry& initial) { return m_editor ? m_editor(initial) : RunDialog(initial); }

    void Report(RowEdit result)
    {
        if (result == RowEdit::Duplicate) {
            Notices().Warning(m_rows.DuplicateMessage());
        } else if (result == RowEdit::Done) {
            Refill();
        }
    }

    void Add()
    {
        if (const auto entry = Ask(NewEntry())) {
            Report(m_rows.Add(*entry));
        }
    }

    void Edit()
    {
        const std::vector<int> selected = Selected();
        if (selected.size() != 1) {
            return;
        }
        const auto entry = Ask(m_rows.Rows()[static_cast<std::size_t>(selected.front())]);
        if (entry) {
            Report(m_rows.Edit(selected, *entry));
        }
    }

    void Remove()
    {
        if (m_rows.Remove(Selected())) {
            Refill();
        }
    }

    std::int32_t& m_enable;
    ListRows<Entry>& m_rows;
    QCheckBox* m_check;
    QTableWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_edit;
    Editor m_editor;
};

}  // namespace dromo
