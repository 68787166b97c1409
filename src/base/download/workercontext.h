#pragma once

#include "base/tasks/guarded.h"
#include "base/values/globaloptions.h"
#include "base/values/proxylist.h"

namespace dromo {

class Clock;
class CompletionActions;
class EngineFactory;
class HistoryWriter;
class PasswordKeyring;
class ProgressSink;
class TaskCommands;
class TaskTable;
struct WorkerState;

// Everything a worker thread works with, built once by the program.
// GlobalOptions and the proxy list are read by workers under the task-table
// lock (they open only with its guard); whoever changes them takes that lock
// too.
struct WorkerContext {
    TaskTable& table;
    WorkerState& state;
    Guarded<const GlobalOptions> options;
    Guarded<const ProxyList> proxies;
    EngineFactory& engines;
    ProgressSink& progress;
    CompletionActions& completion;
    HistoryWriter& history;
    TaskCommands& commands;
    Clock& clock;
    PasswordKeyring* keyring = nullptr;  // asked for passwords it could not give at load; none: not asked
};

}  // namespace dromo
