#include "gui/widgets/cpropertypage.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>

#include "base/forms/fieldcheck.h"
#include "base/ports/messages.h"
#include "gui/widgets/helppopup.h"
#include "gui/widgets/numberfield.h"

namespace dromo {

CPropertyPage::CPropertyPage(const QString& caption, Messages& messages, QWidget* parent)
    : QWidget(parent), m_caption(caption), m_messages(messages)
{
}

void CPropertyPage::Activate()
{
    if (!m_opened) {
        m_opened = true;
        OnInitDialog();
    }
}

QString CPropertyPage::HelpAt(const QPoint& p) const
{
    for (const Help& help : m_help) {
        for (QWidget* control : help.controls) {
            const QPoint corner = control->mapToGlobal(QPoint(0, 0));
            if (control->isVisible() && p.x() > corner.x() && p.x() < corner.x() + control->width() - 1 &&
                p.y() > corner.y() && p.y() < corner.y() + control->height() - 1) {
                return help.text;
            }
        }
    }
    return {};
}

void CPropertyPage::AddHelp(std::initializer_list<QWidget*> controls, const QString& text)
{
    for (QWidget* control : controls) {
        // Edits and lists have menus of their own; the help comes first.
        control->installEventFilter(this);
        for (QWidget* child : control->findChildren<QWidget*>()) {
            child->installEventFilter(this);
        }
        // The same words for a screen reader, read after the control's name.
        QWidget* described = control;
        if (auto* number = qobject_cast<NumberField*>(control)) {
            described = number->Edit();
        }
        if (qobject_cast<QLabel*>(control) == nullptr && described->accessibleDescription().isEmpty()) {
            described->setAccessibleDescription(text);
        }
    }
    m_help.push_back({controls, text});
}

bool CPropertyPage::ShowHelp(const QPoint& globalPoint)
{
    const QString text = HelpAt(globalPoint);
    if (text.isEmpty()) {
        return false;
    }
    HelpPopup::Show(text, globalPoint, this);
    return true;
}

bool CPropertyPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        return ShowHelp(static_cast<QContextMenuEvent*>(event)->globalPos());
    }
    return QWidget::eventFilter(watched, event);
}

void CPropertyPage::contextMenuEvent(QContextMenuEvent* event)
{
    ShowHelp(event->globalPos());
}

bool CPropertyPage::TakeInt(NumberField* field, int low, int high, std::int32_t& value)
{
    int parsed = 0;
    if (const auto message = CheckInteger(field->Text().toStdString(), low, high, parsed)) {
        m_messages.Warning(*message);
        field->setFocus();
        return false;
    }
    value = parsed;
    return true;
}

bool CPropertyPage::TakeText(QLineEdit* field, std::size_t limit, std::string& value)
{
    const std::string text = field->text().toStdString();
    if (const auto message = CheckLength(text, limit)) {
        m_messages.Warning(*message);
        field->setFocus();
        return false;
    }
    value = text;
    return true;
}

}  // namespace dromo
