#include "gui/mainwindow/guimessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

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

bool GuiMessages::AskOkCancel(const std::string& text)
{
    return QMessageBox::question(m_parent, QStringLiteral("Dromo"), BaseTexts::Shown(text),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

}  // namespace dromo
