#include "gui/mainwindow/taskfilterbar.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

#include "platform/basetexts.h"

namespace dromo {

TaskFilterBar::TaskFilterBar(QWidget* parent)
    : QWidget(parent), m_text(new QLineEdit(this)), m_state(new QComboBox(this)), m_count(new QLabel(this))
{
    m_text->setObjectName(QStringLiteral("filterText"));
    m_text->setPlaceholderText(tr("Find tasks by URL, file name or status (Ctrl+F)"));
    m_text->setClearButtonEnabled(true);
    m_text->setAccessibleName(tr("Find tasks"));
    for (QAction* clear : m_text->actions()) {
        clear->setText(tr("Clear the filter"));
        clear->setToolTip(clear->text());
    }
    m_text->setMaxLength(200);
    m_text->installEventFilter(this);
    m_state->setObjectName(QStringLiteral("filterState"));
    m_state->setToolTip(tr("Show the tasks in this state"));
    m_state->setAccessibleName(tr("State"));
    m_state->setAccessibleDescription(m_state->toolTip());
    for (int i = 0; i < kStateChoiceCount; ++i) {
        m_state->addItem(BaseTexts::Shown(TaskFilter::ChoiceText(static_cast<StateChoice>(i))));
    }
    m_count->setObjectName(QStringLiteral("filterCount"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_state);
    layout->addWidget(m_count);
    m_count->hide();
    connect(m_text, &QLineEdit::textChanged, this, [this] { emit FilterChanged(Filter()); });
    connect(m_state, &QComboBox::currentIndexChanged, this, [this] { emit FilterChanged(Filter()); });
}

TaskFilter TaskFilterBar::Filter() const
{
    return TaskFilter(m_text->text().toStdString(), static_cast<StateChoice>(std::max(0, m_state->currentIndex())));
}

void TaskFilterBar::SetFilter(const TaskFilter& filter)
{
    const QSignalBlocker textQuiet(m_text);
    const QSignalBlocker stateQuiet(m_state);
    m_text->setText(QString::fromStdString(filter.Text()));
    m_state->setCurrentIndex(static_cast<int>(filter.Choice()));
}

void TaskFilterBar::FocusText()
{
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void TaskFilterBar::ShowCounts(int shown, int total)
{
    m_count->setText(tr("%1 of %2 shown").arg(shown).arg(total));
    m_count->setVisible(Filter().Active());
}

QString TaskFilterBar::CountText() const
{
    return m_count->isHidden() ? QString() : m_count->text();
}

bool TaskFilterBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape && !m_text->text().isEmpty()) {
            m_text->clear();  // the whole list again, the focus kept
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
            emit ListWanted();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace dromo
