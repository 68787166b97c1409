#pragma once

#include <QDialog>
#include <functional>

#include "base/commands/completion.h"
#include "base/view/countdownsteps.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace dromo {

// The fifteen-second countdown before a hang-up or shut-down, always on the
// user-interface thread. Asked for from a worker, it is posted there and
// shown application-modal without a nested event loop, so nobody waits on
// it. Every way of closing it that is not reaching 0 (Cancel, Esc, the
// window's close button) is a Cancel the completion rules hear of.
class CountdownDialog : public QDialog {
    Q_OBJECT
public:
    CountdownDialog(const QString& message, std::function<void(bool)> done, QWidget* parent = nullptr);

    // One second passed (the dialog's timer calls it; tests may too).
    void Tick();
    void reject() override;

private:
    void Finish(bool reachedZero);

    CountdownSteps m_steps;
    std::function<void(bool)> m_done;
    QLabel* m_seconds;
    QProgressBar* m_bar;
    QTimer* m_timer;
    bool m_finished = false;
};

// The Countdown port over that dialog.
class GuiCountdown : public Countdown {
public:
    void SetParent(QWidget* parent) { m_parent = parent; }
    void Start(const std::string& message, std::function<void(bool)> done) override;

private:
    QWidget* m_parent = nullptr;
};

}  // namespace dromo
