#include "mainwindow/guimessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "core/startup.h"

namespace dromo {

void GuiMessages::Warning(const std::string& text)
{
    const QString message = QString::fromStdString(text);
    auto show = [parent = m_parent, message] {
        QMessageBox::warning(parent, QStringLiteral("Dromo"), message);
    };
    if (QThread::currentThread() == qApp->thread()) {
        show();
    } else {
        QMetaObject::invokeMethod(qApp, show, Qt::QueuedConnection);
    }
}

bool GuiMessages::AskOkCancel(const std::string& text)
{
    return QMessageBox::question(m_parent, QStringLiteral("Dromo"), QString::fromStdString(text),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

}  // namespace dromo
