// Every platform test runs with its own XDG folders and home in a fresh
// temporary folder, set before Qt first looks at them (QSettings and
// QStandardPaths remember them for the life of the process).

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <filesystem>

#include "testservers.h"

int main(int argc, char** argv)
{
    const std::string base = dromo::test::UseFreshXdgFolders();
    // D-Bus connections want an application object.
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(base);
    return result;
}
