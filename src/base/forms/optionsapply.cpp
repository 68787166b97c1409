#include "base/forms/optionsapply.h"

#include <filesystem>

#include "base/ports/workerstarter.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"

namespace dromo {
namespace {

void MakeFolder(const std::string& folder)
{
    std::error_code ignored;  // a failure shows later in the tasks that save there
    if (!folder.empty()) {
        std::filesystem::create_directory(folder, ignored);
    }
}

}  // namespace

void CopySheetSettings(const GlobalOptions& from, GlobalOptions& to)
{
    // General, Connection, System.
    to.saveTo = from.saveTo;
    to.username = from.username;
    to.password = from.password;
    to.maxHistoryItem = from.maxHistoryItem;
    to.deleteIfDone = from.deleteIfDone;
    to.resumeIfStart = from.resumeIfStart;
    to.enableCookie = from.enableCookie;
    to.popupDialog = from.popupDialog;
    to.notifyWhenDone = from.notifyWhenDone;
    to.keepAwake = from.keepAwake;
    to.watchClipboard = from.watchClipboard;
    to.maxThreadNumber = from.maxThreadNumber;
    to.connectionsPerTask = from.connectionsPerTask;
    to.maxErrorCount = from.maxErrorCount;
    to.retryInterval = from.retryInterval;
    to.maxIdleTime = from.maxIdleTime;
    to.maxSpeedValue = from.maxSpeedValue;
    to.autoSave = from.autoSave;
    to.refreshRate = from.refreshRate;
    to.textColor = from.textColor;
    to.textColorChosen = from.textColorChosen;
    to.allowMultiInstance = from.allowMultiInstance;
    to.enableLog = from.enableLog;
    // Automation, Proxy, Protocol, Schedule.
    to.captureClicksInIE = from.captureClicksInIE;
    to.captureClicksInNV = from.captureClicksInNV;
    to.captureAllFtp = from.captureAllFtp;
    to.startWithBrowser = from.startWithBrowser;
    to.captureFileTypes = from.captureFileTypes;
    to.enableProxy = from.enableProxy;
    to.pasvMode = from.pasvMode;
    to.requireFtpTls = from.requireFtpTls;
    to.httpVersion = from.httpVersion;
    to.userAgent = from.userAgent;
    to.enableSchedule = from.enableSchedule;
    to.scheduleStartAt = from.scheduleStartAt;
    to.untilFinished = from.untilFinished;
    to.duration = from.duration;
    // Category, Security, Virus Check, Sounds.
    to.enableCategory = from.enableCategory;
    to.enableSecurity = from.enableSecurity;
    to.enableVirusCheck = from.enableVirusCheck;
    to.virusScanner = from.virusScanner;
    to.virusScannerParameters = from.virusScannerParameters;
    to.enableSound = from.enableSound;
    to.soundAddFile = from.soundAddFile;
    to.soundStartDownload = from.soundStartDownload;
    to.soundJobDone = from.soundJobDone;
    to.soundSthWrong = from.soundSthWrong;
}

void ApplyOptionsSheet(const OptionsSheetResult& result, ViewSettings& live, TaskTable& table, SettingsStore& store,
                       WorkerStarter& starter)
{
    int threadsBefore = 0;
    {
        // Workers read the options and the proxy list under this lock.
        auto guard = table.Lock();
        threadsBefore = live.options.maxThreadNumber;
        CopySheetSettings(result.options, live.options);
        if (result.categories) {
            live.categories = *result.categories;
        }
        if (result.sites) {
            live.sites = *result.sites;
        }
        if (result.proxies) {
            live.proxies = *result.proxies;
        }
    }
    // A failed write shows with the auto-save, which writes the file again.
    static_cast<void>(store.SaveCaptureOptions(live.options));
    MakeFolder(live.options.saveTo);
    if (result.categories && live.options.enableCategory != 0) {
        for (const CategoryEntry& category : *result.categories) {
            MakeFolder(category.folder);
        }
    }
    if (live.options.maxThreadNumber <= threadsBefore) {
        return;
    }
    const int count = table.Count();
    for (int row = 0; row < count; ++row) {
        if (table.StateAt(row) == static_cast<std::int32_t>(TaskState::Queued) && !starter.StartWorkerIfAllBusy()) {
            break;
        }
    }
}

}  // namespace dromo
