#include "base/commands/taskcommands.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/base/fakes/rig.h"

namespace dromo {
namespace {

using test::Rig;

// A rig whose rows are in the given states; no worker runs them.
struct Table {
    Rig rig;
    std::shared_ptr<test::ScriptedEngine> engine =
        std::make_shared<test::ScriptedEngine>(rig.engines.script, rig.progress);

    explicit Table(std::initializer_list<TaskState> states)
    {
        for (TaskState s : states) {
            TaskRecord r;
            r.SetState(s);
            r.saveAs = "/dl/f" + std::to_string(rig.table.Count());
            if (s == TaskState::Running) {
                r.engine = engine;
            }
            rig.table.Append(r, TaskRow{});
        }
        // Resume's StartWorkerIfAllBusy must not start real workers here.
        rig.options.maxThreadNumber = 0;
    }
    std::vector<TaskState> States()
    {
        std::vector<TaskState> out;
        for (int row = 0; row < rig.table.Count(); ++row) {
            out.push_back(rig.StateOf(row));
        }
        return out;
    }
};

TEST(TaskCommands, ResumeQueuesOnlyWhatIsNotRunning)
{
    Table t{TaskState::Running, TaskState::Paused, TaskState::Error, TaskState::Scheduled, TaskState::Done};
    TaskTableTestAccess::WriteBack(t.rig.table, 3, [&] {
        auto r = t.rig.Task(3);
        r.scheduled = 1;
        return r;
    }());
    t.rig.commands.Resume({0, 1, 2, 3, 4});
    EXPECT_EQ(t.States(), (std::vector<TaskState>{TaskState::Running, TaskState::Queued, TaskState::Queued,
                                                  TaskState::Queued, TaskState::Done}));
    EXPECT_EQ(t.rig.Task(3).scheduled, 0);
    EXPECT_EQ(t.rig.RowImage(1), kImageQueued);
    EXPECT_EQ(t.rig.observer.pane2, "3 tasks is in queue");
}

TEST(TaskCommands, StopPausesAndAbortsAndClearsSchedules)
{
    Table t{TaskState::Running, TaskState::Queued, TaskState::Error, TaskState::Scheduled, TaskState::Done};
    auto r = t.rig.Task(3);
    r.scheduled = 1;
    TaskTableTestAccess::WriteBack(t.rig.table, 3, r);
    t.rig.commands.Stop({0, 1, 2, 3, 4});
    EXPECT_EQ(t.States(), (std::vector<TaskState>{TaskState::Running, TaskState::Paused, TaskState::Paused,
                                                  TaskState::Paused, TaskState::Done}));
    EXPECT_EQ(t.rig.Task(3).scheduled, 0);
    EXPECT_EQ(t.rig.RowImage(3), kImagePaused);
    EXPECT_EQ(t.rig.engines.script.Calls(), std::vector<std::string>{"Abort"});
}

TEST(TaskCommands, DeleteStopsAtARunningTask)
{
    Table t{TaskState::Paused, TaskState::Running, TaskState::Done};
    EXPECT_EQ(t.rig.commands.Delete({0, 1, 2}), 1);
    EXPECT_EQ(t.rig.messages.shown, std::vector<std::string>{"The selected task is running, stop it first."});
    EXPECT_EQ(t.States(), (std::vector<TaskState>{TaskState::Running, TaskState::Done}));
    EXPECT_EQ(t.rig.completion.Count("check"), 0);  // a deletion never triggers the completion check
    // The map follows: task 1 is now in row 0, task 2 in row 1, task 0 is gone.
    EXPECT_EQ(t.rig.table.RowOf(1), 0);
    EXPECT_EQ(t.rig.table.RowOf(2), 1);
    EXPECT_EQ(t.rig.table.RowOf(0), -1);
    // Commands name tasks, not rows: task 1 runs and stays, task 2 goes.
    EXPECT_EQ(t.rig.commands.Delete({2}), 1);
    EXPECT_EQ(t.rig.table.Count(), 1);
    EXPECT_EQ(t.rig.table.RowOf(1), 0);
}

TEST(TaskCommands, TasksAreFoundWhereTheyAreWhenTheCommandRuns)
{
    // Rows shown to the user lag the table: a task named by a command may
    // have moved up, or gone, since. Each case removes task 0 first (as a
    // worker does with a finished task), then runs a command on task ids.
    struct Case {
        const char* what;
        std::function<void(TaskCommands&)> run;
        std::vector<TaskState> after;  // tasks 1..3
        int count;
    };
    const Case cases[] = {
        {"delete task 2",
         [](TaskCommands& c) { EXPECT_EQ(c.Delete({2}), 1); },
         {TaskState::Paused, TaskState::Paused},
         2},
        {"delete the gone task",
         [](TaskCommands& c) { EXPECT_EQ(c.Delete({0}), 0); },
         {TaskState::Paused, TaskState::Paused, TaskState::Paused},
         3},
        {"delete twice",
         [](TaskCommands& c) {
             c.Delete({1});
             EXPECT_EQ(c.Delete({1}), 0);
         },
         {TaskState::Paused, TaskState::Paused},
         2},
        {"resume task 3",
         [](TaskCommands& c) { c.Resume({3}); },
         {TaskState::Paused, TaskState::Paused, TaskState::Queued},
         3},
        {"stop task 1 among gone ones",
         [](TaskCommands& c) {
             c.Resume({1, 2});
             c.Stop({0, 1, 7});
         },
         {TaskState::Paused, TaskState::Queued, TaskState::Paused},
         3},
    };
    for (const Case& c : cases) {
        Table t{TaskState::Done, TaskState::Paused, TaskState::Paused, TaskState::Paused};
        t.rig.commands.RemoveTaskRow(0, true);
        c.run(t.rig.commands);
        EXPECT_EQ(t.rig.table.Count(), c.count) << c.what;
        std::vector<TaskState> states;
        for (int taskId = 1; taskId <= 3; ++taskId) {
            if (t.rig.table.RowOf(taskId) >= 0) {
                states.push_back(t.rig.StateOf(t.rig.table.RowOf(taskId)));
            }
        }
        EXPECT_EQ(states, c.after) << c.what;
    }
}

TEST(TaskCommands, OpenAndDoubleClick)
{
    Table t{TaskState::Done, TaskState::Running, TaskState::Paused};
    t.rig.commands.DoubleClick(0);
    t.rig.commands.DoubleClick(1);
    t.rig.commands.DoubleClick(2);
    t.rig.commands.DoubleClick(-1);  // empty space
    t.rig.commands.Open(2);
    t.rig.shell.result = false;
    t.rig.commands.Open(0);
    EXPECT_EQ(t.rig.shell.opened, (std::vector<std::string>{"/dl/f0", "/dl/f0"}));
    EXPECT_EQ(t.rig.messages.shown,
              (std::vector<std::string>{"This file is being downloaded, you cannot open it now.",
                                        "This file is not downloaded completely, you had better leave it alone.",
                                        "This file is not downloaded completely, you had better leave it alone.",
                                        "File not found or moved"}));
}

TEST(TaskCommands, EnablingRules)
{
    Table t{TaskState::Running, TaskState::Paused, TaskState::Done, TaskState::Queued};
    struct Case {
        CommandId id;
        std::vector<int> selection;
        int clicked;
        bool enabled;
    };
    const Case cases[] = {
        {CommandId::Resume, {0}, 0, false},
        {CommandId::Resume, {0, 1}, 0, true},
        {CommandId::Stop, {1, 2}, 1, false},
        {CommandId::Stop, {3}, 3, true},
        {CommandId::StopAll, {}, -1, true},
        {CommandId::DeleteSelected, {}, -1, false},
        {CommandId::DeleteSelected, {2}, 2, true},
        {CommandId::SelectAll, {}, -1, true},
        {CommandId::SelectAllInProgress, {}, -1, true},
        {CommandId::Properties, {1}, 1, true},
        {CommandId::Properties, {0}, 0, false},
        {CommandId::Properties, {1, 2}, 1, false},
        {CommandId::Properties, {1}, 9, false},
        {CommandId::Open, {2}, 2, true},
        {CommandId::Open, {1}, 1, false},
        {CommandId::SaveDownloadList, {}, -1, false},
        {CommandId::LoadDownloadList, {}, -1, true},
        {CommandId::HangUpWhenDone, {}, -1, false},
        {CommandId::ShutDownWhenDone, {}, -1, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t.rig.commands.Enabled(c.id, c.selection, c.clicked), c.enabled) << static_cast<int>(c.id);
    }
    EXPECT_EQ(t.rig.commands.RunningTaskIds(), std::vector<int>{0});

    Table empty{};
    EXPECT_FALSE(empty.rig.commands.Enabled(CommandId::SelectAll, {}, -1));
    EXPECT_FALSE(empty.rig.commands.Enabled(CommandId::StopAll, {}, -1));
    EXPECT_TRUE(empty.rig.commands.Enabled(CommandId::LoadDownloadList, {}, -1));
}

TEST(TaskCommands, TogglesFlipTheirOption)
{
    Table t{};
    t.rig.options.modemConnection = true;
    EXPECT_TRUE(t.rig.commands.Enabled(CommandId::HangUpWhenDone, {}, -1));
    for (CommandId id : {CommandId::GridLine, CommandId::ShutDownWhenDone, CommandId::HangUpWhenDone}) {
        EXPECT_FALSE(t.rig.commands.Checked(id));
        EXPECT_TRUE(t.rig.commands.Toggle(id));
        EXPECT_TRUE(t.rig.commands.Checked(id));
    }
    EXPECT_TRUE(t.rig.commands.Checked(CommandId::AutoDialUp));  // "Redial if Disconnected" defaults on
}

// A power action is switched on only when the user confirms it; switching
// it off, and the other toggles, ask nothing.
TEST(TaskCommands, APowerActionIsSwitchedOnOnlyWhenConfirmed)
{
    for (CommandId id : {CommandId::ShutDownWhenDone, CommandId::HangUpWhenDone}) {
        for (bool answer : {false, true}) {
            Table t{};
            t.rig.messages.answer = answer;
            EXPECT_EQ(t.rig.commands.Toggle(id), answer);
            EXPECT_EQ(t.rig.commands.Checked(id), answer);
            ASSERT_EQ(t.rig.messages.shown.size(), 1u);
            EXPECT_EQ(t.rig.messages.shown[0], TaskCommands::PowerActionQuestion(id));
            t.rig.commands.Toggle(id);  // off without a word, or asked again and still refused
            EXPECT_FALSE(t.rig.commands.Checked(id));
            EXPECT_EQ(t.rig.messages.shown.size(), answer ? 1u : 2u) << "asked only to switch on";
        }
    }
    Table t{};
    t.rig.messages.answer = false;
    for (CommandId id : {CommandId::GridLine, CommandId::AutoDialUp}) {
        const bool before = t.rig.commands.Checked(id);
        EXPECT_TRUE(t.rig.commands.Toggle(id));
        EXPECT_NE(t.rig.commands.Checked(id), before);
        EXPECT_EQ(TaskCommands::PowerActionQuestion(id), nullptr);
    }
    EXPECT_TRUE(t.rig.messages.shown.empty());
}

TEST(TaskCommands, RemoveTaskRowFollowsForceAndTheOption)
{
    for (int deleteIfDone : {0, 1}) {
        Table t{TaskState::Done, TaskState::Done};
        t.rig.options.deleteIfDone = deleteIfDone;
        t.rig.commands.RemoveTaskRow(0, false);
        EXPECT_EQ(t.rig.table.Count(), deleteIfDone ? 1 : 2);
        EXPECT_EQ(t.rig.completion.Count("check"), 1);
        t.rig.commands.RemoveTaskRow(1, true);
        EXPECT_EQ(t.rig.table.Count(), deleteIfDone ? 0 : 1);
        EXPECT_EQ(t.rig.completion.Count("check"), 1);  // not for a forced removal
    }
}

}  // namespace
}  // namespace dromo
