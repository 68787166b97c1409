// Notices, the idle inhibitor and "show in folder" against python3-dbusmock's
// notification daemon, logind and a file manager on a private bus, driven
// through the watch of the task table as the program drives them.

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMessage>

#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/values/globaloptions.h"
#include "base/view/desktopwatch.h"
#include "platform/desktopnotifier.h"
#include "platform/desktopshell.h"
#include "platform/logindinhibitor.h"
#include "tests/platform/mockbus.h"

namespace dromo {
namespace {

struct RecordingShell : Shell {
    std::vector<std::string> calls;
    bool Open(const std::string& path) override
    {
        calls.push_back("open " + path);
        return true;
    }
    bool Start(const std::string&, const std::vector<std::string>&) override { return false; }
    bool ShowItem(const std::string& path) override
    {
        calls.push_back("show " + path);
        return true;
    }
};

struct NoInhibitor : SleepInhibitor {
    void Take() override {}
    void Release() override {}
};

struct NoNotices : Notifications {
    void Show(const DesktopNotice&) override {}
};

std::size_t Occurrences(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

class Desktop : public test::MockBus {
protected:
    TaskTable table;
    WorkerState workers;
    GlobalOptions options;
    RecordingShell shell;
    test::TempDir dir;
    std::string log = dir.File("calls.log");

    std::string Log() { return test::Exists(log) ? test::ReadFile(log) : ""; }
    int Add(TaskState state)
    {
        TaskRecord task;
        task.SetState(state);
        table.Append(task, TaskRow{});
        return table.Count() - 1;
    }
    // Logind's inhibitors as "what who why mode" lines.
    std::vector<std::string> Inhibitors()
    {
        const QDBusMessage reply = m_bus->call(QDBusMessage::createMethodCall(
            "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "ListInhibitors"));
        std::vector<std::string> lines;
        if (reply.type() != QDBusMessage::ReplyMessage) {
            return {"no reply"};
        }
        const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            QString what, who, why, mode;
            uint uid = 0, pid = 0;
            list.beginStructure();
            list >> what >> who >> why >> mode >> uid >> pid;
            list.endStructure();
            lines.push_back((what + " " + who + " " + why + " " + mode).toStdString());
        }
        list.endArray();
        return lines;
    }
};

// Ten files finishing together are one Notify call; a single one names its
// file, offers Open and Open Folder, and Open Folder goes to the shell.
TEST_F(Desktop, OneNoticePerBurstAndItsActionShowsTheFile)
{
    Mock("notification_daemon", "org.freedesktop.Notifications",
         {"-p", R"({"capabilities": "body body-markup actions"})", "-l", log});
    DesktopNotifier notifier(shell, *m_bus);
    NoInhibitor inhibitor;
    DesktopWatch watch(table, workers, options, notifier, inhibitor);
    watch.Poll(0);
    for (int i = 0; i < 10; ++i) {
        watch.Finished("/dl/part " + std::to_string(i) + ".zip");
    }
    watch.Poll(100);
    watch.Poll(100 + DesktopWatch::kQuietMs);
    ASSERT_TRUE(WaitFor([&] { return Log().find("Notify") != std::string::npos; })) << Log();
    EXPECT_NE(Log().find("\"Dromo\" 0 \"dromo\" \"10 downloads finished\" \"part 0.zip\npart 1.zip"), std::string::npos)
        << Log();
    EXPECT_NE(Log().find(R"(["folder", "Open Folder"])"), std::string::npos) << Log();

    watch.Finished("/dl/R&D <notes>.pdf");
    watch.Poll(20000);
    watch.Poll(20000 + DesktopWatch::kQuietMs);
    ASSERT_TRUE(WaitFor([&] { return Occurrences(Log(), "Notify") == 2; })) << Log();
    // The second call is the single file's: the burst was one call.
    EXPECT_NE(
        Log().find(R"("Download finished" "R&amp;D &lt;notes&gt;.pdf" ["open", "Open", "folder", "Open Folder"])"),
        std::string::npos)
        << Log();

    // The server numbers its notices from 1: the single file's is 2. The
    // click may come before the notifier has read Notify's answer (the
    // user is never that quick): it is ignored then, so click again.
    QDBusMessage action = QDBusMessage::createMethodCall(
        "org.freedesktop.Notifications", "/org/freedesktop/Notifications", "org.freedesktop.DBus.Mock", "EmitSignal");
    action << "org.freedesktop.Notifications"
           << "ActionInvoked"
           << "us" << QVariantList{QVariant::fromValue(uint(2)), QStringLiteral("folder")};
    for (int click = 0; click < 100 && shell.calls.empty(); ++click) {
        ASSERT_EQ(m_bus->call(action).type(), QDBusMessage::ReplyMessage);
        int turns = 0;
        WaitFor([&] { return !shell.calls.empty() || ++turns > 10; });
    }
    EXPECT_EQ(shell.calls, std::vector<std::string>{"show /dl/R&D <notes>.pdf"});
}

// A server without actions gets none; a failure names the file and offers
// nothing to open.
TEST_F(Desktop, NoActionsWhereTheServerHasNone)
{
    Mock("notification_daemon", "org.freedesktop.Notifications", {"-p", R"({"capabilities": "body"})", "-l", log});
    DesktopNotifier notifier(shell, *m_bus);
    notifier.Show(DesktopNotice{"Download finished", "a<b.zip", "/dl/a<b.zip", true});
    notifier.Show(DesktopNotice{"Download failed", "c.iso", "", false});
    ASSERT_TRUE(WaitFor([&] { return Occurrences(Log(), "Notify") == 2; })) << Log();
    EXPECT_NE(Log().find(R"("Download finished" "a<b.zip" [] {)"), std::string::npos) << Log();
    EXPECT_NE(Log().find(R"("Download failed" "c.iso" [] {)"), std::string::npos) << Log();
}

// Logind's idle inhibitor is held while a task runs, let go when it ends
// and at exit.
TEST_F(Desktop, TheInhibitorIsHeldWhileATaskRunsAndLetGoAfter)
{
    Mock("logind", "org.freedesktop.login1");
    LogindInhibitor inhibitor(*m_bus);
    NoNotices notices;
    DesktopWatch watch(table, workers, options, notices, inhibitor);
    const int task = Add(TaskState::Running);
    watch.Poll(0);
    const std::vector<std::string> held{"idle Dromo Downloading files block"};
    ASSERT_TRUE(WaitFor([&] { return Inhibitors() == held; })) << Inhibitors().size();
    table.SetState(task, TaskState::Done);
    watch.Poll(500);
    ASSERT_TRUE(WaitFor([&] { return Inhibitors().empty(); }));
    table.SetState(task, TaskState::Running);
    watch.Poll(1000);
    ASSERT_TRUE(WaitFor([&] { return Inhibitors() == held; }));
    watch.End();
    ASSERT_TRUE(WaitFor([&] { return Inhibitors().empty(); }));
}

// Without any of the services: nothing is shown, held or opened, and
// nothing fails.
TEST_F(Desktop, WithoutTheServicesNothingHappens)
{
    DesktopNotifier notifier(shell, *m_bus);
    LogindInhibitor inhibitor(*m_bus);
    notifier.Show(DesktopNotice{"Download finished", "a.zip", "/dl/a.zip", true});
    inhibitor.Take();
    // The bus answers both calls with an error; let the answers arrive.
    int pings = 0;
    ASSERT_TRUE(WaitFor([&] { return ++pings > 20; }));
    EXPECT_FALSE(inhibitor.Holding());
    inhibitor.Release();
    EXPECT_TRUE(shell.calls.empty());
}

// "Show in folder" asks the file manager for the file's URL; a file that
// is not there is refused at once.
TEST_F(Desktop, ShowItemAsksTheFileManager)
{
    MockService(
        {"-l", log, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1"},
        "org.freedesktop.FileManager1");
    QDBusMessage add = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                                      "org.freedesktop.DBus.Mock", "AddMethod");
    add << ""
        << "ShowItems"
        << "ass"
        << ""
        << "";
    ASSERT_EQ(m_bus->call(add).type(), QDBusMessage::ReplyMessage);
    const std::string file = dir.File("my file #1.zip");
    test::WriteFile(file, "x");
    DesktopShell desktop(*m_bus);
    EXPECT_FALSE(desktop.ShowItem(dir.File("missing.zip")));
    EXPECT_TRUE(desktop.ShowItem(file));
    ASSERT_TRUE(WaitFor([&] { return Log().find("ShowItems") != std::string::npos; }));
    EXPECT_NE(Log().find("ShowItems [\"file://" + dir.Path() + "/my%20file%20%231.zip\"] \"\""), std::string::npos)
        << Log();
}

}  // namespace
}  // namespace dromo
