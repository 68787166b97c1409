#include "base/core/globaloptions.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace dromo {
namespace {

using G = GlobalOptions;

// Value names are the profile's and must not change.
constexpr std::array kIntOptions = {
    IntOption{"Max Speed Value", &G::maxSpeedValue, false, false},
    IntOption{"Max Error Count", &G::maxErrorCount, false, false},
    IntOption{"Interval between Retries", &G::retryInterval, false, false},
    IntOption{"Max Idle Time", &G::maxIdleTime, false, false},
    IntOption{"Refresh Rate", &G::refreshRate, false, false},
    IntOption{"PASV Mode", &G::pasvMode, false, false},
    IntOption{"Enable Proxy", &G::enableProxy, false, false},
    IntOption{"Enable Cookie", &G::enableCookie, false, false},
    IntOption{"Enable Category", &G::enableCategory, false, false},
    IntOption{"Enable Security", &G::enableSecurity, false, false},
    IntOption{"Enable Schedule", &G::enableSchedule, false, false},
    IntOption{"Duration", &G::duration, false, false},
    IntOption{"Until Finished", &G::untilFinished, false, false},
    IntOption{"Max Thread Number", &G::maxThreadNumber, false, false},
    IntOption{"Resume if Start", &G::resumeIfStart, true, false},
    IntOption{"Delete from List if Done", &G::deleteIfDone, true, false},
    IntOption{"Hangup if Done", &G::hangupIfDone, true, false},
    IntOption{"ShutDown if Done", &G::shutDownIfDone, true, false},
    IntOption{"Redial if Disconnected", &G::redialIfDisconnected, true, false},
    IntOption{"Popup Dialog", &G::popupDialog, false, false},
    IntOption{"Enable Log", &G::enableLog, true, false},
    IntOption{"Max History Item", &G::maxHistoryItem, false, false},
    IntOption{"Allow Multi Instance", &G::allowMultiInstance, true, false},
    IntOption{"Start as", &G::startAs, false, false},
    IntOption{"Enable Sound", &G::enableSound, false, false},
    IntOption{"Enable Virus Check", &G::enableVirusCheck, false, false},
    IntOption{"Text Color", &G::textColor, false, false},
    IntOption{"Show Grid Line", &G::showGridLine, false, false},
    IntOption{"Background Type", &G::backgroundType, false, false},
    IntOption{"Background Image Tiled", &G::backgroundImageTiled, false, false},
    IntOption{"DropBasket X", &G::dropBasketX, false, false},
    IntOption{"DropBasket Y", &G::dropBasketY, false, false},
    IntOption{"SpeedBar X", &G::speedBarX, false, false},
    IntOption{"SpeedBar Y", &G::speedBarY, false, false},
    IntOption{"Show DropBasket", &G::showDropBasket, true, false},
    IntOption{"Show Speed Bar", &G::showSpeedBar, true, false},
    IntOption{"Capture Clicks in IE", &G::captureClicksInIE, false, true},
    IntOption{"Capture Clicks in NV", &G::captureClicksInNV, false, true},
    IntOption{"Capture All FTP", &G::captureAllFtp, false, true},
    IntOption{"Start with Browser", &G::startWithBrowser, false, true},
    // Desktop integration, newer than the classic values.
    IntOption{"Notify when Done", &G::notifyWhenDone, true, false},
    IntOption{"Keep Awake While Downloading", &G::keepAwake, true, false},
    // Segmented downloads, newer still.
    IntOption{"Connections per Task", &G::connectionsPerTask, false, false},
};

constexpr std::array kTextOptions = {
    TextOption{"Save to", &G::saveTo, false},
    TextOption{"Username", &G::username, false},
    TextOption{"Auto Save", &G::autoSave, false},
    TextOption{"User Agent", &G::userAgent, false},
    TextOption{"Http Version", &G::httpVersion, false},
    TextOption{"Schedule Start at", &G::scheduleStartAt, false},
    TextOption{"Sound of Add File", &G::soundAddFile, false},
    TextOption{"Sound of Start Download", &G::soundStartDownload, false},
    TextOption{"Sound of Job Done", &G::soundJobDone, false},
    TextOption{"Sound of Sth Wrong", &G::soundSthWrong, false},
    TextOption{"Virus Scanner", &G::virusScanner, false},
    TextOption{"Virus Scanner Parameters", &G::virusScannerParameters, false},
    TextOption{"Background Image Path", &G::backgroundImagePath, false},
    TextOption{"Capture File Types", &G::captureFileTypes, true},
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
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::int32_t ClampConnections(std::int32_t connections)
{
    return std::clamp(connections, kMinConnections, kMaxConnections);
}

}  // namespace dromo
