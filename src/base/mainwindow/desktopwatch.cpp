#include "base/mainwindow/desktopwatch.h"

#include "base/core/globaloptions.h"
#include "base/core/tasktable.h"
#include "base/download/workerstate.h"

namespace dromo {
namespace {

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Count(std::size_t n, const char* what)
{
    return std::to_string(n) + (n == 1 ? " download " : " downloads ") + what;
}

}  // namespace

DesktopNotice NoticeFor(const std::vector<std::string>& finished, const std::vector<std::string>& failed)
{
    DesktopNotice notice;
    if (finished.size() + failed.size() == 1) {
        const bool done = finished.size() == 1;
        notice.summary = done ? "Download finished" : "Download failed";
        notice.body = NameOf(done ? finished[0] : failed[0]);
        if (done) {
            notice.path = finished[0];
            notice.canOpen = true;
        }
        return notice;
    }
    if (!finished.empty()) {
        notice.summary = Count(finished.size(), "finished");
        if (!failed.empty()) {
            notice.summary += ", " + std::to_string(failed.size()) + " failed";
        }
        notice.path = finished.back();  // "Open Folder" shows the latest
    } else {
        notice.summary = Count(failed.size(), "failed");
    }
    std::vector<std::string> names;
    for (const std::string& path : finished) {
        names.push_back(NameOf(path));
    }
    for (const std::string& path : failed) {
        names.push_back(NameOf(path) + " (failed)");
    }
    for (std::size_t i = 0; i < names.size() && i < kNamesShownInNotice; ++i) {
        notice.body += (i ? "\n" : "") + names[i];
    }
    if (names.size() > kNamesShownInNotice) {
        notice.body += "\nand " + std::to_string(names.size() - kNamesShownInNotice) + " more";
    }
    return notice;
}

DesktopWatch::DesktopWatch(TaskTable& table, WorkerState& workers, GlobalOptions& options, Notifications& notices,
                           SleepInhibitor& inhibitor)
    : m_table(table), m_workers(workers), m_options(options), m_notices(notices), m_inhibitor(inhibitor)
{
}

void DesktopWatch::Finished(const std::string& path)
{
    std::lock_guard lock(m_finishedMutex);
    m_finished.push_back(path);
}

void DesktopWatch::Poll(std::uint32_t nowMs)
{
    std::vector<Ending> endings;
    {
        std::lock_guard lock(m_finishedMutex);
        for (std::string& path : m_finished) {
            endings.push_back({std::move(path), false});
        }
        m_finished.clear();
    }
    bool busy = false;
    {
        auto guard = m_table.Lock();
        const bool workersAlive = m_workers.workerCount > 0;
        busy = workersAlive;
        std::set<std::int16_t> stillFailed;
        for (int row = 0; row < m_table.Count(); ++row) {
            const std::int32_t state = m_table.StateAt(row);
            busy = busy || state == static_cast<std::int32_t>(TaskState::Running);
            if (state != static_cast<std::int32_t>(TaskState::Error)) {
                continue;
            }
            const TaskRecord task = *m_table.CopyOut(row);
            stillFailed.insert(task.taskId);
            // A worker may still be waiting to try it again; and what failed
            // before the watch began is not news.
            if (!m_toldFailed.count(task.taskId) && (m_first || !workersAlive)) {
                if (!m_first) {
                    endings.push_back({task.saveAs, true});
                }
                m_toldFailed.insert(task.taskId);
            }
        }
        // A failed task that was resumed (or removed) may fail again later.
        std::erase_if(m_toldFailed, [&](std::int16_t id) { return !stillFailed.count(id); });
        m_first = false;
    }
    KeepAwake(busy);
    if (!endings.empty() && m_options.notifyWhenDone) {
        if (m_pending.empty()) {
            m_burstStart = nowMs;
        }
        m_lastEnding = nowMs;
        m_pending.insert(m_pending.end(), endings.begin(), endings.end());
    }
    if (!m_pending.empty() && (nowMs - m_lastEnding >= kQuietMs || nowMs - m_burstStart >= kLongestBurstMs)) {
        Flush();
    }
}

void DesktopWatch::End()
{
    Flush();
    KeepAwake(false);
}

void DesktopWatch::Flush()
{
    if (m_pending.empty()) {
        return;
    }
    std::vector<std::string> finished;
    std::vector<std::string> failed;
    for (const Ending& e : m_pending) {
        (e.failed ? failed : finished).push_back(e.path);
    }
    m_pending.clear();
    // Switched off while the burst gathered: nothing is told.
    if (m_options.notifyWhenDone) {
        m_notices.Show(NoticeFor(finished, failed));
    }
}

void DesktopWatch::KeepAwake(bool busy)
{
    const bool hold = busy && m_options.keepAwake;
    if (hold != m_holding) {
        m_holding = hold;
        hold ? m_inhibitor.Take() : m_inhibitor.Release();
    }
}

}  // namespace dromo
