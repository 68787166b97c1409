// GUI tests run on the offscreen platform with their own XDG folders.

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>

#include "testservers.h"

int main(int argc, char** argv)
{
    const std::string base = dromo::test::UseFreshXdgFolders();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(base);
    return result;
}
