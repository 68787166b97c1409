#include "base/download/worker.h"

#include "base/commands/taskcommands.h"
#include "base/download/taskrequest.h"
#include "base/ports/clock.h"
#include "base/ports/completionactions.h"
#include "base/ports/enginefactory.h"
#include "base/ports/historywriter.h"
#include "base/ports/progresssink.h"
#include "base/ports/transferengine.h"
#include "base/storage/passwordkeyring.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/taskfileclaims.h"
#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/text/filenames.h"
#include "base/text/mirrorlist.h"
#include "base/text/piecehashes.h"
#include "base/text/progresstexts.h"
#include "base/text/trace.h"
#include "base/values/globaloptions.h"
#include "base/values/transferoutcome.h"

namespace dromo {
namespace {

constexpr std::uint32_t kPollMs = 500;
constexpr const char* kPasswordKeptInKeyring =
    "Fail - the keyring holds this task's password and did not give it (locked, or not running); unlock "
    "it, or type the password in the task's properties, and start the task again";

}  // namespace

// True when there are more workers than allowed. The surplus worker counts
// itself out here, under the lock, so that of several workers checking at
// once only as many leave as are too many: otherwise all of them could see
// the old count, all leave, and strand the queued tasks.
bool Worker::LeaveIfSurplus()
{
    auto guard = m_ctx.table.Lock();
    if (m_ctx.state.Counts(guard).workerCount <= m_ctx.options.Get(guard).maxThreadNumber) {
        return false;
    }
    --m_ctx.state.Counts(guard).workerCount;  // never the last one: the limit is at least 1
    m_countedOut = true;
    return true;
}

void Worker::DoneStarting(const TaskTable::Guard& guard)
{
    if (m_starting) {
        m_starting = false;
        --m_ctx.state.Counts(guard).startingCount;
    }
}

void Worker::UpdateStatus()
{
    m_ctx.commands.UpdateStatusPanes();
}

void Worker::Run()
{
    m_engine = m_ctx.engines.Create(m_ctx.progress);
    if (m_engine) {
        while (!m_ctx.state.stop && !LeaveIfSurplus()) {
            TaskRecord task;
            // Noted before the look, so an add between the look and the
            // wait still wakes it; the poll stays for what rings no bell.
            const std::uint64_t rings = m_ctx.state.workPosted.Rings();
            if (!PickUp(task)) {
                m_ctx.state.workPosted.WaitPast(rings, std::chrono::milliseconds(kPollMs));
                continue;
            }
            if (!TakePasswordFromKeyring(task)) {
                continue;
            }
            Configure(task);
            RunAttempts(task);
            EndTask(task);
        }
        m_engine->Abort();
        m_engine->Close();
        m_engine.reset();
    }
    auto guard = m_ctx.table.Lock();
    DoneStarting(guard);
    if (!m_countedOut) {
        if (m_ctx.state.Counts(guard).workerCount == 1) {
            m_ctx.state.allWorkersEnded.Set();
        }
        --m_ctx.state.Counts(guard).workerCount;
    }
}

// The first queued task in row order, skipping one whose file a running task
// is writing: two tasks never write the same file at once.
bool Worker::PickUp(TaskRecord& task)
{
    auto guard = m_ctx.table.Lock();
    DoneStarting(guard);
    const TaskTable& table = m_ctx.table;
    // An idle worker asks when a task may have come, and twice a second: with nothing queued that costs
    // nothing, however long the list, and the running ones are found by the
    // table's index, not by a walk per candidate.
    if (table.CountIn(TaskState::Queued) == 0) {
        return false;
    }
    const int row = table.FindRow([&table](const TaskRecord& candidate) {
        return candidate.Is(TaskState::Queued) &&
               (!table.RunningSavesTo(candidate.saveAs) || table.FindRow([&candidate](const TaskRecord& other) {
                   return other.Is(TaskState::Running) && other.saveAs == candidate.saveAs;
               }) < 0);
    });
    if (row >= 0) {
        m_ctx.table.Update(m_ctx.table.TaskIdAt(row), [&](TaskRecord& candidate) {
            candidate.engine = m_engine;
            candidate.SetState(TaskState::Running);
            candidate.checkpointKB = -1;
            candidate.startTime = candidate.checkpointTime = m_ctx.clock.Now();
            task = candidate;
        });
        ++m_ctx.state.Counts(guard).activeCount;
        return true;
    }
    return false;
}

// A password the keyring could not give when the list was loaded (locked,
// not running) is only in the keyring: it is asked for again now, so a
// keyring opened since then gives the task its own password. Until it does,
// the task is not sent with "" for a password (a refused login at every
// attempt, or a server counting failed logins): it is paused and says why.
bool Worker::TakePasswordFromKeyring(TaskRecord& task)
{
    if (task.useLogin == 0 || !task.password.empty() || task.keyringId.empty() || m_ctx.keyring == nullptr) {
        return true;
    }
    if (const auto recalled = m_ctx.keyring->Recall(kTaskListSection, task.keyringId)) {
        task.password = *recalled;
        m_ctx.table.Update(task.taskId, [&task](TaskRecord& r) {
            if (r.password.empty() && r.keyringId == task.keyringId) {
                r.password = task.password;
            }
        });
        return true;
    }
    m_failure = StatusTimeStamp() + kPasswordKeptInKeyring;
    m_ctx.progress.OnProgress(Progress::Status(task.taskId, m_failure, StatusTone::Failure));
    {
        auto guard = m_ctx.table.Lock();  // paused and failed in one step, as every row shows it
        HandBack(task, TaskState::Paused);
        m_ctx.table.Update(task.taskId, [this](TaskRecord& r) { r.failure = m_failure; });
    }
    UpdateStatus();
    TellFailure(task);
    return false;
}

void Worker::Configure(const TaskRecord& task)
{
    auto guard = m_ctx.table.Lock();
    const GlobalOptions& options = m_ctx.options.Get(guard);
    m_engine->Configure(SettingsFor(task, options, m_ctx.proxies.Get(guard)));
    if (task.useLogin) {
        m_request = RequestFor(task, task.user, task.password);
    } else if (IsFtpProtocol(task.protocol)) {
        m_request = RequestFor(task, options.username, options.password);
    } else {
        m_request = RequestFor(task, "", "");
    }
}

// Gives a picked-up task back without a transfer: it leaves this worker's
// engine and the active count, in the state given.
void Worker::HandBack(TaskRecord& task, TaskState state)
{
    auto guard = m_ctx.table.Lock();
    --m_ctx.state.Counts(guard).activeCount;
    if (m_ctx.table.Update(task.taskId, [](TaskRecord& r) { r.engine.reset(); })) {
        m_ctx.table.SetState(m_ctx.table.RowOf(task.taskId), state);
    }
    task.SetState(state);
}

bool Worker::Transfer(TaskRecord& task)
{
    // Every name the engine moves to is claimed in the list as it is
    // chosen, so a task added or running meanwhile never gets it too.
    TaskFileClaims claims(m_ctx.table, task.taskId);
    m_engine->SetFileClaims(&claims);
    // The target may have moved since the task was taken up (a name the
    // server gave, a free name beside another file).
    m_request.saveAs = task.saveAs;
    m_request.serverNameAllowed = ServerNameAllowed(task);
    const bool ok = m_engine->Transfer(m_request);
    m_engine->SetFileClaims(nullptr);
    TakeSavedAs(task);
    TakeAnnouncedMirrors(task);
    TakeFoundStream(task);
    return ok;
}

// The engine may have saved beside a file that was not ours, or under the
// server's name: the task follows, so a retry continues that file and the
// list shows where the download is.
void Worker::TakeSavedAs(TaskRecord& task)
{
    const std::string savedAs = m_engine->SavedAs();
    if (savedAs.empty() || savedAs == task.saveAs) {
        return;
    }
    trace::Line("task " + std::to_string(task.taskId), "saves as " + savedAs + " instead of " + task.saveAs);
    task.saveAs = savedAs;
    m_ctx.table.Update(task.taskId, [&savedAs](TaskRecord& r) {
        if (r.saveAs != savedAs) {
            r.saveAs = savedAs;
            r.ownsPartialFile = 0;
        }
    });
}

// The mirrors a server named for the file stay with a task that has none,
// so its next attempts and the saved list know them; a task's own mirrors
// (a Metalink's, the user's) are never replaced by a server's.
void Worker::TakeAnnouncedMirrors(TaskRecord& task)
{
    const MirrorList announced = m_engine->AnnouncedMirrors();
    if (announced.Empty() || !task.mirrors.empty()) {
        return;
    }
    trace::Line("task " + std::to_string(task.taskId),
                "keeps the " + std::to_string(announced.Size()) + " mirror(s) the server named");
    m_ctx.table.Update(task.taskId, [&](TaskRecord& r) {
        if (r.mirrors.empty()) {
            r.mirrors = announced.Stored();
        }
        task.mirrors = r.mirrors;
    });
}

// A URL that answered with a video stream's playlist makes a stream task,
// stored so (its own values in the profile) and shown so.
void Worker::TakeFoundStream(TaskRecord& task)
{
    const std::string found = m_engine->FoundStream();
    if (found.empty() || found == task.stream) {
        return;
    }
    trace::Line("task " + std::to_string(task.taskId), "is a " + found + " stream");
    task.stream = found;
    m_ctx.table.Update(task.taskId, [&found](TaskRecord& r) { r.stream = found; });
}

void Worker::TraceAttempt(const TaskRecord& task, int attempt) const
{
    if (!trace::On()) {
        return;
    }
    const std::string url =
        std::string(SchemeOf(task.protocol)) + "://" + task.host + ":" + std::to_string(task.port) + task.remotePath;
    trace::Line("task " + std::to_string(task.taskId), "attempt " + std::to_string(attempt + 1) + " of " +
                                                           std::to_string(task.errorCount + 1) + ": " +
                                                           trace::Url(url) + " to " + task.saveAs);
}

void Worker::RunAttempts(TaskRecord& task)
{
    if (task.errorCount < 0) {
        // No attempt at all (a hand-edited list file): the task goes back to
        // Paused and the active count stays balanced.
        HandBack(task, TaskState::Paused);
        return;
    }
    for (int attempt = 0; attempt <= task.errorCount; ++attempt) {
        UpdateStatus();
        if (m_ctx.state.stop) {
            if (attempt == 0) {
                // Picked up, never started: back as it was, and one its
                // schedule started waits for the next start.
                HandBack(task, task.scheduled ? TaskState::Scheduled : TaskState::Queued);
            }
            break;
        }
        if (attempt > 0 && !RetakeForRetry(task)) {
            return;
        }
        m_ctx.progress.OnProgress(
            Progress::Retry(task.taskId, std::to_string(attempt) + " of " + std::to_string(task.errorCount)));
        UpdateStatus();
        m_ctx.completion.RedialIfNeeded();

        TraceAttempt(task, attempt);
        if (Transfer(task)) {
            trace::Line("task " + std::to_string(task.taskId), "attempt " + std::to_string(attempt + 1) + " succeeded");
            Succeeded(task);
            return;
        }
        const TransferOutcome outcome = m_engine->Outcome();
        trace::Line("task " + std::to_string(task.taskId), "attempt " + std::to_string(attempt + 1) + " failed (" +
                                                               OutcomeName(outcome) + "): " + m_engine->ErrorText());
        m_failure = m_engine->ErrorText();
        ExplainLostCookies(task, outcome);  // before the state: a failure keeps the reason the row shows
        const TaskState next = Failed(task, outcome);
        UpdateStatus();
        m_engine->Close();
        task.SetState(next);
        if (m_ctx.state.stop || next == TaskState::Paused || next == TaskState::Scheduled) {
            // An error that is not retried ends the task here; one the user
            // asked for (Stop, the exit) or a schedule's next run does not.
            if (!m_ctx.state.stop && next == TaskState::Paused && outcome != TransferOutcome::Cancelled) {
                TellFailure(task);
            }
            return;
        }
        // A server that said how long to wait (Retry-After) is believed, up
        // to the engine's bound; otherwise the task's own interval.
        const std::int32_t serverWait = m_engine->RetryAfter();
        trace::Line("task " + std::to_string(task.taskId),
                    "waits " + std::to_string(serverWait >= 0 ? serverWait : task.retryInterval) +
                        " s before the next attempt" + (serverWait >= 0 ? " (the server's Retry-After)" : ""));
        if (!WaitBeforeRetry(task, serverWait >= 0 ? serverWait : task.retryInterval)) {
            continue;  // the next attempt finds the task taken over and ends
        }
    }
}

// Before another attempt: takes the task back from Error to Running; false
// when the user took it over during the wait (Stop paused it, Resume queued
// it again for any worker, Delete removed it), with `task` as it now is.
bool Worker::RetakeForRetry(TaskRecord& task)
{
    auto guard = m_ctx.table.Lock();
    const int row = m_ctx.table.RowOf(task.taskId);
    if (row < 0) {
        task.SetState(TaskState::Paused);  // deleted during the wait
        return false;
    }
    if (m_ctx.table.StateAt(row) != static_cast<std::int32_t>(TaskState::Error)) {
        task = *m_ctx.table.CopyOut(row);
        return false;
    }
    m_ctx.table.Update(task.taskId, [&](TaskRecord& current) {
        current.engine = m_engine;
        current.SetState(TaskState::Running);
        task = current;
    });
    ++m_ctx.state.Counts(guard).activeCount;
    return true;
}

// The file is whole: the task is Done, and its file goes to the scanner.
void Worker::Succeeded(TaskRecord& task)
{
    bool found = false;
    {
        auto guard = m_ctx.table.Lock();
        const std::string verified = m_engine->Verified();
        found = m_ctx.table.Update(task.taskId, [&](TaskRecord& r) {
            r.engine.reset();
            r.SetState(TaskState::Done);
            r.verified = verified;
            r.scheduled = 0;
            task = r;
        });
        task.SetState(TaskState::Done);
        task.verified = verified;
        --m_ctx.state.Counts(guard).activeCount;
    }
    if (found && m_engine->Outcome() == TransferOutcome::AlreadyExisted) {
        m_ctx.completion.FileAlreadyThere(task.saveAs);
    } else if (found) {
        m_ctx.completion.ScanFile(task.saveAs);  // the scanner starts with the lock released
    }
    m_engine->Close();
    UpdateStatus();
}

// Decides the state after a failed attempt by what follows its outcome: a
// retried failure waits in Error, the user's stop and a final failure end
// the attempts (a scheduled task keeps its next run), and a final failure
// leaves the task failed with the reason its row shows.
TaskState Worker::Failed(const TaskRecord& task, TransferOutcome outcome)
{
    auto guard = m_ctx.table.Lock();
    --m_ctx.state.Counts(guard).activeCount;
    const bool redial = m_ctx.options.Get(guard).redialIfDisconnected != 0;
    const AfterFailure after = AfterFailureOf(outcome, IsFtpProtocol(task.protocol), redial);
    const bool failsForGood = after == AfterFailure::Final && !m_ctx.state.stop;
    const std::string reason = failsForGood ? ShownFailure(task.taskId) : std::string();
    TaskState next = TaskState::Error;
    auto decide = [&](TaskRecord& r) {
        if (after == AfterFailure::Retried) {
            next = TaskState::Error;
            r.scheduled = 0;
        } else {
            next = r.scheduled ? TaskState::Scheduled : TaskState::Paused;
        }
        r.engine.reset();
        r.SetState(next);
        if (failsForGood && next == TaskState::Paused) {
            r.failure = reason;
        }
    };
    if (!m_ctx.table.Update(task.taskId, decide)) {
        TaskRecord gone = task;  // deleted meanwhile: decided on the worker's copy
        decide(gone);
    }
    return next;
}

// The reason a failed task keeps: its Status column as the user saw it
// last, else the engine's words, which the column then shows too. Never
// empty, since an empty one is no failure. Under the lock.
std::string Worker::ShownFailure(TaskId taskId)
{
    const int row = m_ctx.table.RowOf(taskId);
    std::string shown = row >= 0 ? m_ctx.table.RowCopy(row).texts[kColStatus] : std::string();
    if (shown.empty()) {
        shown = StatusTimeStamp() + (m_failure.empty() ? std::string("Fail - the download failed") : m_failure);
        m_ctx.table.SetText(row, kColStatus, shown);
    }
    return shown;
}

// A browser's cookie lives in memory only: when a site refuses a task whose
// cookie did not survive a restart, the status says why and what to do.
void Worker::ExplainLostCookies(const TaskRecord& task, TransferOutcome outcome)
{
    if (task.browserCookie == 0 || !task.cookie.empty() || !task.cookieJar.empty() ||
        outcome != TransferOutcome::AccessDenied) {
        return;
    }
    m_ctx.progress.OnProgress(Progress::Status(task.taskId,
                                               StatusTimeStamp() +
                                                   "Fail - the site refused the download: the browser's cookies "
                                                   "for it were not kept when Dromo restarted; start it again "
                                                   "from the browser",
                                               StatusTone::Failure));
}

// Waits `seconds` in half-second steps; false when the task was taken over
// (Stop or Resume) meanwhile. The steps are counted in 64 bits: twice the
// largest interval a profile may hold does not fit in 32.
bool Worker::WaitBeforeRetry(const TaskRecord& task, std::int64_t seconds)
{
    const std::int64_t steps = 2 * seconds;
    for (std::int64_t i = 0; i < steps; ++i) {
        {
            auto guard = m_ctx.table.Lock();
            const int row = m_ctx.table.RowOf(task.taskId);
            if (row < 0 || !m_ctx.table.CopyOut(row)->Is(TaskState::Error)) {
                return false;
            }
        }
        m_ctx.clock.Sleep(kPollMs);
    }
    return true;
}

void Worker::EndTask(TaskRecord& task)
{
    bool failedForGood = false;
    {
        auto guard = m_ctx.table.Lock();
        const bool existed = m_engine->Outcome() == TransferOutcome::AlreadyExisted;
        if (m_ctx.table.RowOf(task.taskId) < 0) {
            return;  // deleted by the user meanwhile: nothing left to record
        }
        if (!existed) {
            m_ctx.history.WriteHistoryEntry(task.taskId);
        }
        if (task.Is(TaskState::Done)) {
            m_ctx.commands.RemoveTaskRow(task.taskId, existed);
        }
        const int row = m_ctx.table.RowOf(task.taskId);
        if (task.Is(TaskState::Error) && row >= 0) {
            // All attempts used up. Only a task still in Error is paused: one
            // the user resumed meanwhile stays queued; and the exit, which
            // cut the attempts short, is no failure.
            if (m_ctx.table.CopyOut(row)->Is(TaskState::Error)) {
                failedForGood = !m_ctx.state.stop;
                const std::string reason = failedForGood ? ShownFailure(task.taskId) : std::string();
                m_ctx.table.Update(task.taskId, [&reason](TaskRecord& r) {
                    r.SetState(TaskState::Paused);
                    r.failure = reason;
                });
            }
            task.SetState(TaskState::Paused);
        }
    }
    if (failedForGood) {
        TellFailure(task);
    }
}

// Told with the lock released, and only for a task still in the list.
void Worker::TellFailure(const TaskRecord& task)
{
    std::string path;
    {
        auto guard = m_ctx.table.Lock();
        const int row = m_ctx.table.RowOf(task.taskId);
        if (row < 0) {
            return;
        }
        path = m_ctx.table.CopyOut(row)->saveAs;
    }
    m_ctx.completion.TaskFailed(path, m_failure);
}

}  // namespace dromo
