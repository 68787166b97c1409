// GUI tests run on the offscreen platform with their own XDG folders.

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "dromo-gui-XXXXXX").string();
    const char* root = mkdtemp(pattern.data());
    if (root == nullptr) {
        return 2;
    }
    const std::filesystem::path base(root);
    for (const char* sub : {"config", "data", "home", "runtime"}) {
        std::filesystem::create_directories(base / sub);
    }
    std::filesystem::permissions(base / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_CONFIG_HOME", (base / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (base / "data").c_str(), 1);
    setenv("HOME", (base / "home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (base / "runtime").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(base);
    return result;
}
