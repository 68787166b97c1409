#include "base/download/downloadcore.h"

#include "base/commands/completion.h"
#include "base/storage/historypage.h"
#include "base/tasks/tasktable.h"

namespace dromo {

DownloadCore::DownloadCore(TaskTable& taskTable, const DownloadPorts& ports, CompletionPorts end)
    : DownloadCore(taskTable, ports, &end, nullptr, nullptr)
{
}

DownloadCore::DownloadCore(TaskTable& taskTable, const DownloadPorts& ports, CompletionActions& endActions,
                           HistoryWriter& historyWriter)
    : DownloadCore(taskTable, ports, nullptr, &endActions, &historyWriter)
{
}

// The one late binding of the machinery: workers call the task commands
// (the status panes, a finished task's row), and the commands start workers
// through the pool. The pool is given the commands built right after it;
// no worker starts before this constructor has ended.
DownloadCore::DownloadCore(TaskTable& taskTable, const DownloadPorts& ports, CompletionPorts* program,
                           CompletionActions* endActions, HistoryWriter* historyWriter)
    : table(taskTable),
      m_programCompletion(program ? std::make_unique<Completion>(table, settings.options, state, program->network,
                                                                 program->power, ports.shell, ports.messages,
                                                                 program->countdown, std::move(program->exitProgram))
                                  : nullptr),
      m_programHistory(program
                           ? std::make_unique<HistoryPage>(program->historyPath, table, settings.options, ports.clock)
                           : nullptr),
      completion(program ? *m_programCompletion : *endActions), history(program ? *m_programHistory : *historyWriter),
      progress(table, settings.options, state, ports.clock, ports.sound),
      pool(WorkerContext{table, state, settings.options, settings.proxies, ports.engines, progress, completion, history,
                         commands, ports.clock}),
      commands(table, settings.options, state, pool, completion, ports.messages, ports.shell, ports.observer),
      adder(table, settings, pool, ports.observer, ports.messages, ports.sound)
{
    table.SetObserver(&ports.observer);
}

DownloadCore::~DownloadCore()
{
    StopAndJoin();
}

void DownloadCore::StopAndJoin()
{
    if (m_joined) {
        return;  // the observer above may be gone by the second call
    }
    m_joined = true;
    state.stop = true;
    commands.AbortRunning();
    pool.StopAndJoin();
}

}  // namespace dromo
