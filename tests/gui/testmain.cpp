// GUI tests run on the offscreen platform with their own XDG folders.

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>

#include "tests/support/testservers.h"

int main(int argc, char** argv)
{
    const std::string base = dromo::test::UseFreshXdgFolders();
    // Screenshots may be taken on a real desktop (its style, its icon
    // theme); every other run is offscreen.
    setenv("QT_QPA_PLATFORM", "offscreen", std::getenv("DROMO_SCREENSHOTS") == nullptr ? 1 : 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(base);
    return result;
}
