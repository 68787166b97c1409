#include "gui/mainwindow/countdowndialog.h"
#include "platform/basetexts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace dromo {

CountdownDialog::CountdownDialog(const QString& message, std::function<void(bool)> done, QWidget* parent)
    : QDialog(parent), m_done(std::move(done)), m_seconds(new QLabel), m_bar(new QProgressBar),
      m_timer(new QTimer(this))
{
    setWindowTitle(QString());  // the countdown has no title of its own
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(message));
    auto* row = new QHBoxLayout;
    m_bar->setRange(1, CountdownSteps::kSteps);
    m_bar->setValue(m_steps.BarPosition());
    m_bar->setTextVisible(false);
    row->addWidget(m_bar);
    row->addWidget(m_seconds);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &CountdownDialog::reject);
    m_seconds->setObjectName(QStringLiteral("seconds"));
    m_seconds->setText(QString::number(m_steps.SecondsLeft()));
    connect(m_timer, &QTimer::timeout, this, &CountdownDialog::Tick);
    m_timer->start(1000);
}

void CountdownDialog::Tick()
{
    const bool zero = m_steps.Tick();
    m_seconds->setText(QString::number(m_steps.SecondsLeft()));
    m_bar->setValue(m_steps.BarPosition());
    if (zero) {
        Finish(true);
    }
}

void CountdownDialog::reject()
{
    // Esc and the close button land here as well as Cancel.
    Finish(false);
}

void CountdownDialog::Finish(bool reachedZero)
{
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_timer->stop();
    if (reachedZero) {
        accept();
    } else {
        QDialog::reject();
    }
    if (m_done) {
        m_done(reachedZero);
    }
}

void GuiCountdown::Start(const std::string& message, std::function<void(bool)> done)
{
    const QString text = BaseTexts::Shown(message);
    QWidget* parent = m_parent;
    QMetaObject::invokeMethod(
        qApp,
        [text, parent, done = std::move(done)]() mutable {
            auto* dialog = new CountdownDialog(text, std::move(done), parent);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->setWindowModality(Qt::ApplicationModal);
            dialog->show();
        },
        Qt::QueuedConnection);
}

}  // namespace dromo
