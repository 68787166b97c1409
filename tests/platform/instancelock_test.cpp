#include "platform/instancelock.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/platformpaths.h"

namespace dromo {
namespace {

TEST(InstanceLock, OnlyOneHolderAtATime)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dromo.lock");
    {
        InstanceLock first(path);
        ASSERT_TRUE(first.TryAcquire());
        InstanceLock second(path);
        EXPECT_FALSE(second.TryAcquire());
        EXPECT_TRUE(first.TryAcquire());  // asking again keeps it
    }
    InstanceLock later(path);
    EXPECT_TRUE(later.TryAcquire());
}

TEST(InstanceLock, ALockLeftByADeadProcessIsTakenOver)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dromo.lock");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock crashed(path);
        _exit(crashed.TryAcquire() ? 0 : 1);  // no destructor: the lock file stays
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(path));
    InstanceLock next(path);
    EXPECT_TRUE(next.TryAcquire());
}

TEST(PlatformPaths, FoldersEndInASlashAndFollowXdg)
{
    const std::string data = qgetenv("XDG_DATA_HOME").toStdString();
    EXPECT_EQ(PlatformPaths::UserDataFolder(), data + "/Dromo/");
    EXPECT_EQ(PlatformPaths::RuntimeFolder(), qgetenv("XDG_RUNTIME_DIR").toStdString() + "/");
    for (const std::string& folder : {PlatformPaths::DownloadFolder(), PlatformPaths::ProgramDataFolder()}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(folder.back(), '/') << folder;
    }
}

}  // namespace
}  // namespace dromo
