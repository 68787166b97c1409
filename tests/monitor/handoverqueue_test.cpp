// The host's calls to Dromo: one that Dromo keeps waiting holds up no other,
// and none is cut off when the browser goes.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "monitor/handoverqueue.h"

namespace dromo {
namespace {

// A gate the jobs wait at until the test opens it.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    int passed = 0;

    void Wait()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return open; });
        ++passed;
        changed.notify_all();
    }
    void Open()
    {
        std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
};

TEST(HandOverQueue, AJobDromoKeepsWaitingHoldsUpNoOtherAndAllFinishBeforeTheEnd)
{
    Gate gate;
    std::mutex mutex;
    std::condition_variable changed;
    int done = 0;
    {
        HandOverQueue calls;
        // The first two wait for the gate, as calls to a Dromo asking the user.
        for (int i = 0; i < 2; ++i) {
            calls.Add([&gate] { gate.Wait(); });
        }
        // Later hand-overs run all the same (one queue would keep them behind
        // the gate; the bound only keeps such a fault from hanging the run).
        for (int i = 0; i < 3; ++i) {
            calls.Add([&] {
                std::lock_guard lock(mutex);
                ++done;
                changed.notify_all();
            });
        }
        std::unique_lock lock(mutex);
        EXPECT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&done] { return done == 3; }));
        lock.unlock();
        EXPECT_EQ(gate.passed, 0);
        gate.Open();
    }  // the destructor waits for the gated calls
    EXPECT_EQ(gate.passed, 2);
}

}  // namespace
}  // namespace dromo
