#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "base/view/desktopwatch.h"
#include "platform/desktopnotifier.h"
#include "platform/logindinhibitor.h"

namespace dromo {

class Completion;
class Shell;
class TaskTable;
struct GlobalOptions;
struct WorkerState;

// The desktop's services around the downloads: notices of finished and
// failed files and the idle-suspend inhibitor, driven by a timer of the
// user-interface thread. Every service is optional; the watch lets go of
// everything when the object goes (at exit).
class DesktopIntegration : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 1000;

    DesktopIntegration(TaskTable& table, WorkerState& workers, GlobalOptions& options, Completion& completion,
                       Shell& shell);
    ~DesktopIntegration() override;

    DesktopNotifier& Notifier() { return m_notifier; }

private:
    Completion& m_completion;
    DesktopNotifier m_notifier;
    LogindInhibitor m_inhibitor;
    DesktopWatch m_watch;
    QElapsedTimer m_clock;
    QTimer m_timer;
};

}  // namespace dromo
