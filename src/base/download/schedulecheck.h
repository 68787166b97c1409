#pragma once

namespace dromo {

class Clock;
class CompletionActions;
class TaskTable;
class WorkerStarter;

// Once a second: starts scheduled tasks at their minute and cuts off
// scheduled runs whose duration has passed.
class ScheduleCheck {
public:
    ScheduleCheck(TaskTable& table, Clock& clock, WorkerStarter& starter, CompletionActions& completion);
    void Run();

private:
    TaskTable& m_table;
    Clock& m_clock;
    WorkerStarter& m_starter;
    CompletionActions& m_completion;
};

}  // namespace dromo
