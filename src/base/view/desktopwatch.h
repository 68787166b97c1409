#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "base/ports/notifications.h"
#include "base/ports/sleepinhibitor.h"

namespace dromo {

class TaskTable;
struct GlobalOptions;
struct WorkerState;

// Names listed in a summary notice before "and N more".
inline constexpr std::size_t kNamesShownInNotice = 5;

// A task that failed for good: its file and the engine's reason.
struct FailedFile {
    std::string path;
    std::string reason;
};

// Tells the desktop about the downloads, driven by the user-interface
// thread's timer so the download path never waits for a desktop service:
// - a finished file and a task that failed for good (both told by the
//   completion rules as they end) go to the notification service; endings
//   that come close together make one notice, not one each;
// - while a worker is alive or a task runs, the sleep inhibitor is held.
// "Notify when Done" and "Keep Awake While Downloading" switch each off.
class DesktopWatch {
public:
    // A burst ends when nothing else finished for this long...
    static constexpr std::uint32_t kQuietMs = 1500;
    // ...or when its first finish is this old, so a steady stream of small
    // files still gets told now and then.
    static constexpr std::uint32_t kLongestBurstMs = 10000;
    DesktopWatch(TaskTable& table, WorkerState& workers, GlobalOptions& options, Notifications& notices,
                 SleepInhibitor& inhibitor);

    // A file finished downloading, or a task failed for good: from any
    // thread, also with the task-table lock held; it is only noted here.
    void Finished(const std::string& path, bool alreadyThere = false);
    void Failed(const std::string& path, const std::string& reason);
    // One look at the table; `nowMs` is a millisecond counter.
    void Poll(std::uint32_t nowMs);
    // At exit: tells what is pending and lets go of the inhibitor.
    void End();

private:
    struct Ending {
        std::string path;
        bool failed = false;
        std::string reason;
        bool alreadyThere = false;
    };
    void Flush();
    void KeepAwake(bool busy);

    TaskTable& m_table;
    WorkerState& m_workers;
    GlobalOptions& m_options;
    Notifications& m_notices;
    SleepInhibitor& m_inhibitor;
    std::mutex m_endedMutex;
    std::vector<Ending> m_ended;  // told by Finished and Failed, not yet looked at
    std::vector<Ending> m_pending;
    std::uint32_t m_burstStart = 0;
    std::uint32_t m_lastEnding = 0;
    bool m_holding = false;
};

// The notice for a burst of finished files (paths) and failed ones, in the
// order they ended. A notice of failures alone offers no action: there is
// no file to open or show.
// Files found already there are told apart from downloaded ones.
DesktopNotice NoticeFor(const std::vector<std::string>& finished, const std::vector<FailedFile>& failed,
                        const std::vector<std::string>& alreadyThere = {});

}  // namespace dromo
