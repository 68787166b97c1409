#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/ports/completionactions.h"
#include "base/ports/countdown.h"
#include "base/tasks/guarded.h"
#include "base/values/globaloptions.h"

namespace dromo {

class Messages;
class Network;
class Power;
class Shell;
struct WorkerState;

// What happens around the end of downloads: the countdown to hang up or
// shut down when all work is over, redialling a dropped modem line, and the
// virus scan of finished files.
class Completion : public CompletionActions {
public:
    Completion(TaskTable& table, GlobalOptions& options, WorkerState& workers, Network& network, Power& power,
               Shell& shell, Messages& messages, Countdown& countdown, std::function<void()> exitProgram);

    void CompletionCheck() override;
    void RedialIfNeeded() override;
    void ScanFile(const std::string& path) override;
    void TaskFailed(const std::string& path, const std::string& reason) override;
    void FileAlreadyThere(const std::string& path) override;
    // Told of every finished file before its scan (and of a file found
    // already there, `alreadyThere` set), and of every task that failed for
    // good, from the worker's thread: they must only note it. Once these
    // return with nullptr, the old listener is not called any more.
    void OnFileFinished(std::function<void(const std::string& path, bool alreadyThere)> listener);
    void OnTaskFailed(std::function<void(const std::string& path, const std::string& reason)> listener);

    // Reads the connection state into the options (before the completion
    // toggles' menu is shown, and when redialling).
    void RefreshConnection();
    // The countdown's text for the options as they are.
    std::string CountdownMessage() const;
    // What a cancelled countdown asks: whether to switch the options that
    // started it off; nullptr when neither is on.
    static const char* SwitchOffQuestion(bool shutDown, bool hangUp);

private:
    void CountdownEnded(bool reachedZero);
    void OfferToSwitchOff();

    TaskTable& m_table;
    Guarded<GlobalOptions> m_options;
    WorkerState& m_workers;
    Network& m_network;
    Power& m_power;
    Shell& m_shell;
    Messages& m_messages;
    Countdown& m_countdown;
    std::function<void()> m_exit;
    std::mutex m_finishedMutex;
    std::function<void(const std::string&, bool)> m_finished;              // guarded by m_finishedMutex
    std::function<void(const std::string&, const std::string&)> m_failed;  // guarded by m_finishedMutex
    std::atomic<bool> m_counting{false};
};

// Splits a parameter text like a command line: blanks separate words,
// double quotes group them, a backslash makes the next quote literal.
std::vector<std::string> SplitCommandLine(const std::string& text);

}  // namespace dromo
