#include <gtest/gtest.h>

#include <QCoreApplication>

#include <filesystem>

#include "testservers.h"

int main(int argc, char** argv)
{
    const std::string base = dromo::test::UseFreshXdgFolders();
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(base);
    return result;
}
