#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace dromo {

// The placeholder e-mail address that is the default FTP password. A stored
// password equal to it (in any letter case) is kept as it is, not Base64.
inline constexpr const char* kDefaultPassword = "dromo@example.com";

// Where the platform puts things the defaults depend on. Folders end in "/".
struct PlatformDefaults {
    std::string downloadFolder;     // the user's download folder
    std::string programDataFolder;  // the folder holding the program's data files
};

// Every program-wide option of section "Settings", named in comments by its
// value name in the profile.
struct GlobalOptions {
    // Identity and transfer defaults copied into every new task.
    std::string saveTo;                         // "Save to"
    std::string username = "anonymous";         // "Username"
    std::string password = kDefaultPassword;    // "Password"
    std::int32_t maxSpeedValue = -1;            // "Max Speed Value"
    std::int32_t maxErrorCount = 6;             // "Max Error Count"
    std::int32_t retryInterval = 3;             // "Interval between Retries"
    std::int32_t maxIdleTime = 120;             // "Max Idle Time"
    std::int32_t refreshRate = 200;             // "Refresh Rate"
    std::string autoSave = "64";                // "Auto Save"
    std::int32_t pasvMode = 0;                  // "PASV Mode"
    std::int32_t requireFtpTls = 0;             // "Require TLS for FTP": no login to an FTP server without TLS
    std::string userAgent = "Dromo/1.03 [en]";  // "User Agent"
    std::string httpVersion = "2";              // "Http Version": HTTP/2 where offered
    std::int32_t enableProxy = 0;               // "Enable Proxy"
    std::int32_t enableCookie = 0;              // "Enable Cookie"
    std::int32_t enableCategory = 0;            // "Enable Category"
    std::int32_t enableSecurity = 0;            // "Enable Security"
    std::int32_t enableSchedule = 0;            // "Enable Schedule"
    std::string scheduleStartAt = "22:00";      // "Schedule Start at"
    std::int32_t duration = 30;                 // "Duration"
    std::int32_t untilFinished = 1;             // "Until Finished"
    // Newer than the classic values: how many connections one task opens for
    // one file, 1 to 16 (see ClampConnections).
    std::int32_t connectionsPerTask = 4;  // "Connections per Task"

    // Program behaviour.
    std::int32_t maxThreadNumber = 1;       // "Max Thread Number"
    std::int32_t resumeIfStart = 0;         // "Resume if Start"
    std::int32_t deleteIfDone = 0;          // "Delete from List if Done"
    std::int32_t hangupIfDone = 0;          // "Hangup if Done"
    std::int32_t shutDownIfDone = 0;        // "ShutDown if Done"
    std::int32_t redialIfDisconnected = 1;  // "Redial if Disconnected"
    std::int32_t popupDialog = 0;           // "Popup Dialog"
    std::int32_t enableLog = 1;             // "Enable Log"
    std::int32_t maxHistoryItem = 10;       // "Max History Item"
    std::int32_t allowMultiInstance = 0;    // "Allow Multi Instance"
    std::int32_t startAs = 1;               // "Start as"
    std::int32_t notifyWhenDone = 1;        // "Notify when Done": a desktop notice per burst of endings
    std::int32_t keepAwake = 1;             // "Keep Awake While Downloading": no idle suspend meanwhile
    std::int32_t watchClipboard = 0;        // "Watch Clipboard": offer copied links of the capture file types

    // Completion sounds and virus scan.
    std::int32_t enableSound = 0;        // "Enable Sound"
    std::string soundAddFile;            // "Sound of Add File"
    std::string soundStartDownload;      // "Sound of Start Download"
    std::string soundJobDone;            // "Sound of Job Done"
    std::string soundSthWrong;           // "Sound of Sth Wrong"
    std::int32_t enableVirusCheck = 0;   // "Enable Virus Check"
    std::string virusScanner;            // "Virus Scanner"
    std::string virusScannerParameters;  // "Virus Scanner Parameters"

    // Appearance and tool windows.
    std::int32_t textColor = 0;  // "Text Color"
    // Newer than the classic values: set once the user picked a "Text
    // Color". Until then index 0 (the classic default) is the desktop's own
    // text colour, which "Black" is on a light desktop (see ListTextColor).
    std::int32_t textColorChosen = 0;       // "Text Color Chosen"
    std::int32_t showGridLine = 0;          // "Show Grid Line"
    std::int32_t backgroundType = 1;        // "Background Type"
    std::string backgroundImagePath;        // "Background Image Path"
    std::int32_t backgroundImageTiled = 1;  // "Background Image Tiled"
    std::int32_t dropBasketX = 120;         // "DropBasket X"
    std::int32_t dropBasketY = 100;         // "DropBasket Y"
    std::int32_t speedBarX = 120;           // "SpeedBar X"
    std::int32_t speedBarY = 100;           // "SpeedBar Y"
    std::int32_t showDropBasket = 0;        // "Show DropBasket"
    std::int32_t showSpeedBar = 0;          // "Show Speed Bar"

    // Browser capture; the capture host reads these from the profile too.
    std::int32_t captureClicksInIE = 0;        // "Capture Clicks in IE"
    std::int32_t captureClicksInNV = 0;        // "Capture Clicks in NV"
    std::int32_t captureAllFtp = 0;            // "Capture All FTP"
    std::string captureFileTypes = "exe zip";  // "Capture File Types"
    std::int32_t startWithBrowser = 0;         // "Start with Browser"

    // Not stored: the network state seen when the settings were loaded.
    bool connected = true;
    bool modemConnection = false;

    static GlobalOptions Defaults(const PlatformDefaults& platform);
};

// How one option is stored: its value name and where it lives in the record.
struct IntOption {
    const char* name;
    std::int32_t GlobalOptions::*field;
    bool flag = false;     // written as 0 or 1
    bool capture = false;  // written by the options sheet at once, not by a save
};

struct TextOption {
    const char* name;
    std::string GlobalOptions::*field;
    bool capture = false;  // as for IntOption
};

// Every option held in GlobalOptions, except the password, which has a rule
// of its own.
std::span<const IntOption> IntOptions();
std::span<const TextOption> TextOptions();

bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// Connections a task may open: a stored value out of 1..16 (a profile or
// list file edited by hand) reads as the nearest bound.
inline constexpr std::int32_t kMinConnections = 1;
inline constexpr std::int32_t kMaxConnections = 16;
std::int32_t ClampConnections(std::int32_t connections);

}  // namespace dromo
