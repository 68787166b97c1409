// The main of test programs that need Qt Core but no display: fresh XDG
// folders and home, set before Qt first looks at them (QSettings and
// QStandardPaths remember them for the life of the process), and an
// application object, which D-Bus connections want.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <filesystem>

#include "tests/support/testservers.h"

int main(int argc, char** argv)
{
    const std::string base = dromo::test::UseFreshXdgFolders();
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(base);
    return result;
}
