#pragma once

#include <functional>

#include "base/sync/reapedthreads.h"

namespace dromo {

// Runs the calls to Dromo (starting it, handing it captured downloads) off
// the thread that answers the browser, each on a thread of its own: one
// hand-over Dromo keeps (asking the user about it) holds up no other. Each
// call is bounded by its own time-out. The destructor waits for what runs.
class HandOverQueue {
public:
    using Job = std::function<void()>;

    HandOverQueue() = default;
    HandOverQueue(const HandOverQueue&) = delete;
    HandOverQueue& operator=(const HandOverQueue&) = delete;

    void Add(Job job);

private:
    // Only the answering thread adds and reaps; finished calls leave nothing
    // behind. The destructor joins what still runs.
    ReapedThreads m_running;
};

}  // namespace dromo
