#include "platform/desktopshell.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <chrono>
#include <thread>

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

}  // namespace
}  // namespace dromo
