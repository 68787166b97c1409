#include "base/download/worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <set>
#include <vector>

#include "tests/base/fakes/rig.h"

namespace dromo {
namespace {

using test::Rig;
using test::Step;

TEST(Worker, FailureTableInItsOrder)
{
    struct Case {
        const char* url;
        std::string error;
        int redial;
        int scheduled;
        TaskState end;
        int attempts;  // with errorCount 2: three at most
        bool told;     // failed for good: the completion hears of it once, the row shows it failed
        std::optional<TransferOutcome> outcome = std::nullopt;  // unset: what the text's marker says
    };
    const Case cases[] = {
        {"http://h/f", "Error - cancelled by user.", 1, 0, TaskState::Paused, 1, false},
        {"http://h/f", "Error 404 from server: Not Found", 1, 0, TaskState::Paused, 1, true},
        {"ftp://h/f", "Error 404 from server: Not Found", 1, 0, TaskState::Paused, 3, true},  // FTP: retried
        {"http://h/f", "Error 10053 - connection aborted", 0, 0, TaskState::Paused, 1, true},
        {"http://h/f", "Error 10053 - connection aborted", 1, 0, TaskState::Paused, 3, true},  // redial on: retried
        {"http://h/f", "Fail to connect to h:80", 1, 0, TaskState::Paused, 3, true},
        {"http://h/f", "Error - cancelled by user.", 1, 1, TaskState::Scheduled, 1, false},
        {"http://h/f", "Error 404 from server", 1, 1, TaskState::Scheduled, 1, false},
        {"http://h/f", "Fail to connect", 1, 1, TaskState::Paused, 3, true},  // the schedule is lost
        // Trying again cannot help: the first attempt is the last.
        {"http://h/f", "Error 410 from server: Gone", 1, 0, TaskState::Paused, 1, true, TransferOutcome::Gone},
        {"http://h/f", "Error 401 from server: Unauthorized", 1, 0, TaskState::Paused, 1, true},
        {"https://h/f", "Fail - secure connection to h:443 refused: bad certificate", 1, 0, TaskState::Paused, 1, true,
         TransferOutcome::SecureFailure},
        {"http://h/f", "Fail - the file does not match its SHA-256 checksum", 1, 0, TaskState::Paused, 1, true,
         TransferOutcome::ChecksumMismatch},
        {"http://h/f", "Error writing /d/f+++: No space left on device", 1, 0, TaskState::Paused, 1, true,
         TransferOutcome::LocalFileError},
        {"http://h/f", "Fail - the file does not match its SHA-256 checksum", 1, 1, TaskState::Scheduled, 1, false,
         TransferOutcome::ChecksumMismatch},
        // It may work in a while: every attempt is made.
        {"http://h/f", "Error 503 from server: Service Unavailable", 1, 0, TaskState::Paused, 3, true,
         TransferOutcome::ServerError},
        {"http://h/f", "Error - less than one byte a second received for 4 seconds", 1, 0, TaskState::Paused, 3, true,
         TransferOutcome::TimedOut},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.url) + " / " + c.error);
        Rig rig;
        rig.options.redialIfDisconnected = c.redial;
        rig.options.maxErrorCount = 2;
        for (int i = 0; i < 3; ++i) {
            Step step = Step::Fail(c.error);
            step.outcome = c.outcome;
            rig.engines.script.Add(step);
        }
        TaskRecord record;
        record.errorCount = 2;
        record.scheduled = c.scheduled;
        record.startAt = "3:00";
        if (c.scheduled) {
            // Queued by hand: the schedule flag stays set while it runs.
            ASSERT_EQ(rig.adder.AddTaskFromRecord(c.url, record), AddResult::Added);
            rig.table.SetState(0, TaskState::Queued);
            rig.pool.StartWorkerIfBelowLimit();
        } else {
            ASSERT_EQ(rig.adder.AddTaskFromRecord(c.url, record), AddResult::Added);
        }
        ASSERT_TRUE(rig.WaitUntil([&] {
            const TaskState s = rig.StateOf(0);
            return rig.Active() == 0 && (s == TaskState::Paused || s == TaskState::Scheduled);
        }));
        rig.WaitUntil([&] { return rig.completion.Count("history") == 1; });
        EXPECT_EQ(rig.StateOf(0), c.end);
        EXPECT_EQ(rig.RowImage(0), c.told ? kImageFailed : StateImageOf(static_cast<std::int32_t>(c.end)));
        // A failure for good keeps the reason the row showed; anything else keeps none.
        EXPECT_EQ(rig.Task(0).failure, c.told ? rig.Row(0).texts[kColStatus] : std::string());
        EXPECT_EQ(static_cast<int>(rig.engines.script.Transfers().size()), c.attempts);
        EXPECT_EQ(rig.Task(0).scheduled, c.end == TaskState::Scheduled ? 1 : 0);
        EXPECT_EQ(rig.completion.Count("redial"), c.attempts);  // before every transfer call
        EXPECT_EQ(rig.completion.Count("history"), 1);
        EXPECT_FALSE(rig.Task(0).engine);
        // The ending is told after the state is set: wait for it, if any.
        rig.WaitUntil([&] { return rig.completion.Count("failed") == (c.told ? 1 : 0); });
        EXPECT_EQ(rig.completion.Count("failed " + rig.Task(0).saveAs + ": " + c.error), c.told ? 1 : 0);
        EXPECT_EQ(rig.completion.Count("failed"), c.told ? 1 : 0);
    }
}

TEST(Worker, RetryTextsCountAttempts)
{
    for (int errorCount : {0, 6}) {
        Rig rig;
        for (int i = 0; i <= errorCount; ++i) {
            rig.engines.script.Add(Step::Fail("Fail to connect"));
        }
        TaskRecord record;
        record.errorCount = errorCount;
        rig.adder.AddTaskFromRecord("http://h/f", record);
        ASSERT_TRUE(rig.WaitIdle());
        EXPECT_EQ(rig.table.RowCopy(0).texts[kColRetry],
                  std::to_string(errorCount) + " of " + std::to_string(errorCount));
        EXPECT_EQ(static_cast<int>(rig.engines.script.Transfers().size()), errorCount + 1);
        EXPECT_EQ(rig.StateOf(0), TaskState::Paused);
    }
}

TEST(Worker, ANegativeErrorCountMakesNoAttemptAndKeepsTheCountsBalanced)
{
    Rig rig;
    TaskRecord record;
    record.errorCount = -3;
    rig.adder.AddTaskFromRecord("http://h/f", record);
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.StateOf(0) == TaskState::Paused; }));
    EXPECT_TRUE(rig.engines.script.Transfers().empty());
    EXPECT_EQ(rig.Active(), 0);
}

// A task whose first transfer fails to connect, with its retries and wait.
void AddFailingTask(Rig& rig, std::int32_t errorCount, std::int32_t retryInterval)
{
    rig.engines.script.Add(Step::Fail("Fail to connect"));
    TaskRecord record;
    record.errorCount = errorCount;
    record.retryInterval = retryInterval;
    rig.adder.AddTaskFromRecord("http://h/f", record);
}

TEST(Worker, RetryWaitFollowsTheInterval)
{
    for (int interval : {0, 3}) {
        Rig rig;
        AddFailingTask(rig, 1, interval);
        ASSERT_TRUE(rig.WaitIdle());
        EXPECT_EQ(rig.StateOf(0), TaskState::Done);
        // Half-second steps while the task waits in Error (idle polls of
        // 500 ms may come on top after it is done).
        EXPECT_GE(rig.clock.slept.load(), static_cast<std::uint64_t>(interval) * 1000);
    }
}

TEST(Worker, StopDuringTheRetryWaitEndsPausedWithoutAnotherTransfer)
{
    // Long waits in fake time, up to the largest interval a profile can
    // hold: twice that must not wrap round to no wait at all.
    for (std::int32_t interval : {100000, std::numeric_limits<std::int32_t>::max()}) {
        SCOPED_TRACE(interval);
        Rig rig;
        AddFailingTask(rig, 5, interval);
        ASSERT_TRUE(rig.WaitUntil([&] { return rig.StateOf(0) == TaskState::Error; }));
        ASSERT_TRUE(rig.WaitUntil([&] { return rig.clock.slept.load() >= 2000; }));  // waiting, not retrying
        rig.commands.Stop({0});
        ASSERT_TRUE(rig.WaitUntil([&] { return rig.completion.Count("history") == 1; }));
        EXPECT_EQ(rig.StateOf(0), TaskState::Paused);
        EXPECT_EQ(rig.engines.script.Transfers().size(), 1u);
        EXPECT_EQ(rig.Active(), 0);
    }
}

TEST(Worker, ResumeDuringTheRetryWaitNeverGivesTheTaskTwoWorkers)
{
    Rig rig;
    rig.options.maxThreadNumber = 2;
    rig.engines.script.Add(Step::Fail("Fail to connect"));
    rig.engines.script.Add(Step::Stall());  // the retry stalls until stopped
    TaskRecord record;
    record.errorCount = 5;
    record.retryInterval = 100000;
    rig.adder.AddTaskFromRecord("http://h/f", record);
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.StateOf(0) == TaskState::Error; }));
    rig.commands.Resume({0});  // queued again: any free worker takes it
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.StateOf(0) == TaskState::Running; }));
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.completion.Count("history") == 1; }));  // the first worker gave up
    // The task shows Running before its worker reaches the engine.
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.engines.script.Transfers().size() >= 2; }));
    EXPECT_EQ(rig.engines.script.Transfers().size(), 2u);
    EXPECT_EQ(rig.Active(), 1);
    EXPECT_EQ(rig.StateOf(0), TaskState::Running);
}

TEST(Worker, OneThreadRunsTasksInRowOrder)
{
    Rig rig;
    for (const char* name : {"a", "b", "c"}) {
        rig.adder.AddTask(std::string("http://h/") + name, "");
    }
    ASSERT_TRUE(rig.WaitIdle());
    const auto transfers = rig.engines.script.Transfers();
    ASSERT_EQ(transfers.size(), 3u);
    EXPECT_EQ(transfers[0].substr(0, 14), "HttpGet h/a /d");
    EXPECT_EQ(transfers[1].substr(0, 14), "HttpGet h/b /d");
    EXPECT_EQ(transfers[2].substr(0, 14), "HttpGet h/c /d");
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(rig.StateOf(row), TaskState::Done);
    }
    EXPECT_EQ(rig.engines.made.size(), 1u);  // one worker, one engine
}

// An idle worker waited for its next half-second poll (on the program's
// clock) before it saw a task added meanwhile; now the add wakes it. The
// fake clock counts every sleep: an idle worker must not poll by sleeping.
TEST(Worker, AnIdleWorkerTakesTheNextTaskWithoutAFixedWait)
{
    Rig rig;
    rig.adder.AddTask("http://h/first", "");
    ASSERT_TRUE(rig.WaitIdle());
    ASSERT_EQ(rig.Workers(), 1);
    const std::uint64_t slept = rig.clock.slept;
    for (const char* name : {"second", "third"}) {
        rig.adder.AddTask(std::string("http://h/") + name, "");
        ASSERT_TRUE(rig.WaitIdle());
    }
    EXPECT_EQ(rig.engines.script.Transfers().size(), 3u);
    EXPECT_EQ(rig.Workers(), 1) << "the idle worker took them";
    EXPECT_EQ(rig.clock.slept, slept) << "an idle worker slept a fixed wait before looking";
}

TEST(Worker, RaisingAndLoweringTheThreadLimit)
{
    Rig rig;
    for (int i = 0; i < 4; ++i) {
        rig.engines.script.Add(Step::Stall());
    }
    for (int i = 0; i < 4; ++i) {
        rig.adder.AddTask("http://h/f" + std::to_string(i), "");
    }
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.Active() == 1; }));
    EXPECT_EQ(rig.Workers(), 1);

    {
        auto guard = rig.table.Lock();
        rig.options.maxThreadNumber = 3;
        // StartWorkerIfAllBusy once per queued task in row order until it first declines.
        for (int row = 0; row < rig.table.Count(); ++row) {
            if (rig.StateOf(row) == TaskState::Queued && !rig.pool.StartWorkerIfAllBusy()) {
                break;
            }
        }
    }
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.Active() == 3; }));
    EXPECT_EQ(rig.Workers(), 3);

    {
        auto guard = rig.table.Lock();
        rig.options.maxThreadNumber = 1;
    }
    rig.commands.Stop({0, 1, 2});
    // Surplus workers end as they become free; one stays for the last task.
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.Workers() == 1; }));
    rig.commands.Resume({0});
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.Active() == 1; }));
    EXPECT_EQ(rig.Workers(), 1);
}

TEST(Worker, StopDuringATransferEndsPausedOrScheduled)
{
    for (int scheduled : {0, 1}) {
        Rig rig;
        rig.engines.script.Add(Step::Stall());
        TaskRecord record;
        record.errorCount = 3;
        record.scheduled = scheduled;
        rig.adder.AddTaskFromRecord("http://h/f", record);
        if (scheduled) {
            rig.table.SetState(0, TaskState::Queued);
            rig.pool.StartWorkerIfBelowLimit();
        }
        ASSERT_TRUE(rig.WaitUntil([&] { return rig.StateOf(0) == TaskState::Running; }));
        ASSERT_TRUE(rig.WaitUntil([&] { return rig.engines.script.Transfers().size() == 1; }));
        // Stop clears the schedule too, so even a scheduled task ends Paused.
        rig.commands.Stop({0});
        ASSERT_TRUE(rig.WaitUntil([&] { return rig.Active() == 0; }));
        EXPECT_EQ(rig.StateOf(0), TaskState::Paused);
        EXPECT_EQ(rig.engines.script.Transfers().size(), 1u);
    }
}

// The finished file's scan is asked for once the worker has released the
// task-table lock, so a slow scanner holds up no other worker and not the window.
TEST(Worker, TheScanIsAskedForWithTheTableLockReleased)
{
    Rig rig;
    rig.completion.watchedLock = &TaskTableTestAccess::Mutex(rig.table);
    rig.engines.script.Add(Step::Ok(""));
    rig.adder.AddTask("http://h/f.zip", "");
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.completion.Count("scan /dl/f.zip") == 1; }));
    EXPECT_EQ(rig.completion.scansUnderLock, 0);
}

TEST(Worker, FinishedTasksAreScannedRecordedAndMaybeRemoved)
{
    struct Case {
        std::string error;
        int deleteIfDone;
        bool removed;
        int history;
        int checks;
        const char* told;  // to the completion rules: scanned, or found already there
    };
    const Case cases[] = {
        {"", 0, false, 1, 1, "scan /dl/f.zip"},
        {"", 1, true, 1, 1, "scan /dl/f.zip"},
        // Forced: no history, no completion check; nothing came to scan, and
        // the notice says the file was already there.
        {"File has already existed", 0, true, 0, 0, "there /dl/f.zip"},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.options.deleteIfDone = c.deleteIfDone;
        rig.engines.script.Add(Step::Ok(c.error));
        rig.adder.AddTask("http://h/f.zip", "");
        ASSERT_TRUE(rig.WaitUntil([&] { return rig.completion.Count(c.told) == 1; }));
        ASSERT_TRUE(rig.WaitUntil([&] { return rig.Active() == 0 && rig.table.Count() == (c.removed ? 0 : 1); }));
        rig.WaitUntil([&] { return rig.completion.Count("check") == c.checks; });
        EXPECT_EQ(rig.completion.Count("scan") + rig.completion.Count("there"), 1);
        EXPECT_EQ(rig.completion.Count("history"), c.history);
        EXPECT_EQ(rig.completion.Count("check"), c.checks);
        if (!c.removed) {
            EXPECT_EQ(rig.StateOf(0), TaskState::Done);
            EXPECT_EQ(rig.RowImage(0), kImageDone);
        }
    }
}

// Each scheme reaches its transfer, TLS told for the two that run inside
// it, and FTP's default login for both FTP schemes.
TEST(Worker, EachSchemeReachesItsTransfer)
{
    const struct {
        const char* url;
        const char* secure;
        const char* get;
    } cases[] = {
        {"ftp://h/f", "SetSecure 0", "FtpGet h/f /dl/f anonymous:me@example.com"},
        {"ftps://h/f", "SetSecure 1", "FtpGet h/f /dl/f anonymous:me@example.com"},
        {"http://h/f", "SetSecure 0", "HttpGet h/f /dl/f :"},
        {"https://h/f", "SetSecure 1", "HttpGet h/f /dl/f :"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        Rig rig;
        rig.options.username = "anonymous";
        rig.options.password = "me@example.com";
        TaskRecord record;
        rig.adder.AddTaskFromRecord(c.url, record);
        ASSERT_TRUE(rig.WaitIdle());
        ASSERT_TRUE(rig.WaitUntil([&] {
            const auto made = rig.engines.script.Calls();
            return std::find(made.begin(), made.end(), "Close") != made.end();
        }));
        const std::vector<std::string> calls = rig.engines.script.Calls();
        const auto secure = std::find(calls.begin(), calls.end(), c.secure);
        ASSERT_NE(secure, calls.end());
        EXPECT_NE(std::find(secure, calls.end(), c.get), calls.end());
    }
}

TEST(Worker, SettingsReachTheEngineInOrder)
{
    Rig rig;
    rig.settings.proxies = {{"proxy", 3128, "pu", "pp"}};
    rig.options.enableCookie = 1;
    rig.options.requireFtpTls = 1;
    rig.options.username = "anonymous";
    rig.options.password = "me@example.com";
    TaskRecord record;
    record.speedLimit = 50;
    record.idleTime = 30;
    record.refresh = 100;
    record.autoSave = "128";
    record.pasvMode = 1;
    record.httpVersion = "1.0";
    record.userAgent = "UA";
    record.connections = 6;
    record.checksum = "md5=d41d8cd98f00b204e9800998ecf8427e";
    record.mirrors = "1::ftp://h/f 2:de:http://m/f";
    record.pieces = "md5 1024 d41d8cd98f00b204e9800998ecf8427e";
    record.useProxy = 1;
    record.proxyIndex = 0;
    record.errorCount = 0;
    rig.adder.AddTaskFromRecord("ftp://h/f", record);
    ASSERT_TRUE(rig.WaitIdle());
    // The task is Done before its worker closes the engine.
    ASSERT_TRUE(rig.WaitUntil([&] {
        const auto made = rig.engines.script.Calls();
        return std::find(made.begin(), made.end(), "Close") != made.end();
    }));
    std::vector<std::string> calls = rig.engines.script.Calls();
    calls.resize(std::min<std::size_t>(calls.size(), 24));
    EXPECT_EQ(calls, (std::vector<std::string>{"SetTaskId 0",
                                               "SetSpeedLimit 50",
                                               "SetIdleTime 30",
                                               "SetRefresh 100",
                                               "SetAutoSave 128",
                                               "SetPasvMode 1",
                                               "SetHttpVersion 1.0",
                                               "SetUserAgent UA",
                                               "SetConnections 6",
                                               "SetExpectedDigests md5=d41d8cd98f00b204e9800998ecf8427e",
                                               "SetMirrors 1::ftp://h/f 2:de:http://m/f",
                                               "SetPieceHashes md5 1024 d41d8cd98f00b204e9800998ecf8427e",
                                               "SetCookies 1",
                                               "SetFtpTlsRequired 1",
                                               "SetProxyUser1 pu",
                                               "SetProxyPassword1 pp",
                                               "SetProxyUser2 pu",
                                               "SetProxyPassword2 pp",
                                               "SetProxyServer1 proxy:3128",
                                               "SetProxyServer2 proxy:3128",
                                               "SetSecure 0",
                                               "SetServerNameAllowed 1",
                                               "FtpGet h/f /dl/f anonymous:me@example.com",
                                               "Close"}));
}

// Identifiers past the old 16-bit end travel from the table through the
// worker and the engine's progress events back to the task's own row; the
// row above, one identifier lower, hears nothing. As 16 bits, 32768 and
// 65535 would have come back as -32768 and -1, and 65536 as 0.
TEST(Worker, ATaskPastTheOld16BitEndHearsItsOwnProgress)
{
    for (const TaskId id : {TaskId{32767}, TaskId{32768}, TaskId{65535}, TaskId{65536}, kLastTaskId}) {
        SCOPED_TRACE(id);
        Rig rig;
        rig.options.deleteIfDone = 0;
        TaskTableTestAccess::SkipIdentifiersTo(rig.table, id - 1);
        TaskRecord waiting;
        waiting.scheduled = 1;  // no worker takes it up
        waiting.startAt = "3:00";
        ASSERT_EQ(rig.adder.AddTaskFromRecord("http://h/above.zip", waiting), AddResult::Added);
        Step step = Step::Ok();
        step.kinds = {ProgressKind::Start, ProgressKind::Bytes, ProgressKind::Status};
        step.bytes = 5 * 1024;
        rig.engines.script.Add(step);
        ASSERT_EQ(rig.adder.AddTask("http://h/f.zip", ""), AddResult::Added);
        ASSERT_EQ(rig.table.TaskIdAt(1), id);
        ASSERT_TRUE(rig.WaitUntil([&] { return rig.Active() == 0 && rig.StateOf(1) == TaskState::Done; }));
        rig.WaitUntil([&] { return rig.completion.Count("history") == 1; });

        const auto calls = rig.engines.script.Calls();
        EXPECT_NE(std::find(calls.begin(), calls.end(), "SetTaskId " + std::to_string(id)), calls.end());
        const TaskRow row = rig.table.RowCopy(1);
        EXPECT_EQ(row.texts[kColSize], "5");
        EXPECT_EQ(row.texts[kColStatus], "12:00:00 status");
        EXPECT_EQ(rig.Task(1).checkpointKB, 5);
        EXPECT_EQ(rig.completion.Count("history " + std::to_string(id)), 1);
        const TaskRow above = rig.table.RowCopy(0);
        EXPECT_EQ(above.texts[kColSize], "0");
        EXPECT_EQ(above.texts[kColStatus], "");
        EXPECT_EQ(rig.Task(0).checkpointKB, -1);
        EXPECT_EQ(rig.StateOf(0), TaskState::Scheduled);
    }
}

TEST(Worker, NoEngineMeansTheWorkerEndsAndTasksStayQueued)
{
    Rig rig;
    rig.engines.fail = true;
    rig.adder.AddTask("http://h/f", "");
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.Workers() == 0; }));
    EXPECT_EQ(rig.StateOf(0), TaskState::Queued);
    EXPECT_TRUE(rig.state.allWorkersEnded.IsSet());
}

TEST(Worker, StopAllAtExitAbortsAndWaitsForTheLastWorker)
{
    Rig rig;
    rig.options.maxThreadNumber = 3;
    for (int i = 0; i < 3; ++i) {
        rig.engines.script.Add(Step::Stall());
        rig.adder.AddTask("http://h/f" + std::to_string(i), "");
    }
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.Active() == 3; }));
    EXPECT_FALSE(rig.pool.JoinIfAllEnded());  // three are still at work
    bool saved = false;
    EXPECT_TRUE(rig.pool.StopAllWorkers(rig.commands, [&] { saved = true; }));
    EXPECT_TRUE(saved);
    EXPECT_EQ(rig.Workers(), 0);
    EXPECT_EQ(rig.Active(), 0);
    EXPECT_TRUE(rig.pool.JoinIfAllEnded());
}

// The exit ends the transfers and nothing else: what waits in the queue,
// on a schedule or as a failure is saved as it stood, and a running task
// with a schedule goes back to waiting for it.
TEST(Worker, TheExitKeepsEveryOtherTasksStateAndSchedule)
{
    Rig rig;
    rig.options.maxThreadNumber = 1;
    rig.engines.script.Add(Step::Stall());
    TaskRecord nightly;
    nightly.scheduled = 1;
    nightly.startAt = "3:00";
    nightly.errorCount = 2;
    ASSERT_EQ(rig.adder.AddTaskFromRecord("http://h/running-nightly", nightly), AddResult::Added);
    rig.table.SetState(0, TaskState::Queued);  // started by its schedule: the flag stays set while it runs
    rig.pool.StartWorkerIfBelowLimit();
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.StateOf(0) == TaskState::Running; }));
    ASSERT_EQ(rig.adder.AddTaskFromRecord("http://h/later-tonight", nightly), AddResult::Added);
    ASSERT_EQ(rig.adder.AddTask("http://h/queued", ""), AddResult::Added);
    ASSERT_EQ(rig.adder.AddTask("http://h/failed", ""), AddResult::Added);
    rig.table.Update(rig.table.TaskIdAt(3), [](TaskRecord& r) {
        r.SetState(TaskState::Paused);
        r.failure = "12:00:00 Error 404 from server: Not Found";
    });

    std::vector<TaskRecord> atSave;
    EXPECT_TRUE(rig.pool.StopAllWorkers(rig.commands, [&] {
        for (int row = 0; row < rig.table.Count(); ++row) {
            atSave.push_back(*rig.table.CopyOut(row));
        }
    }));
    ASSERT_EQ(atSave.size(), 4u);
    EXPECT_EQ(atSave[1].State(), TaskState::Scheduled);
    EXPECT_EQ(atSave[1].scheduled, 1);
    EXPECT_EQ(atSave[2].State(), TaskState::Queued);
    EXPECT_TRUE(atSave[3].Failed());
    EXPECT_EQ(rig.StateOf(0), TaskState::Scheduled) << "the running one waits for its next start";
    EXPECT_EQ(rig.Task(0).scheduled, 1);
    EXPECT_EQ(rig.StateOf(2), TaskState::Queued);
    EXPECT_EQ(rig.RowImage(3), kImageFailed);
}

TEST(Worker, TwoTasksNeverWriteOneFileAtOnce)
{
    Rig rig;
    rig.options.maxThreadNumber = 1;
    rig.engines.script.Add(Step::Stall());
    rig.adder.AddTask("http://h/same.zip", "");
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.StateOf(0) == TaskState::Running; }));
    // The add path refuses the same file while it runs; a list file or the
    // dialog may still queue one, which then waits for the first. With one
    // worker allowed, no second worker can take it before it is retargeted.
    TaskRecord record;
    record.saveAs = "/dl/other-name";
    rig.adder.AddTaskFromRecord("http://h2/same.zip", record);
    {
        auto guard = rig.table.Lock();
        TaskRecord r = *rig.table.CopyOut(1);
        r.saveAs = "/dl/same.zip";
        TaskTableTestAccess::WriteBack(rig.table, 1, r);
        rig.options.maxThreadNumber = 2;  // the pool reads it under this lock
    }
    rig.pool.StartWorkerIfBelowLimit();
    for (int i = 0; i < 50; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(rig.StateOf(1), TaskState::Queued);
    }
    rig.commands.Stop({0});
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.StateOf(1) == TaskState::Done; }));
}

TEST(Worker, AServersRetryAfterSetsTheWaitAndATaskFollowsTheFileItsEngineWrote)
{
    // Retry-After replaces the task's own interval, in both directions.
    for (const auto& [interval, serverWait] : {std::pair{100000, 7}, std::pair{0, 7}}) {
        Rig rig;
        Step busy = Step::Fail("Error 503 from server: Service Unavailable");
        busy.retryAfter = serverWait;
        rig.engines.script.Add(busy);
        TaskRecord record;
        record.errorCount = 1;
        record.retryInterval = interval;
        rig.adder.AddTaskFromRecord("http://h/f", record);
        ASSERT_TRUE(rig.WaitIdle());
        EXPECT_EQ(rig.StateOf(0), TaskState::Done);
        EXPECT_GE(rig.clock.slept.load(), 7000u);
        EXPECT_LT(rig.clock.slept.load(), 50000000u);  // far below the task's 100000 s
    }
    // The engine moved aside to a free name (or took the server's): the
    // task's target follows, for the next attempt and for the list.
    Rig rig;
    Step moved = Step::Fail("Error 10053 - connection aborted");
    moved.savedAs = "/dl/f (1).zip";
    rig.engines.script.Add(moved);
    TaskRecord record;
    record.errorCount = 1;
    rig.adder.AddTaskFromRecord("http://h/f.zip", record);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.table.CopyOut(0)->saveAs, "/dl/f (1).zip");
    const auto transfers = rig.engines.script.Transfers();
    ASSERT_EQ(transfers.size(), 2u);
    EXPECT_EQ(transfers[1], "HttpGet h/f.zip /dl/f (1).zip :");
}

// Mirrors a server named for its file stay with a task that has none, from
// whichever attempt named them; a task's own are never replaced.
TEST(Worker, MirrorsTheServerNamedAreKeptOnlyByATaskWithoutMirrors)
{
    const struct {
        const char* what;
        const char* own;
        std::vector<const char*> announced;  // by each attempt; the last succeeds
        const char* kept;
    } cases[] = {
        {"named", "", {"1::http://b/f"}, "1::http://b/f"},
        {"named by a failed attempt",
         "",
         {"2:de:http://b/f 999999::ftp://c/f", ""},
         "2:de:http://b/f 999999::ftp://c/f"},
        {"the task's own stay", "1::http://m/f", {"1::http://b/f"}, "1::http://m/f"},
        {"none named", "", {""}, ""},
        {"unreadable", "", {"http://b/f"}, ""},
    };
    for (const auto& c : cases) {
        Rig rig;
        for (std::size_t i = 0; i < c.announced.size(); ++i) {
            Step step = i + 1 < c.announced.size() ? Step::Fail("Error 10053 - connection aborted") : Step::Ok();
            step.mirrors = c.announced[i];
            rig.engines.script.Add(step);
        }
        TaskRecord record;
        record.errorCount = 1;
        record.retryInterval = 0;
        record.mirrors = c.own;
        rig.adder.AddTaskFromRecord("http://h/f", record);
        ASSERT_TRUE(rig.WaitIdle()) << c.what;
        EXPECT_EQ(rig.StateOf(0), TaskState::Done) << c.what;
        EXPECT_EQ(rig.table.CopyOut(0)->mirrors, c.kept) << c.what;
    }
}

// A URL that answered with a stream's playlist makes its task a stream
// task, kept as such, whichever attempt found it; the variant the user
// chose goes to the engine as the task starts.
TEST(Worker, AStreamTheEngineFoundIsKeptWithTheTaskAndItsVariantGoesToTheEngine)
{
    const struct {
        const char* what;
        const char* variant;
        std::vector<const char*> found;  // by each attempt; the last succeeds
        const char* kept;
    } cases[] = {
        {"a file", "", {""}, ""},
        {"an HLS playlist", "", {"HLS"}, "HLS"},
        {"a manifest, its lowest variant", "lowest", {"DASH"}, "DASH"},
        {"found by a failed attempt", "720p", {"HLS", "HLS"}, "HLS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        for (std::size_t i = 0; i < c.found.size(); ++i) {
            Step step = i + 1 < c.found.size() ? Step::Fail("Error 10053 - connection aborted") : Step::Ok();
            step.stream = c.found[i];
            rig.engines.script.Add(step);
        }
        TaskRecord record;
        record.errorCount = 1;
        record.retryInterval = 0;
        record.variant = c.variant;
        rig.adder.AddTaskFromRecord("http://h/talk/index.m3u8", record);
        ASSERT_TRUE(rig.WaitIdle());
        EXPECT_EQ(rig.StateOf(0), TaskState::Done);
        EXPECT_EQ(rig.table.CopyOut(0)->stream, c.kept);
        EXPECT_EQ(rig.table.CopyOut(0)->variant, c.variant);
        const std::vector<std::string> calls = rig.engines.script.Calls();
        const auto told = std::count(calls.begin(), calls.end(), std::string("SetStreamVariant ") + c.variant);
        const auto attempts = static_cast<std::ptrdiff_t>(c.found.size());
        EXPECT_EQ(told, *c.variant == '\0' ? 0 : attempts) << "with the request of every attempt";
    }
}

// A download that moves aside from a file of the user's claims its new
// name in the list as it chooses it: never a name another task holds, and
// an add meanwhile never gets it either.
TEST(Worker, AMovedAsideDownloadClaimsANameNoOtherTaskHolds)
{
    Rig rig;
    rig.options.maxThreadNumber = 1;
    Step first = Step::Stall();  // runs until stopped, under its new name
    first.moveAsideTo = {"/dl/same (1).iso", "/dl/same (2).iso", "/dl/same (3).iso"};
    rig.engines.script.Add(first);
    ASSERT_EQ(rig.adder.AddTask("http://h/files/same.iso?k", ""), AddResult::Added);
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.Task(0).saveAs == "/dl/same (1).iso"; }));
    // The name it left is free again; the one it took is not.
    ASSERT_EQ(rig.adder.AddTask("http://h/mirror2/files/same.iso?k", ""), AddResult::Added);
    ASSERT_EQ(rig.adder.AddTask("http://h/mirror3/files/same.iso?k", ""), AddResult::Added);
    EXPECT_EQ(rig.Task(1).saveAs, "/dl/same.iso");
    EXPECT_EQ(rig.Task(2).saveAs, "/dl/same (2).iso");
    rig.commands.Stop({0});
    ASSERT_TRUE(rig.WaitUntil([&] { return rig.StateOf(0) == TaskState::Paused; }));
    EXPECT_EQ(rig.Task(0).saveAs, "/dl/same (1).iso");

    Rig two;
    two.options.maxThreadNumber = 0;  // both are in the list before either runs
    Step moving = Step::Stall();
    moving.moveAsideTo = first.moveAsideTo;
    two.engines.script.Add(moving);
    ASSERT_EQ(two.adder.AddTask("http://h/files/same.iso?k", ""), AddResult::Added);
    ASSERT_EQ(two.adder.AddTask("http://h/mirror2/files/same.iso?k", ""), AddResult::Added);
    {
        auto guard = two.table.Lock();
        two.options.maxThreadNumber = 1;
    }
    two.pool.StartWorkerIfBelowLimit();
    ASSERT_TRUE(two.WaitUntil([&] { return two.Task(0).saveAs == "/dl/same (2).iso"; }));
    EXPECT_EQ(two.Task(1).saveAs, "/dl/same (1).iso");
    // Claimed the moment it was chosen: an add now takes the next one.
    ASSERT_EQ(two.adder.AddTask("http://h/third/same.iso?k", ""), AddResult::Added);
    ASSERT_EQ(two.adder.AddTask("http://h/fourth/same.iso?k", ""), AddResult::Added);
    EXPECT_EQ(two.Task(2).saveAs, "/dl/same.iso");
    EXPECT_EQ(two.Task(3).saveAs, "/dl/same (3).iso");
    two.commands.Stop({0});
    ASSERT_TRUE(two.WaitIdle());
    std::set<std::string> names;
    for (int row = 0; row < two.table.Count(); ++row) {
        names.insert(two.Task(row).saveAs);
    }
    EXPECT_EQ(names.size(), 4u) << "no two tasks share a name";
    const auto transfers = two.engines.script.Transfers();
    EXPECT_NE(std::find(transfers.begin(), transfers.end(), "HttpGet h/mirror2/files/same.iso?k /dl/same (1).iso :"),
              transfers.end());
}

// The list keeps that a task's partial file is its own (for file systems
// that keep no mark on it), and forgets it when the task's name changes.
TEST(Worker, TheListRecordsThePartialFileATaskWrote)
{
    Rig rig;
    Step writes = Step::Fail("Error 10053 - connection aborted");
    writes.writesPartialFile = true;
    rig.engines.script.Add(writes);
    Step moves = Step::Fail("Error 10053 - connection aborted");
    moves.moveAsideTo = {"/dl/f (1).bin"};
    rig.engines.script.Add(moves);
    rig.engines.script.Add(Step::Ok());
    rig.options.redialIfDisconnected = 1;  // retried
    TaskRecord record;
    record.errorCount = 2;
    ASSERT_EQ(rig.adder.AddTaskFromRecord("http://h/f.bin", record), AddResult::Added);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.engines.script.Ownerships(),
              (std::vector<std::string>{"/dl/f.bin not owned", "/dl/f.bin owned", "/dl/f (1).bin not owned"}));
    EXPECT_EQ(rig.Task(0).ownsPartialFile, 0);

    // "Load Broken File" hands over a file the task may continue.
    Rig taken;
    record.ownsPartialFile = 1;
    record.saveAs = "/dl/broken.iso";
    ASSERT_EQ(taken.adder.AddTaskFromRecord("http://h/broken.iso", record), AddResult::Added);
    ASSERT_TRUE(taken.WaitIdle());
    EXPECT_EQ(taken.engines.script.Ownerships(), std::vector<std::string>{"/dl/broken.iso owned"});
}

TEST(Worker, OnlyANameTakenFromTheUrlMayBeReplacedByTheServers)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "SetServerNameAllowed 1"},              // derived from the URL
        {"/dl/get (3)", "SetServerNameAllowed 1"},   // a numbered copy of it
        {"/dl/mine.bin", "SetServerNameAllowed 0"},  // chosen by the user
        {"/dl/get (x)", "SetServerNameAllowed 0"},
    };
    for (const auto& [saveAs, expected] : cases) {
        Rig rig;
        TaskRecord record;
        record.saveAs = saveAs;
        rig.adder.AddTaskFromRecord("http://h/get?id=7", record);
        ASSERT_TRUE(rig.WaitIdle());
        const auto calls = rig.engines.script.Calls();
        EXPECT_NE(std::find(calls.begin(), calls.end(), expected), calls.end()) << saveAs;
    }
}

// The browser showed its name to the user before handing the download
// over: that name stays, even when it is the URL's own, and the server's
// Content-Disposition does not replace it.
TEST(Worker, ANameTheBrowserHandedOverStaysEvenWhenItIsTheUrls)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "SetServerNameAllowed 1"},         // the browser named none: the URL's
        {"get.bin", "SetServerNameAllowed 0"},  // the URL's own name, as the browser showed it
        {"Report.bin", "SetServerNameAllowed 0"},
    };
    for (const auto& [fileName, expected] : cases) {
        Rig rig;
        DownloadDetails details;
        details.fileName = fileName;
        ASSERT_EQ(rig.adder.AddDownload("http://h/get.bin", details), AddResult::Added);
        ASSERT_TRUE(rig.WaitIdle());
        const auto calls = rig.engines.script.Calls();
        EXPECT_NE(std::find(calls.begin(), calls.end(), expected), calls.end()) << fileName;
    }
}

TEST(Worker, ASiteRefusingATaskWhoseBrowserCookieWasLostSaysWhy)
{
    const std::string jar = "h\tFALSE\t/\tFALSE\t0\ts\t1\n";
    struct Case {
        const char* cookie;
        std::string cookieJar;
        int browserCookie;
        const char* error;
        bool explained;
    } cases[] = {
        {"", "", 1, "Error 403 from server: Forbidden", true},
        {"", "", 1, "Error 401 from server: Unauthorized", true},
        {"", "", 1, "Error 404 from server: Not Found", false},
        {"s=1", "", 1, "Error 403 from server: Forbidden", false},  // the cookie is still there
        {"", jar, 1, "Error 403 from server: Forbidden", false},    // and so is the jar
        {"", "", 0, "Error 403 from server: Forbidden", false},     // never had one
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.engines.script.Add(Step::Fail(c.error));
        TaskRecord record;
        record.errorCount = 0;
        record.cookie = c.cookie;
        record.cookieJar = c.cookieJar;
        record.browserCookie = c.browserCookie;
        rig.adder.AddTaskFromRecord("http://h/members.zip", record);
        ASSERT_TRUE(rig.WaitIdle());
        const std::string status = rig.table.RowCopy(0).texts[kColStatus];
        EXPECT_EQ(status.find("were not kept when Dromo restarted") != std::string::npos, c.explained)
            << c.error << " / " << status;
        // The jar goes to the engine with the task, as its cookie does.
        const auto calls = rig.engines.script.Calls();
        EXPECT_EQ(std::find(calls.begin(), calls.end(), "SetCookieJar " + c.cookieJar) != calls.end(),
                  !c.cookieJar.empty());
    }
}

}  // namespace
}  // namespace dromo
