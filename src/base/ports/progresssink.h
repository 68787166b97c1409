#pragma once

#include <cstdint>
#include <string>

#include "base/values/taskid.h"

namespace dromo {

// Kinds of progress event an engine fires.
enum ProgressKind : int {
    kProgressStatus = 0,  // a status text
    kProgressBytes = 1,   // bytes received so far (with what was on disk) and speed
    kProgressRetry = 2,   // the worker's retry text ("1 of 6"); never fired by an engine
    kProgressStart = 3,   // bytes already on disk when a transfer (re)starts
};

// Receives an engine's progress events on the thread that runs the transfer.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void OnProgress(const std::string& text, std::int64_t bytes, std::int64_t speed, int kind,
                            TaskId taskId) = 0;
};

}  // namespace dromo
