#pragma once

#include <functional>

class QObject;

namespace dromo {

// SIGTERM and SIGINT end Dromo the way the end of the session does: the
// transfers stopped, the settings and tasks saved. They are caught from the
// very start, before the application object (which takes a while to build):
// one that arrives while Dromo is still starting waits in a pipe and then
// takes the end-of-session path, instead of killing it unsaved.
class EndSignals {
public:
    // Catches both signals from now on; build it before QApplication.
    EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // A start that only hands URLs over has nothing to save, and may wait
    // long for an answer: the signals end it as usual (one that came
    // already ends it now).
    void LeaveToTheSystem();
    // The hand-over found no running Dromo: this start becomes it and
    // catches the signals again.
    void CatchAgain();
    // From the event loop on, a caught signal and the session manager's
    // request to save before the session ends run `endSession`, for as
    // long as `receiver` lives.
    void EndSessionOn(QObject* receiver, const std::function<void()>& endSession);

private:
    bool m_caught = false;
};

}  // namespace dromo
