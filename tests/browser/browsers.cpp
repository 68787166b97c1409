#include "tests/browser/browsers.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>

#include <chrono>
#include <filesystem>
#include <thread>

namespace dromo::test {

namespace fs = std::filesystem;

Chromium::Chromium(const std::string& downloads, const std::vector<std::string>& flags)
{
    std::string output;
    EXPECT_EQ(RunCommand({TESSARIN_BIN, "--register", "--user-data-dir", userData.Path()}, &output), 0) << output;
    fs::create_directories(userData.File("Default"));
    WriteFile(userData.File("Default/Preferences"), R"({"download":{"default_directory":")" + downloads +
                                                        R"(","prompt_for_download":false,"directory_upgrade":true}})");
    const int port = FreePort();
    const std::string extension = DROMO_SOURCE_DIR "/extension";
    std::vector<std::string> argv = {kChromium,
                                     "--headless=new",
                                     "--no-sandbox",
                                     "--disable-gpu",
                                     "--no-first-run",
                                     "--remote-debugging-port=" + std::to_string(port),
                                     "--user-data-dir=" + userData.Path(),
                                     "--load-extension=" + extension,
                                     "--disable-extensions-except=" + extension};
    argv.insert(argv.end(), flags.begin(), flags.end());
    argv.push_back("about:blank");
    process = std::make_unique<ChildProcess>(argv);
    EXPECT_TRUE(WaitForPort(port, 30000));
    cdp = "http://127.0.0.1:" + std::to_string(port);
}

FirefoxEsr::FirefoxEsr(const std::string& downloads, const std::string& prefs)
{
    std::string output;
    EXPECT_EQ(RunCommand({TESSARIN_BIN, "--register"}, &output), 0) << output;
    // The add-on as Firefox loads it: its own manifest beside the shared files.
    fs::copy_file(DROMO_SOURCE_DIR "/extension/firefox/manifest.json", extension.File("manifest.json"));
    for (const auto& file : fs::directory_iterator(DROMO_SOURCE_DIR "/extension")) {
        if (file.is_regular_file() && file.path().filename() != "manifest.json") {
            fs::copy_file(file.path(), extension.File(file.path().filename()));
        }
    }
    // Downloads go to the test's folder, without asking; nothing else is
    // fetched.
    WriteFile(profile.File("user.js"), "user_pref(\"browser.download.dir\", \"" + downloads +
                                           "\");\n"
                                           "user_pref(\"browser.download.folderList\", 2);\n"
                                           "user_pref(\"browser.download.useDownloadDir\", true);\n"
                                           "user_pref(\"browser.download.always_ask_before_handling_new_types\", "
                                           "false);\n"
                                           "user_pref(\"browser.download.alwaysOpenPanel\", false);\n"
                                           "user_pref(\"browser.download.open_pdf_attachments_inline\", false);\n"
                                           "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
                                           "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n"
                                           "user_pref(\"app.update.disabledForTesting\", true);\n" +
                                           prefs);
    const int port = FreePort();
    process = std::make_unique<ChildProcess>(
        std::vector<std::string>{kFirefox, "--headless", "--no-remote", "--profile", profile.Path(),
                                 "--remote-debugging-port=" + std::to_string(port), "about:blank"});
    EXPECT_TRUE(WaitForPort(port, 30000));
    bidi = "ws://127.0.0.1:" + std::to_string(port);
}

std::vector<std::string> FirefoxEsr::Driver(const std::vector<std::string>& args) const
{
    // Node.js has WebSocket built in from 22 on; 20 wants it asked for.
    std::vector<std::string> argv = {"node"};
    if (RunCommand({"node", "-e", "process.exit(typeof WebSocket === 'function' ? 0 : 1)"}) != 0) {
        argv.push_back("--experimental-websocket");
    }
    argv.insert(argv.end(), {kDriverDir + "/drive-firefox.mjs", bidi, extension.Path()});
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

std::unique_ptr<ChildProcess> StartDromo(QDBusConnection& bus, const std::vector<std::string>& env,
                                         const std::string& trace)
{
    std::vector<std::string> argv = {"/bin/sh", "-c",           "exec \"$@\" 2>>\"$0\"",
                                     trace,     "/usr/bin/env", "QT_QPA_PLATFORM=offscreen"};
    argv.insert(argv.end(), env.begin(), env.end());
    argv.push_back(DROMO_BIN);
    auto dromo = std::make_unique<ChildProcess>(argv);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!bus.interface()->isServiceRegistered(QStringLiteral("DROMO.URLMonitor")).value()) {
        if (std::chrono::steady_clock::now() > deadline || !dromo->Running()) {
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return dromo;
}

}  // namespace dromo::test
