// The program itself on screens of given sizes and scale factors: the main
// window opens where the profile says, fitted to the screen, and the end of
// the session saves the rectangle it had.

#include <gtest/gtest.h>

#include <QFile>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "platform/settingsprofile.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

// An environment variable set for the life of the object, then restored.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(MainWindowPlacement, TheRectangleTheUserLeftComesBackFittedToTheScreen)
{
    struct Case {
        const char* what;
        int screenWidth, screenHeight;  // physical pixels
        const char* scale;
        int left, top, right, bottom;                      // saved before the start
        int savedLeft, savedTop, savedRight, savedBottom;  // saved at the end
    };
    const Case cases[] = {
        {"1590 wide on a 1920 screen", 1920, 1080, "1", 100, 100, 1690, 800, 100, 100, 1690, 800},
        {"taller than a 1000-pixel screen at scale 2", 2000, 2000, "2", 100, 0, 900, 1200, 100, 0, 900, 1000},
        {"off a smaller screen", 1024, 768, "1", 600, 500, 1400, 1100, 224, 168, 1024, 768},
    };
    const std::string data = std::getenv("XDG_DATA_HOME");
    const std::string serviceFile = data + "/dbus-1/services/DROMO.URLMonitor.service";
    const QString ini = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini";
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string config = dir.File("screen.json");
        std::ofstream(config)
            << "{\"windowFrameMargins\": false, \"screens\": [{\"name\": \"one\", \"x\": 0, \"y\": 0, \"width\": "
            << c.screenWidth << ", \"height\": " << c.screenHeight << "}]}";
        QFile::remove(ini);
        {
            SettingsProfile profile(ini);
            profile.WriteInt("Settings", "MainWnd Left", c.left);
            profile.WriteInt("Settings", "MainWnd Top", c.top);
            profile.WriteInt("Settings", "MainWnd Right", c.right);
            profile.WriteInt("Settings", "MainWnd Bottom", c.bottom);
            ASSERT_TRUE(profile.Flush());
        }
        std::filesystem::remove(serviceFile);
        {
            ScopedEnv platform("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
            ScopedEnv scale("QT_SCALE_FACTOR", c.scale);
            test::ChildProcess dromo({DROMO_BIN});
            // The service file is written once the window is built.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!std::filesystem::exists(serviceFile)) {
                ASSERT_LT(std::chrono::steady_clock::now(), deadline) << c.what << ": Dromo did not start";
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            EXPECT_EQ(dromo.Terminate(10000), 0) << c.what;
        }
        SettingsProfile saved(ini);
        EXPECT_EQ(saved.GetInt("Settings", "MainWnd Left", -1), c.savedLeft) << c.what;
        EXPECT_EQ(saved.GetInt("Settings", "MainWnd Top", -1), c.savedTop) << c.what;
        EXPECT_EQ(saved.GetInt("Settings", "MainWnd Right", -1), c.savedRight) << c.what;
        EXPECT_EQ(saved.GetInt("Settings", "MainWnd Bottom", -1), c.savedBottom) << c.what;
    }
}

// Nothing saved: the first window is sized to the screen (three fifths of
// it, or what every column of the list needs, within nine tenths), not the
// classic 600 x 400 that left the status off to the right.
TEST(MainWindowPlacement, TheFirstWindowIsSizedToTheScreen)
{
    struct Case {
        const char* what;
        int screenWidth, screenHeight;
        int leastWidth, mostWidth, height;
    };
    const Case cases[] = {
        {"a 1920 screen", 1920, 1080, 1152, 1728, 648},
        {"a 1024 screen", 1024, 768, 614, 921, 460},
    };
    const std::string data = std::getenv("XDG_DATA_HOME");
    const std::string serviceFile = data + "/dbus-1/services/DROMO.URLMonitor.service";
    const QString ini = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini";
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string config = dir.File("screen.json");
        std::ofstream(config) << "{\"windowFrameMargins\": false, \"screens\": [{\"name\": \"one\", \"x\": 0, "
                                 "\"y\": 0, \"width\": "
                              << c.screenWidth << ", \"height\": " << c.screenHeight << "}]}";
        QFile::remove(ini);
        std::filesystem::remove(serviceFile);
        {
            ScopedEnv platform("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
            test::ChildProcess dromo({DROMO_BIN});
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!std::filesystem::exists(serviceFile)) {
                ASSERT_LT(std::chrono::steady_clock::now(), deadline) << c.what << ": Dromo did not start";
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            EXPECT_EQ(dromo.Terminate(10000), 0) << c.what;
        }
        SettingsProfile saved(ini);
        const int left = saved.GetInt("Settings", "MainWnd Left", -1);
        const int width = saved.GetInt("Settings", "MainWnd Right", -1) - left;
        EXPECT_GE(width, c.leastWidth) << c.what;
        EXPECT_LE(width, c.mostWidth) << c.what;
        EXPECT_EQ(left, (c.screenWidth - width) / 2) << c.what << ": centred";
        EXPECT_EQ(saved.GetInt("Settings", "MainWnd Bottom", -1) - saved.GetInt("Settings", "MainWnd Top", -1),
                  c.height)
            << c.what;
    }
}

// Maximised when it ended, maximised when it starts: the program keeps
// "MainWnd Maximized" and the normal rectangle to come back to. Any value
// but 0 reads as maximised; an end writes 1 only for a window that was.
TEST(MainWindowPlacement, AMaximisedWindowStaysMaximisedFromOneRunToTheNext)
{
    const std::string data = std::getenv("XDG_DATA_HOME");
    const std::string serviceFile = data + "/dbus-1/services/DROMO.URLMonitor.service";
    const QString ini = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini";
    QFile::remove(ini);
    {
        SettingsProfile profile(ini);
        const std::pair<const char*, int> values[] = {{"MainWnd Left", 120},
                                                      {"MainWnd Top", 90},
                                                      {"MainWnd Right", 620},
                                                      {"MainWnd Bottom", 390},
                                                      {"MainWnd Maximized", 2}};
        for (auto [name, value] : values) {
            profile.WriteInt("Settings", name, value);
        }
        ASSERT_TRUE(profile.Flush());
    }
    for (int run = 0; run < 2; ++run) {
        std::filesystem::remove(serviceFile);
        test::ChildProcess dromo({DROMO_BIN});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!std::filesystem::exists(serviceFile)) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "Dromo did not start";
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_EQ(dromo.Terminate(10000), 0);
        SettingsProfile saved(ini);
        EXPECT_EQ(saved.GetInt("Settings", "MainWnd Maximized", -1), 1) << "run " << run;
        EXPECT_EQ(saved.GetInt("Settings", "MainWnd Left", -1), 120) << "run " << run;
        EXPECT_EQ(saved.GetInt("Settings", "MainWnd Right", -1), 620) << "run " << run;
    }
}

}  // namespace
}  // namespace dromo
