#include "platform/desktopintegration.h"

#include "base/commands/completion.h"
#include "base/tasks/tasktable.h"

namespace dromo {

DesktopIntegration::DesktopIntegration(TaskTable& table, WorkerState& workers, GlobalOptions& options,
                                       Completion& completion, Shell& shell)
    : m_completion(completion), m_notifier(shell), m_inhibitor(),
      m_watch(table, workers, options, m_notifier, m_inhibitor)
{
    m_completion.OnFileFinished(
        [this](const std::string& path, bool alreadyThere) { m_watch.Finished(path, alreadyThere); });
    m_completion.OnTaskFailed(
        [this](const std::string& path, const std::string& reason) { m_watch.Failed(path, reason); });
    m_clock.start();
    // On whole seconds, so it wakes the program together with the window's tick.
    m_timer.setTimerType(Qt::VeryCoarseTimer);
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_watch.Poll(static_cast<std::uint32_t>(m_clock.elapsed())); });
    m_timer.start();
}

DesktopIntegration::~DesktopIntegration()
{
    // Completion guards its listeners: once these return, no worker is
    // telling the watch of an ending.
    m_completion.OnFileFinished(nullptr);
    m_completion.OnTaskFailed(nullptr);
    m_watch.End();
}

}  // namespace dromo
