#include "platform/desktopshell.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <chrono>
#include <thread>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "tests/support/testservers.h"

namespace dromo {
namespace {

// The scanner gets the file's path as one argument, however it is named:
// blanks and shell characters reach it unchanged and run nothing.
TEST(DesktopShell, StartsAProgramWithItsArgumentsUntouched)
{
    test::TempDir dir;
    const std::string script = dir.File("scanner.sh");
    test::WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" + dir.File("args") +
                                ".tmp\"\nmv \"" + dir.File("args") + ".tmp\" \"" + dir.File("args") + "\"\n");
    chmod(script.c_str(), 0755);
    const std::string nasty = dir.File("my file; touch pwned $(touch pwned2) `x` 'q'.zip");
    DesktopShell shell;
    ASSERT_TRUE(shell.Start(script, {nasty, "--infected", "--log=a b"}));
    for (int i = 0; i < 500 && !test::Exists(dir.File("args")); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(test::ReadFile(dir.File("args")), nasty + "\n--infected\n--log=a b\n");
    EXPECT_FALSE(test::Exists("pwned"));
    EXPECT_FALSE(test::Exists("pwned2"));
    EXPECT_FALSE(shell.Start(dir.File("no-such-scanner"), {"x"}));
    EXPECT_FALSE(shell.Start("", {}));
}

TEST(DesktopShell, AMissingFileIsNotOpened)
{
    DesktopShell shell;
    EXPECT_FALSE(shell.Open("/nonexistent/history.htm"));
}

// The guide's page goes to xdg-open, and its exit status is heard: a
// desktop that finds no program for the page (status 3) or no xdg-open at
// all is told back once, a shown page is not; a missing page fails at once.
TEST(DesktopShell, APageNoProgramCanShowIsToldBack)
{
    test::TempDir dir;
    const std::string page = dir.File("guide.html");
    test::WriteFile(page, "<html></html>");
    const QByteArray path = qgetenv("PATH");
    struct Case {
        const char* opener;  // the xdg-open on PATH; nullptr for none
        std::string asked;
        bool told;
    };
    const Case cases[] = {
        {"exit 0", page + "#keys", false},
        {"exit 3", page, true},
        {nullptr, page, true},
        {"exit 0", dir.File("missing.html"), true},
    };
    for (const Case& c : cases) {
        test::TempDir bin;
        if (c.opener != nullptr) {
            const std::string script = bin.File("xdg-open");
            test::WriteFile(script,
                            "#!/bin/sh\nprintf '%s' \"$1\" > \"" + bin.File("asked") + "\"\n" + c.opener + "\n");
            chmod(script.c_str(), 0755);
        }
        qputenv("PATH", QByteArray::fromStdString(bin.Path()));
        DesktopShell shell;
        int told = 0;
        bool over = false;
        shell.OpenPage(c.asked, [&] { ++told; });
        // Over once the failure is told, or xdg-open was asked and said yes;
        // the bound is for a hang only.
        QElapsedTimer clock;
        clock.start();
        while (!over && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            // The shell makes the file before it writes the page into it.
            over =
                told > 0 || (!c.told && test::Exists(bin.File("asked")) && !test::ReadFile(bin.File("asked")).empty());
        }
        qputenv("PATH", path);
        EXPECT_EQ(told, c.told ? 1 : 0) << c.asked << " " << (c.opener ? c.opener : "(no xdg-open)");
        if (c.opener != nullptr && !c.told) {
            EXPECT_EQ(test::ReadFile(bin.File("asked")), "file://" + page + "#keys");
        }
    }
}

}  // namespace
}  // namespace dromo
