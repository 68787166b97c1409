#pragma once

#include <string>

namespace dromo {

// What happens around the end of downloads, as the workers and the timer
// call it. Implementations never wait for the user-interface thread: a
// countdown or a message asked for here is posted to it.
class CompletionActions {
public:
    virtual ~CompletionActions() = default;
    // A file finished downloading. Called with the task-table lock released:
    // starting the scanner may take a while, and no worker or window should
    // wait for it.
    virtual void ScanFile(const std::string& path) = 0;
    // Right before every transfer call: dial again when the modem line dropped.
    virtual void RedialIfNeeded() = 0;
    // All work may be over: hang up or shut down after the countdown.
    virtual void CompletionCheck() = 0;
    // A task failed for good: its retries are used up, or its error is one
    // that is not retried. `reason` is the engine's text for the failure.
    // Called with the task-table lock released.
    virtual void TaskFailed(const std::string& path, const std::string& reason) = 0;
    // A task found its file already there, the same as the server's: nothing
    // was downloaded and the task leaves the list, so the user is told where
    // it is. Called with the task-table lock released.
    virtual void FileAlreadyThere(const std::string& path) = 0;
};

}  // namespace dromo
