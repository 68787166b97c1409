#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "base/values/taskid.h"

namespace dromo {

// Kinds of progress event an engine fires; the numbers are the classic ones.
enum class ProgressKind : int {
    Status = 0,  // a status text
    Bytes = 1,   // bytes received so far (with what was on disk) and speed
    Retry = 2,   // the worker's retry text ("1 of 6"); never fired by an engine
    Start = 3,   // bytes already on disk when a transfer (re)starts
};

// What a status text tells, as the one who wrote it knows: the window
// plays its sounds by it.
enum class StatusTone {
    Plain,
    Connecting,  // "Connecting to HOST:PORT..."
    Done,        // "File has been downloaded"
    Failure,     // a failure ("Error …", "Fail …"), final or to be tried again
};

// One progress event.
struct Progress {
    ProgressKind kind = ProgressKind::Status;
    TaskId taskId = 0;
    std::string text;        // Status and Retry
    std::int64_t bytes = 0;  // Bytes and Start
    std::int64_t speed = 0;  // Bytes, in bytes per second
    StatusTone tone = StatusTone::Plain;

    static Progress Status(TaskId taskId, std::string text, StatusTone tone = StatusTone::Plain)
    {
        return Progress{ProgressKind::Status, taskId, std::move(text), 0, 0, tone};
    }
    static Progress Bytes(TaskId taskId, std::int64_t bytes, std::int64_t speed)
    {
        return Progress{ProgressKind::Bytes, taskId, {}, bytes, speed, StatusTone::Plain};
    }
    static Progress Start(TaskId taskId, std::int64_t bytes)
    {
        return Progress{ProgressKind::Start, taskId, {}, bytes, 0, StatusTone::Plain};
    }
    static Progress Retry(TaskId taskId, std::string text)
    {
        return Progress{ProgressKind::Retry, taskId, std::move(text), 0, 0, StatusTone::Plain};
    }
};

// Receives an engine's progress events on the thread that runs the transfer.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void OnProgress(const Progress& progress) = 0;
};

}  // namespace dromo
