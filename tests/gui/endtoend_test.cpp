// The program itself, offscreen, with a profile of two saved tasks that
// point at a local nginx: "Resume if Start" queues them, the workers fetch
// them, SIGTERM takes the end-of-session path and saves.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <chrono>
#include <thread>

#include "platform/settingsprofile.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

TEST(EndToEnd, SavedTasksResumeCompleteAndSurviveSigterm)
{
    test::TempDir www;
    test::TempDir downloads;
    const std::string a = test::RandomBytes(3 << 20, 11);
    const std::string b = test::RandomBytes(12345, 12);
    test::WriteFile(www.File("a.bin"), a);
    test::WriteFile(www.File("b.bin"), b);
    test::Nginx nginx(www.Path());

    const QString ini = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini";
    QFile::remove(ini);  // whatever an earlier test in this process saved
    {
        SettingsProfile profile(ini);
        profile.WriteInt("Settings", "Resume if Start", 1);
        profile.WriteInt("Settings", "Max Thread Number", 2);
        profile.WriteString("Settings", "Save to", downloads.Path() + "/");
        profile.WriteInt("Settings", "MRU Num", 2);
        int i = 0;
        for (const char* name : {"a.bin", "b.bin"}) {
            const std::string prefix = "URL" + std::to_string(i++) + "\\";
            profile.WriteString("URL", prefix + "Target", nginx.Url(std::string("/") + name));
            profile.WriteString("URL", prefix + "SaveTo", downloads.File(name));
            profile.WriteInt("URL", prefix + "Status", 2);
        }
        ASSERT_TRUE(profile.Flush());
    }

    test::ChildProcess dromo({DROMO_BIN});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (test::ReadFile(downloads.File("a.bin")) != a || test::ReadFile(downloads.File("b.bin")) != b) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the downloads did not complete";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // The files are whole before their tasks are done: wait for both in the history.
    const std::string historyFile =
        QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")).toStdString() + "/Dromo/history.htm";
    for (std::string h = test::ReadFile(historyFile);
         h.find("/a.bin\">") == std::string::npos || h.find("/b.bin\">") == std::string::npos;
         h = test::ReadFile(historyFile)) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the tasks were not recorded done";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(dromo.Terminate(10000), 0);

    SettingsProfile saved(ini);
    EXPECT_EQ(saved.GetInt("Settings", "MRU Num", -1), 2);
    EXPECT_EQ(saved.GetString("URL", "URL0\\Progress", ""), "100%");
    EXPECT_EQ(saved.GetString("URL", "URL1\\Progress", ""), "100%");
    EXPECT_EQ(saved.GetInt("URL", "URL0\\Status", 0), 8);
    const std::string history =
        test::ReadFile(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")).toStdString() + "/Dromo/history.htm");
    EXPECT_NE(history.find("/a.bin\">"), std::string::npos) << history;
    EXPECT_NE(history.find("/b.bin\">"), std::string::npos) << history;
    EXPECT_NE(history.find("<b>File Size </b>3072KB"), std::string::npos);
}

// A folder where the profile should be: Dromo starts, moves it aside
// untouched, and saves a fresh profile that only its owner can read.
TEST(EndToEnd, AnUnreadableProfileIsKeptAsideAndTheNewOneIsPrivate)
{
    const QString folder = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software";
    const QString ini = folder + "/Dromo.ini";
    QDir(folder).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(ini));
    test::WriteFile((ini + "/inside.txt").toStdString(), "the user's own");

    test::ChildProcess dromo({DROMO_BIN});
    QString aside;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (aside.isEmpty()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the profile was not moved aside";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const QStringList found = QDir(folder).entryList({"Dromo.ini.unreadable-*"}, QDir::Dirs | QDir::Files);
        aside = found.isEmpty() ? QString() : folder + "/" + found.front();
    }
    // SIGTERM is caught from before the profile is opened, and handled
    // once the window's loop runs: no need to wait for the window.
    EXPECT_EQ(dromo.Terminate(10000), 0);

    EXPECT_EQ(test::ReadFile((aside + "/inside.txt").toStdString()), "the user's own");
    const QFileInfo saved(ini);
    ASSERT_TRUE(saved.isFile());
    EXPECT_EQ(saved.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ReadOwner | QFile::WriteOwner),
              QFile::Permissions());
    EXPECT_EQ(SettingsProfile(ini).GetInt("Settings", "MRU Num", -1), 0);
}

}  // namespace
}  // namespace dromo
