// The real program tells the desktop of downloads that failed for good: a
// 404 (not retried) and a refused connection (retries used up), each once,
// naming the file and the reason, with nothing to open.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>

#include <chrono>
#include <thread>

#include "base/values/taskstate.h"
#include "platform/settingsprofile.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using Clock = std::chrono::steady_clock;

bool WaitFor(const std::function<bool()>& condition, int seconds = 30)
{
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::size_t Occurrences(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// The Notify calls of the log, one line each.
std::vector<std::string> NotifyLines(const std::string& log)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while ((at = log.find("Notify ", at)) != std::string::npos) {
        // A body may hold a line break: a call ends at the expiry time.
        const std::size_t end = log.find(" -1", at);
        lines.push_back(log.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? log.size() : end;
    }
    return lines;
}

// Whether the task list saved in the profile holds tasks, none of them
// queued, running or scheduled.
bool NoTaskLeftToRun(const QString& ini)
{
    SettingsProfile saved(ini);
    const int count = saved.GetInt("Settings", "MRU Num", 0);
    for (int i = 0; i < count; ++i) {
        const auto state = static_cast<TaskState>(saved.GetInt("URL", "URL" + std::to_string(i) + "\\Status", 0));
        if (state == TaskState::Queued || state == TaskState::Running || state == TaskState::Scheduled) {
            return false;
        }
    }
    return count > 0;
}

TEST(FailureNotices, EachFailureForGoodIsToldOnceWithItsReasonAndNoAction)
{
    test::PrivateSessionBus bus;
    test::TempDir dir;
    const std::string log = dir.File("notices.log");
    test::ChildProcess daemon({"/usr/bin/python3", "-m", "dbusmock", "--session", "--template", "notification_daemon",
                               "-p", R"({"capabilities": "body actions"})", "-l", log});
    QDBusConnection connection =
        QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), QStringLiteral("failurenotices"));
    ASSERT_TRUE(WaitFor(
        [&] { return connection.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications")); }));

    test::TempDir www;
    test::TempDir downloads;
    test::Nginx nginx(www.Path());
    const std::string missing = nginx.Url("/missing.iso");
    const std::string refused = "http://127.0.0.1:" + std::to_string(test::FreePort()) + "/refused.iso";
    const QString ini = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini";
    QFile::remove(ini);
    {
        SettingsProfile profile(ini);
        profile.WriteString("Settings", "Save to", downloads.Path() + "/");
        profile.WriteInt("Settings", "Max Thread Number", 2);
        profile.WriteInt("Settings", "Max Error Count", 1);
        profile.WriteInt("Settings", "Interval between Retries", 1);
        ASSERT_TRUE(profile.Flush());
    }
    test::ChildProcess dromo({DROMO_BIN, missing, refused});
    ASSERT_TRUE(WaitFor([&] {
        const std::string text = test::Exists(log) ? test::ReadFile(log) : "";
        return text.find("missing.iso") != std::string::npos && text.find("refused.iso") != std::string::npos;
    })) << (test::Exists(log) ? test::ReadFile(log) : "no notice at all");
    // A second notice of either could only follow another attempt: none
    // comes once the saved list has neither task left to run, and the exit
    // tells whatever notice is still pending.
    EXPECT_TRUE(WaitFor([&] { return NoTaskLeftToRun(ini); })) << (test::Exists(log) ? test::ReadFile(log) : "");
    EXPECT_EQ(dromo.Terminate(10000), 0);

    const std::string text = test::ReadFile(log);
    EXPECT_EQ(Occurrences(text, "missing.iso"), 1u) << text;
    EXPECT_EQ(Occurrences(text, "refused.iso"), 1u) << text;
    // Alone, the reason follows the name on a line of its own; in a burst
    // with the other, it stands beside the name.
    for (const auto& [name, reason] :
         {std::pair{"missing.iso", "Error 404"}, std::pair{"refused.iso", "Fail to connect to 127.0.0.1"}}) {
        EXPECT_TRUE(text.find(std::string(name) + "\n" + reason) != std::string::npos ||
                    text.find(std::string(name) + " (failed: " + reason) != std::string::npos)
            << name << ": " << text;
    }
    for (const std::string& call : NotifyLines(text)) {
        EXPECT_TRUE(call.find("\"Download failed\"") != std::string::npos ||
                    call.find("\"2 downloads failed\"") != std::string::npos)
            << call;
        EXPECT_NE(call.find(" [] {"), std::string::npos) << "no action on a failure: " << call;
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("failurenotices"));
}

}  // namespace
}  // namespace dromo
