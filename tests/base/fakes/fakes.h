#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/ports/network.h"

#include "base/ports/clock.h"
#include "base/ports/completionactions.h"
#include "base/ports/historywriter.h"
#include "base/ports/messages.h"
#include "base/ports/power.h"
#include "base/ports/shell.h"
#include "base/ports/sound.h"
#include "base/ports/tasklistobserver.h"
#include "base/ports/workerstarter.h"

namespace dromo::test {

// True when the calling thread holds the (recursive) lock. Asked from a
// thread of its own, which gets the lock at once unless it is held, and
// keeps trying while other threads merely pass through it.
inline bool HeldByCaller(std::recursive_mutex& lock)
{
    bool taken = false;
    std::thread probe([&] {
        for (int i = 0; i < 100000 && !taken; ++i) {
            taken = lock.try_lock();
            if (!taken) {
                std::this_thread::yield();
            }
        }
        if (taken) {
            lock.unlock();
        }
    });
    probe.join();
    return !taken;
}

class RecordingObserver : public TaskListObserver {
public:
    std::vector<std::string> events;
    std::string pane1, pane2;
    std::vector<TrayState> trays;

    void RowInserted(int row) override { Note("insert " + std::to_string(row)); }
    void RowRemoved(int row) override { Note("remove " + std::to_string(row)); }
    void RowChanged(int row, RowParts) override { Note("change " + std::to_string(row)); }
    void StatusTexts(const std::string& p0, const std::string& p1, const std::string& p2) override
    {
        std::lock_guard lock(m_mutex);
        events.push_back("status '" + p0 + "'");
        pane1 = p1;
        pane2 = p2;
    }
    void TrayStateChanged(const TrayState& state) override
    {
        std::lock_guard lock(m_mutex);
        trays.push_back(state);
    }

private:
    void Note(const std::string& e)
    {
        std::lock_guard lock(m_mutex);
        events.push_back(e);
    }
    std::mutex m_mutex;
};

class FakeWorkerStarter : public WorkerStarter {
public:
    int ruleA = 0;
    int ruleB = 0;
    std::function<void()> onStart;  // what a worker starting now would find
    bool StartWorkerIfAllBusy() override
    {
        ++ruleA;
        if (onStart)
            onStart();
        return true;
    }
    bool StartWorkerIfBelowLimit() override
    {
        ++ruleB;
        if (onStart)
            onStart();
        return true;
    }
};

class FakeNetwork : public Network, public Power {
public:
    ConnectionState state{true, false};
    std::vector<std::string> calls;
    ConnectionState GetConnectedState() override { return state; }
    bool Dial() override
    {
        calls.push_back("dial");
        return true;
    }
    bool HangUp() override
    {
        calls.push_back("hangup");
        return true;
    }
    bool PowerOff() override
    {
        calls.push_back("poweroff");
        return false;  // refused, like a desktop without the right
    }
};

class FakeMessages : public Messages {
public:
    std::vector<std::string> shown;
    std::vector<Ask> askedAs;  // how each AskOkCancel question looked
    bool answer = true;
    void Warning(const std::string& text) override { shown.push_back(text); }
    bool AskOkCancel(const std::string& text, Ask kind) override
    {
        shown.push_back(text);
        askedAs.push_back(kind);
        return answer;
    }
    int chosen = 0;  // the answer Choose gives
    int Choose(const std::string& text, const std::vector<std::string>& buttons) override
    {
        std::string asked = text;
        for (const std::string& b : buttons) {
            asked += " [" + b + "]";
        }
        shown.push_back(asked);
        return chosen;
    }
};

class FakeSound : public Sound {
public:
    std::vector<std::string> played;
    std::vector<std::string> started;
    void Play(const std::string& path) override
    {
        std::lock_guard lock(m_mutex);
        played.push_back(path);
    }
    void Start(const std::string& path) override
    {
        std::lock_guard lock(m_mutex);
        started.push_back(path);
    }

private:
    std::mutex m_mutex;
};

class FakeShell : public Shell {
public:
    std::vector<std::string> opened;
    bool result = true;
    bool Open(const std::string& path) override
    {
        opened.push_back(path);
        return result;
    }
    std::vector<std::vector<std::string>> started;
    // When set, Start counts the calls made with this lock held.
    std::recursive_mutex* watchedLock = nullptr;
    int startsUnderLock = 0;
    bool Start(const std::string& program, const std::vector<std::string>& arguments) override
    {
        if (watchedLock && HeldByCaller(*watchedLock)) {
            ++startsUnderLock;
        }
        std::vector<std::string> call{program};
        call.insert(call.end(), arguments.begin(), arguments.end());
        started.push_back(call);
        return result;
    }
};

// Records what the workers and the timer ask of the completion rules.
class FakeCompletion : public CompletionActions, public HistoryWriter {
public:
    std::vector<std::string> calls;
    // When set, ScanFile counts the calls made with this lock held.
    std::recursive_mutex* watchedLock = nullptr;
    std::atomic<int> scansUnderLock{0};
    void ScanFile(const std::string& path) override
    {
        if (watchedLock && HeldByCaller(*watchedLock)) {
            ++scansUnderLock;
        }
        Note("scan " + path);
    }
    void RedialIfNeeded() override { Note("redial"); }
    void CompletionCheck() override { Note("check"); }
    void TaskFailed(const std::string& path, const std::string& reason) override
    {
        Note("failed " + path + ": " + reason);
    }
    void FileAlreadyThere(const std::string& path) override { Note("there " + path); }
    void WriteHistoryEntry(TaskId taskId) override { Note("history " + std::to_string(taskId)); }
    int Count(const std::string& prefix)
    {
        std::lock_guard lock(m_mutex);
        int n = 0;
        for (const auto& c : calls) {
            n += c.rfind(prefix, 0) == 0;
        }
        return n;
    }

private:
    void Note(const std::string& c)
    {
        std::lock_guard lock(m_mutex);
        calls.push_back(c);
    }
    std::mutex m_mutex;
};

// A clock the test sets. Sleep advances it at once (and lets other threads
// run), so waits of seconds take microseconds.
class FakeClock : public Clock {
public:
    std::atomic<std::int64_t> now{1'800'000'000};
    std::atomic<int> hour{12};
    std::atomic<int> minute{0};
    std::atomic<std::uint32_t> ms{1000};
    std::atomic<std::uint64_t> slept{0};

    std::int64_t Now() override { return now; }
    LocalTime Local() override { return {hour, minute}; }
    std::uint32_t Milliseconds() override { return ms; }
    void Sleep(std::uint32_t milliseconds) override
    {
        slept += milliseconds;
        ms += milliseconds;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
};

}  // namespace dromo::test
