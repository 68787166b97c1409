#pragma once

#include <memory>
#include <string>

#include "base/download/workercontext.h"
#include "base/tasks/tasktable.h"
#include "base/text/transferrequest.h"
#include "base/values/taskrecord.h"

namespace dromo {

class TransferEngine;
enum class TransferOutcome;

// One worker thread's procedure: take the first queued task, hand its
// settings to this worker's engine, run its attempts, end it, and look for
// the next, until the program stops or there are more workers than allowed.
class Worker {
public:
    explicit Worker(WorkerContext context) : m_ctx(context) {}

    // The whole life of the thread. The pool counted the worker before it
    // started; Run uncounts it at the end.
    void Run();

private:
    bool PickUp(TaskRecord& task);
    bool TakePasswordFromKeyring(TaskRecord& task);
    void Configure(const TaskRecord& task);
    void RunAttempts(TaskRecord& task);
    void TraceAttempt(const TaskRecord& task, int attempt) const;
    bool RetakeForRetry(TaskRecord& task);
    void Succeeded(TaskRecord& task);
    bool Transfer(TaskRecord& task);
    void TakeSavedAs(TaskRecord& task);
    void TakeAnnouncedMirrors(TaskRecord& task);
    void TakeFoundStream(TaskRecord& task);
    TaskState Failed(const TaskRecord& task, TransferOutcome outcome);
    std::string ShownFailure(TaskId taskId);
    void ExplainLostCookies(const TaskRecord& task, TransferOutcome outcome);
    bool WaitBeforeRetry(const TaskRecord& task, std::int64_t seconds);
    void EndTask(TaskRecord& task);
    void TellFailure(const TaskRecord& task);
    void UpdateStatus();
    bool LeaveIfSurplus();
    void HandBack(TaskRecord& task, TaskState state);
    // Under the lock: the worker has looked for its first task.
    void DoneStarting(const TaskTable::Guard& guard);

    WorkerContext m_ctx;
    std::shared_ptr<TransferEngine> m_engine;
    TransferRequest m_request;  // the task's, made as it was taken up, with the login chosen for it
    std::string m_failure;      // the engine's text for the last failed attempt
    bool m_starting = true;
    bool m_countedOut = false;
};

}  // namespace dromo
