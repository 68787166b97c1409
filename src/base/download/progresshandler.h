#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "base/ports/progresssink.h"
#include "base/tasks/guarded.h"
#include "base/values/globaloptions.h"

namespace dromo {

class Clock;
class Sound;
struct WorkerState;

// Turns the engines' progress events and the workers' retry texts into the
// task rows' column texts and the event sounds. Runs on the worker threads.
class ProgressHandler : public ProgressSink {
public:
    ProgressHandler(TaskTable& table, const GlobalOptions& options, WorkerState& workers, Clock& clock, Sound& sound);

    void OnProgress(const Progress& progress) override;

    // Bytes all tasks received since the last call (never negative); the
    // one-second timer takes them. Takes the task-table lock.
    std::int64_t TakeBytesThisTick();

private:
    void Bytes(int row, std::int64_t bytes, std::int64_t speed);

    TaskTable& m_table;
    Guarded<const GlobalOptions> m_options;
    WorkerState& m_workers;
    Clock& m_clock;
    Sound& m_sound;
    std::int64_t m_bytesThisTick = 0;  // guarded by the task-table lock
};

}  // namespace dromo
