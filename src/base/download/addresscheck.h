#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/commands/samefile.h"
#include "base/commands/taskadder.h"
#include "base/sync/reapedthreads.h"

namespace dromo {

class EngineFactory;
class TaskTable;
class TransferEngine;
struct ViewSettings;

// A task that waits for a new address, as the check needs it: copied out
// under the lock before the check leaves the user-interface thread.
struct WaitingTask {
    TaskId taskId = kNoTask;
    std::string saveAs;
    std::string userAgent;
    std::string httpVersion;
    std::int32_t idleTime = 0;
    std::string proxy;  // "host:port", "" for none
    std::string proxyUser;
    std::string proxyPassword;
};

// What the check of one handed-over address came to: the task that
// continues from it (kNoTask: none, the address is another download), and
// for each waiting task the reason it is not provably the same file.
struct AddressCheckResult {
    std::string url;
    DownloadDetails details;
    TaskId continues = kNoTask;
    std::string name;  // the continued task's file name
    std::vector<std::string> reasons;
};

// Compares a handed-over address with the tasks that wait for a new one
// (JudgeSameFile, over the engine's SampleAddress), each check on a thread
// of its own so the window never waits for a server. Called on the
// user-interface thread; the destructor aborts what still runs and joins it.
class AddressCheck {
public:
    // Runs on the checking thread.
    using Done = std::function<void(AddressCheckResult)>;

    AddressCheck(TaskTable& table, const ViewSettings& settings, EngineFactory& engines);
    ~AddressCheck();
    AddressCheck(const AddressCheck&) = delete;
    AddressCheck& operator=(const AddressCheck&) = delete;

    // The tasks that wait for a new address, or only `only` when it is
    // one; an HTTP(S) URL (the only kind a resume can be asked of) against
    // none of them is no check at all.
    std::vector<WaitingTask> Waiting(TaskId only = kNoTask) const;
    // Starts the check of `url`, sent with the browser's details, against
    // `waiting`, the first provably same file taking it. False when there
    // is nothing to check (no waiting task, or no HTTP(S) URL): the caller
    // adds the URL as it always has.
    bool Start(const std::string& url, const DownloadDetails& details, std::vector<WaitingTask> waiting, Done done);

private:
    AddressCheckResult Check(const std::string& url, const DownloadDetails& details,
                             const std::vector<WaitingTask>& waiting);
    SameFileVerdict CheckOne(const std::string& url, const DownloadDetails& details, const WaitingTask& task);

    TaskTable& m_table;
    const ViewSettings& m_settings;
    EngineFactory& m_engines;
    std::mutex m_mutex;  // guards m_running and m_ending
    std::vector<std::shared_ptr<TransferEngine>> m_running;
    bool m_ending = false;
    ReapedThreads m_threads;
};

}  // namespace dromo
