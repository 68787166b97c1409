#include "base/sync/reapedthreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace dromo {
namespace {

// A gate jobs wait at until the test opens it.
class Gate {
public:
    void Wait()
    {
        std::unique_lock lock(m_mutex);
        m_opened.wait(lock, [this] { return m_open; });
    }
    void Open()
    {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_opened.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
};

// Polls until the condition holds (at most 10 s).
template <class Condition>
bool WaitUntil(Condition condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(ReapedThreads, StartReapsTheEndedThreadsAndKeepsTheRunningOnes)
{
    ReapedThreads threads;
    Gate gate;
    threads.Start([&gate] { gate.Wait(); });
    std::atomic<int> ended{0};
    for (int i = 0; i < 50; ++i) {
        threads.Start([&ended] { ++ended; });
        EXPECT_TRUE(WaitUntil([&] { return ended == i + 1; }));
    }
    // Each Start reaped the short jobs whose end it saw; without that all 51
    // would still be here.
    EXPECT_LT(threads.Count(), 51U);
    // Every short job ends; the blocked one stays until its gate opens.
    EXPECT_TRUE(WaitUntil([&] {
        threads.ReapFinished();
        return threads.Count() == 1;
    }));
    gate.Open();
    threads.JoinAll();
    EXPECT_EQ(threads.Count(), 0U);
}

TEST(ReapedThreads, TakeAllMovesTheThreadsAndTheirJoin)
{
    ReapedThreads threads;
    Gate gate;
    std::atomic<int> ran{0};
    for (int i = 0; i < 3; ++i) {
        threads.Start([&] {
            gate.Wait();
            ++ran;
        });
    }
    ReapedThreads taken = threads.TakeAll();
    EXPECT_EQ(threads.Count(), 0U);
    EXPECT_EQ(taken.Count(), 3U);
    gate.Open();
    taken.JoinAll();
    EXPECT_EQ(ran, 3);
}

TEST(ReapedThreads, TheDestructorAndAMoveAssignmentWaitForTheirJobs)
{
    std::atomic<int> ran{0};
    auto slowJob = [&ran] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ++ran;
    };
    {
        ReapedThreads threads;
        threads.Start(slowJob);
    }
    EXPECT_EQ(ran, 1);
    ReapedThreads kept;
    kept.Start(slowJob);
    kept = ReapedThreads();  // the job kept had is joined first
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(kept.Count(), 0U);
}

}  // namespace
}  // namespace dromo
