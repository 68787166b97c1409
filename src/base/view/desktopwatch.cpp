#include "base/view/desktopwatch.h"

#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/values/globaloptions.h"

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

DesktopNotice NoticeFor(const std::vector<std::string>& finished, const std::vector<FailedFile>& failed,
                        const std::vector<std::string>& alreadyThere)
{
    DesktopNotice notice;
    if (finished.size() + failed.size() + alreadyThere.size() == 1) {
        if (!alreadyThere.empty()) {
            // Not downloaded again: the task left the list, so the notice
            // says where the file is and opens it.
            notice.summary = "Already downloaded";
            notice.body = NameOf(alreadyThere[0]);
            notice.path = alreadyThere[0];
            notice.canOpen = true;
        } else if (finished.size() == 1) {
            notice.summary = "Download finished";
            notice.body = NameOf(finished[0]);
            notice.path = finished[0];
            notice.canOpen = true;
        } else {
            notice.summary = "Download failed";
            notice.body = NameOf(failed[0].path);
            if (!failed[0].reason.empty()) {
                notice.body += "\n" + failed[0].reason;
            }
        }
        return notice;
    }
    if (!finished.empty()) {
        notice.summary = Count(finished.size(), "finished");
        if (!failed.empty()) {
            notice.summary += ", " + std::to_string(failed.size()) + " failed";
        }
        notice.path = finished.back();  // "Open Folder" shows the latest
    } else if (!failed.empty()) {
        notice.summary = Count(failed.size(), "failed");
    }
    if (notice.summary.empty()) {
        notice.summary = std::to_string(alreadyThere.size()) + " already downloaded";
        notice.path = alreadyThere.back();
    }
    std::vector<std::string> names;
    names.reserve(finished.size() + failed.size());
    for (const std::string& path : finished) {
        names.push_back(NameOf(path));
    }
    for (const std::string& path : alreadyThere) {
        names.push_back(NameOf(path) + " (already downloaded)");
    }
    for (const FailedFile& file : failed) {
        names.push_back(NameOf(file.path) + (file.reason.empty() ? " (failed)" : " (failed: " + file.reason + ")"));
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

void DesktopWatch::Finished(const std::string& path, bool alreadyThere)
{
    std::lock_guard lock(m_endedMutex);
    m_ended.push_back({path, false, {}, alreadyThere});
}

void DesktopWatch::Failed(const std::string& path, const std::string& reason)
{
    std::lock_guard lock(m_endedMutex);
    m_ended.push_back({path, true, reason});
}

void DesktopWatch::Poll(std::uint32_t nowMs)
{
    std::vector<Ending> endings;
    {
        std::lock_guard lock(m_endedMutex);
        endings.swap(m_ended);
    }
    bool busy = false;
    {
        auto guard = m_table.Lock();
        // From the table's counts: a poll costs the same however long the list.
        busy = m_workers.Counts(guard).workerCount > 0 || m_table.CountIn(TaskState::Running) > 0;
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
    {
        std::lock_guard lock(m_endedMutex);
        m_pending.insert(m_pending.end(), m_ended.begin(), m_ended.end());
        m_ended.clear();
    }
    Flush();
    KeepAwake(false);
}

void DesktopWatch::Flush()
{
    if (m_pending.empty()) {
        return;
    }
    std::vector<std::string> finished;
    std::vector<FailedFile> failed;
    std::vector<std::string> alreadyThere;
    for (const Ending& e : m_pending) {
        if (e.failed) {
            failed.push_back({e.path, e.reason});
        } else if (e.alreadyThere) {
            alreadyThere.push_back(e.path);
        } else {
            finished.push_back(e.path);
        }
    }
    m_pending.clear();
    // Switched off while the burst gathered: nothing is told.
    if (m_options.notifyWhenDone) {
        m_notices.Show(NoticeFor(finished, failed, alreadyThere));
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
