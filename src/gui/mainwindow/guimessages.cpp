#include "gui/mainwindow/guimessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <algorithm>

#include "base/text/startup.h"
#include "platform/basetexts.h"

namespace dromo {

void GuiMessages::Warning(const std::string& text)
{
    // Nothing waits for a warning's OK: the box stays while the caller goes
    // on, so it never holds a D-Bus caller, a worker or the event loop in a
    // nested one (where a hand-over would run inside another).
    const QString message = BaseTexts::Shown(text);
    auto show = [parent = m_parent, message] {
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Dromo"), message, QMessageBox::Ok, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
    if (QThread::currentThread() == qApp->thread()) {
        show();
    } else {
        QMetaObject::invokeMethod(qApp, show, Qt::QueuedConnection);
    }
}

bool GuiMessages::AskOkCancel(const std::string& text, Ask kind)
{
    const bool stop = kind == Ask::Stop;
    QMessageBox box(stop ? QMessageBox::Critical : QMessageBox::Question, QStringLiteral("Dromo"),
                    BaseTexts::Shown(text), QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(stop ? QMessageBox::Ok : QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

int GuiMessages::Choose(const std::string& text, const std::vector<std::string>& buttons)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Dromo"), BaseTexts::Shown(text), QMessageBox::NoButton,
                    m_parent);
    std::vector<QAbstractButton*> shown;
    QString taken;  // each button's key: the first letter of its text no other button has
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const bool last = i + 1 == buttons.size();
        QString label = BaseTexts::Shown(buttons[i]);
        for (int at = 0; at < label.size(); ++at) {
            if (label[at].isLetter() && !taken.contains(label[at].toLower())) {
                taken += label[at].toLower();
                label.insert(at, QLatin1Char('&'));
                break;
            }
        }
        shown.push_back(box.addButton(label, last && i > 0 ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    if (shown.empty()) {
        return -1;
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(shown.front()));
    box.setEscapeButton(shown.back());
    box.exec();
    const auto chosen = std::find(shown.begin(), shown.end(), box.clickedButton());
    return chosen == shown.end() ? static_cast<int>(shown.size()) - 1 : static_cast<int>(chosen - shown.begin());
}

}  // namespace dromo
