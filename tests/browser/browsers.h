#pragma once

// Debian's Chromium and Firefox ESR, headless, with Tessarin loaded and its
// host registered, downloading into a folder of the test's without asking;
// and the real Dromo on the test's session bus. Drivers (drive.mjs over the
// DevTools protocol, drive-firefox.mjs over WebDriver BiDi) click in them.

#include <QDBusConnection>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/testservers.h"

namespace dromo::test {

constexpr const char* kChromium = "/usr/bin/chromium";
constexpr const char* kFirefox = "/usr/bin/firefox-esr";
inline const std::string kDriverDir = DROMO_SOURCE_DIR "/tests/browser";

// Chromium with the extension; `flags` go on its command line. Its DevTools
// address is in `cdp`.
struct Chromium {
    TempDir userData;
    std::string cdp;
    std::unique_ptr<ChildProcess> process;

    explicit Chromium(const std::string& downloads, const std::vector<std::string>& flags = {});
};

// Firefox ESR with its preferences in user.js (`prefs`: more user_pref
// lines); the add-on's folder, as Firefox loads it, is installed by the
// driver. Its WebDriver BiDi address is in `bidi`.
struct FirefoxEsr {
    TempDir extension;
    TempDir profile;
    std::string bidi;
    std::unique_ptr<ChildProcess> process;

    explicit FirefoxEsr(const std::string& downloads, const std::string& prefs = "");
    // The command line that runs drive-firefox.mjs with `args`.
    std::vector<std::string> Driver(const std::vector<std::string>& args) const;
};

// The real Dromo, owning its bus name on `bus` (nothing when it did not take
// it). `env` goes into its environment; its trace goes to `trace`.
std::unique_ptr<ChildProcess> StartDromo(QDBusConnection& bus, const std::vector<std::string>& env,
                                         const std::string& trace);

}  // namespace dromo::test
