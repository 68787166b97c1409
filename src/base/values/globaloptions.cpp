#include "base/values/globaloptions.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace dromo {
namespace {

using G = GlobalOptions;

// Value names are the profile's and must not change.
constexpr std::array kIntOptions = {
    IntOption{.name = "Max Speed Value", .field = &G::maxSpeedValue},
    IntOption{.name = "Max Error Count", .field = &G::maxErrorCount},
    IntOption{.name = "Interval between Retries", .field = &G::retryInterval},
    IntOption{.name = "Max Idle Time", .field = &G::maxIdleTime},
    IntOption{.name = "Refresh Rate", .field = &G::refreshRate},
    IntOption{.name = "PASV Mode", .field = &G::pasvMode},
    IntOption{.name = "Enable Proxy", .field = &G::enableProxy},
    IntOption{.name = "Enable Cookie", .field = &G::enableCookie},
    IntOption{.name = "Enable Category", .field = &G::enableCategory},
    IntOption{.name = "Enable Security", .field = &G::enableSecurity},
    IntOption{.name = "Enable Schedule", .field = &G::enableSchedule},
    IntOption{.name = "Duration", .field = &G::duration},
    IntOption{.name = "Until Finished", .field = &G::untilFinished},
    IntOption{.name = "Max Thread Number", .field = &G::maxThreadNumber},
    IntOption{.name = "Resume if Start", .field = &G::resumeIfStart, .flag = true},
    IntOption{.name = "Delete from List if Done", .field = &G::deleteIfDone, .flag = true},
    IntOption{.name = "Hangup if Done", .field = &G::hangupIfDone, .flag = true},
    IntOption{.name = "ShutDown if Done", .field = &G::shutDownIfDone, .flag = true},
    IntOption{.name = "Redial if Disconnected", .field = &G::redialIfDisconnected, .flag = true},
    IntOption{.name = "Popup Dialog", .field = &G::popupDialog},
    IntOption{.name = "Enable Log", .field = &G::enableLog, .flag = true},
    IntOption{.name = "Max History Item", .field = &G::maxHistoryItem},
    IntOption{.name = "Allow Multi Instance", .field = &G::allowMultiInstance, .flag = true},
    IntOption{.name = "Start as", .field = &G::startAs},
    IntOption{.name = "Enable Sound", .field = &G::enableSound},
    IntOption{.name = "Enable Virus Check", .field = &G::enableVirusCheck},
    IntOption{.name = "Text Color", .field = &G::textColor},
    IntOption{.name = "Show Grid Line", .field = &G::showGridLine},
    IntOption{.name = "Background Type", .field = &G::backgroundType},
    IntOption{.name = "Background Image Tiled", .field = &G::backgroundImageTiled},
    IntOption{.name = "DropBasket X", .field = &G::dropBasketX},
    IntOption{.name = "DropBasket Y", .field = &G::dropBasketY},
    IntOption{.name = "SpeedBar X", .field = &G::speedBarX},
    IntOption{.name = "SpeedBar Y", .field = &G::speedBarY},
    IntOption{.name = "Show DropBasket", .field = &G::showDropBasket, .flag = true},
    IntOption{.name = "Show Speed Bar", .field = &G::showSpeedBar, .flag = true},
    IntOption{.name = "Capture Clicks in IE", .field = &G::captureClicksInIE, .capture = true},
    IntOption{.name = "Capture Clicks in NV", .field = &G::captureClicksInNV, .capture = true},
    IntOption{.name = "Capture All FTP", .field = &G::captureAllFtp, .capture = true},
    IntOption{.name = "Start with Browser", .field = &G::startWithBrowser, .capture = true},
    // Desktop integration, newer than the classic values.
    IntOption{.name = "Notify when Done", .field = &G::notifyWhenDone, .flag = true},
    IntOption{.name = "Keep Awake While Downloading", .field = &G::keepAwake, .flag = true},
    IntOption{.name = "Text Color Chosen", .field = &G::textColorChosen, .flag = true},
    // Segmented downloads, newer still.
    IntOption{.name = "Connections per Task", .field = &G::connectionsPerTask},
    IntOption{.name = "Watch Clipboard", .field = &G::watchClipboard, .flag = true},
    IntOption{.name = "Require TLS for FTP", .field = &G::requireFtpTls, .flag = true},
};

constexpr std::array kTextOptions = {
    TextOption{.name = "Save to", .field = &G::saveTo},
    TextOption{.name = "Username", .field = &G::username},
    TextOption{.name = "Auto Save", .field = &G::autoSave},
    TextOption{.name = "User Agent", .field = &G::userAgent},
    TextOption{.name = "Http Version", .field = &G::httpVersion},
    TextOption{.name = "Schedule Start at", .field = &G::scheduleStartAt},
    TextOption{.name = "Sound of Add File", .field = &G::soundAddFile},
    TextOption{.name = "Sound of Start Download", .field = &G::soundStartDownload},
    TextOption{.name = "Sound of Job Done", .field = &G::soundJobDone},
    TextOption{.name = "Sound of Sth Wrong", .field = &G::soundSthWrong},
    TextOption{.name = "Virus Scanner", .field = &G::virusScanner},
    TextOption{.name = "Virus Scanner Parameters", .field = &G::virusScannerParameters},
    TextOption{.name = "Background Image Path", .field = &G::backgroundImagePath},
    TextOption{.name = "Capture File Types", .field = &G::captureFileTypes, .capture = true},
};

}  // namespace

GlobalOptions GlobalOptions::Defaults(const PlatformDefaults& platform)
{
    GlobalOptions options;
    options.saveTo = platform.downloadFolder;
    options.backgroundImagePath = platform.programDataFolder + "backgrnd.gif";
    return options;
}

std::span<const IntOption> IntOptions()
{
    return kIntOptions;
}

std::span<const TextOption> TextOptions()
{
    return kTextOptions;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::int32_t ClampConnections(std::int32_t connections)
{
    return std::clamp(connections, kMinConnections, kMaxConnections);
}

}  // namespace dromo
