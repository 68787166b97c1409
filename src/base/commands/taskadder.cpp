#include "base/commands/taskadder.h"

#include <cctype>
#include <filesystem>

#include "base/ports/messages.h"
#include "base/ports/sound.h"
#include "base/ports/tasklistobserver.h"
#include "base/ports/workerstarter.h"
#include "base/tasks/taskfileclaims.h"
#include "base/tasks/tasktable.h"
#include "base/text/cookiejar.h"
#include "base/text/filenames.h"
#include "base/text/metalinkdocument.h"
#include "base/text/metalinktransfer.h"
#include "base/text/parseurl.h"
#include "base/text/progresstexts.h"
#include "base/text/requestdetails.h"
#include "base/text/textutil.h"
#include "base/text/trace.h"
#include "base/values/globaloptions.h"
#include "base/values/viewsettings.h"
#include "base/view/filetypeicon.h"
#include "base/view/statuspanes.h"

namespace dromo {
namespace {

constexpr const char* kInvalidUrl = "invalid url";
constexpr const char* kSameFile = "The same file is being downloaded.";
// Identifiers are handed out once per run and run out only after some two
// thousand million adds; a restart hands them out afresh. No list fits in
// memory with that many tasks, so a restart always makes room.
constexpr const char* kTooMany = "Too many tasks were added since Dromo started. Restart Dromo to add more.";
constexpr const char* kUnsafeDetails =
    "The browser's cookie, referrer or user agent holds a line break or another control character.";
constexpr const char* kNotFound = "File not found or moved";
// A text of two links, a line each, is no URL: said so, rather than
// "invalid url", so whoever handed it over knows to give one at a time.
constexpr const char* kUrlControlCharacter = "The URL holds a line break or another control character.";
constexpr const char* kCookieTooLong = "The browser's cookie is longer than 8000 bytes, more than a request may carry.";
static_assert(kMaxCookieBytes == 8000, "the refusal names the bound");

TaskRow NewRow(const TaskRecord& record, const std::string& target, const std::string& size, const std::string& resume,
               const std::string& progress)
{
    TaskRow row;
    row.stateImage = StateImageOf(record);
    row.icon = FileTypeIcon(record.remotePath);
    row.texts[kColTarget] = target;
    row.texts[kColSize] = size;
    row.texts[kColResume] = resume;
    row.texts[kColProgress] = progress;
    row.texts[kColStatus] = record.failure;
    return row;
}

}  // namespace

const char* AddResultMessage(AddResult result)
{
    switch (result) {
    case AddResult::Added: return "";
    case AddResult::InvalidUrl: return kInvalidUrl;
    case AddResult::SameFileRunning: return kSameFile;
    case AddResult::TooManyTasks: return kTooMany;
    case AddResult::UnsafeDetails: return kUnsafeDetails;
    case AddResult::CookieTooLong: return kCookieTooLong;
    case AddResult::UnsafeCookieJar: return CookieJarFaultText(CookieJarFault::ControlCharacter);
    case AddResult::CookieJarTooLong: return CookieJarFaultText(CookieJarFault::TooLong);
    case AddResult::BadCookieJar: return CookieJarFaultText(CookieJarFault::BadLine);
    case AddResult::AlreadyThere: return "";  // the user chose: nothing to tell
    case AddResult::UrlControlCharacter: return kUrlControlCharacter;
    }
    return "";
}

bool TakeLoginFromUrl(std::string& url, std::string& user, std::string& password)
{
    // The login's colon comes after the "//": searching from a fixed offset
    // would find the scheme's own colon in "https://user:pw@host".
    const std::size_t slashes = url.find("//");
    if (slashes == std::string::npos) {
        return false;
    }
    // Only an at-sign in the host part marks a login: "http://h:8080/a@b"
    // has a port and an at-sign in its path, and stays as it is. Of several,
    // the last one ends the login ("u:p@ss@host"), so what is left holds none.
    const std::size_t pathStart = url.find('/', slashes + 2);
    const std::size_t hostPart = pathStart == std::string::npos ? url.size() : pathStart;
    const std::size_t at = url.rfind('@', hostPart == 0 ? 0 : hostPart - 1);
    const std::size_t colon = url.find(':', slashes + 2);
    if (at == std::string::npos || at < slashes + 2 || colon == std::string::npos || colon >= at) {
        return false;
    }
    user = url.substr(slashes + 2, colon - slashes - 2);
    password = url.substr(colon + 1, at - colon - 1);
    url = url.substr(0, slashes + 2) + url.substr(at + 1);
    return true;
}

TaskAdder::TaskAdder(TaskTable& table, const ViewSettings& settings, WorkerStarter& workers, TaskListObserver& observer,
                     Messages& messages, Sound& sound, std::uintptr_t ownerWindow)
    : m_table(table), m_settings(settings), m_workers(workers), m_observer(observer), m_messages(messages),
      m_sound(sound), m_ownerWindow(ownerWindow)
{
}

void TaskAdder::TakeUrl(TaskRecord& record, const ParsedUrl& url) const
{
    record.protocol = url.protocol;
    record.host = url.host;
    record.port = url.port;
    record.remotePath = url.remotePath;
    record.ownerWindow = m_ownerWindow;
    record.engine.reset();
}

void TaskAdder::UpdateStatusPanes()
{
    dromo::UpdateStatusPanes(m_table, m_observer);
}

std::string TaskAdder::DerivedSavePath(const std::string& url) const
{
    return SavePathForName(FileNameFromUrl(url));
}

std::string TaskAdder::SavePathForName(const std::string& name) const
{
    const GlobalOptions& o = m_settings.options;
    std::string folder = o.saveTo;
    if (o.enableCategory) {
        // The category follows the name the file gets, so a query string or
        // fragment after it does not hide the extension.
        const std::string ext = FileExtension(name);
        if (!ext.empty()) {
            for (const CategoryEntry& c : m_settings.categories) {
                if (EqualsIgnoreCase(c.extension, ext)) {
                    folder = c.folder;
                    break;
                }
            }
        }
    }
    // Folders end in "/"; one typed without it would glue the file name to
    // the folder's name ("Downloadsf.zip").
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder + name;
}

void TaskAdder::LookUpSite(TaskRecord& record) const
{
    if (!m_settings.options.enableSecurity || m_settings.sites.empty()) {
        return;
    }
    const SiteEntry* taken = nullptr;
    for (const SiteEntry& site : m_settings.sites) {
        const std::size_t colon = site.host.rfind(':');
        const std::string name = colon == std::string::npos ? site.host : site.host.substr(0, colon);
        const std::int64_t port = colon == std::string::npos ? -1 : LeadingNumber(site.host.substr(colon + 1));
        if (!EqualsIgnoreCase(name, record.host)) {
            continue;
        }
        if (port == record.port) {
            taken = &site;
            break;
        }
        if (port == -1) {
            taken = &site;  // a later port-less entry replaces an earlier one
        }
    }
    if (taken != nullptr) {
        record.user = taken->user;
        record.password = taken->password;
        record.useLogin = 1;
    }
}

TaskRecord TaskAdder::RecordFromOptions() const
{
    const GlobalOptions& o = m_settings.options;
    TaskRecord record;
    record.user = o.username;
    record.password = o.password;
    record.useLogin = 0;
    record.userAgent = o.userAgent;
    record.httpVersion = o.httpVersion;
    record.pasvMode = o.pasvMode;
    record.useProxy = o.enableProxy;
    record.proxyIndex = 0;
    record.errorCount = o.maxErrorCount;
    record.retryInterval = o.retryInterval;
    record.idleTime = o.maxIdleTime;
    record.connections = o.connectionsPerTask;
    record.refresh = o.refreshRate;
    record.autoSave = o.autoSave;
    record.speedLimit = o.maxSpeedValue;
    record.startAt = o.scheduleStartAt;
    record.duration = o.duration;
    record.scheduled = o.enableSchedule;
    record.untilFinished = o.untilFinished;
    return record;
}

AddResult TaskAdder::AddTask(const std::string& url, const std::string& savePath)
{
    TaskRecord record = RecordFromOptions();
    record.saveAs = savePath;
    return Add(url, std::move(record), false);
}

std::optional<AddResult> RefuseDetails(const DownloadDetails& details)
{
    switch (CheckRequestDetails(details.cookie, details.referrer, details.userAgent)) {
    case RequestDetailsFault::None: break;
    case RequestDetailsFault::ControlCharacter: return AddResult::UnsafeDetails;
    case RequestDetailsFault::CookieTooLong: return AddResult::CookieTooLong;
    }
    switch (CookieJar::Read(details.cookieJar).fault) {
    case CookieJarFault::None: return std::nullopt;
    case CookieJarFault::ControlCharacter: return AddResult::UnsafeCookieJar;
    case CookieJarFault::TooLong: return AddResult::CookieJarTooLong;
    case CookieJarFault::BadLine: return AddResult::BadCookieJar;
    }
    return AddResult::BadCookieJar;
}

void TakeBrowserDetails(TaskRecord& record, const DownloadDetails& details)
{
    record.cookie = details.cookie;
    record.cookieJar = details.cookieJar;
    record.browserCookie = details.cookie.empty() && details.cookieJar.empty() ? 0 : 1;
    record.referrer = details.referrer;
    if (!details.userAgent.empty()) {
        record.userAgent = details.userAgent;
    }
}

DownloadDetails BrowserDetailsOf(const TaskRecord& record)
{
    DownloadDetails details;
    details.cookie = record.cookie;
    details.cookieJar = record.cookieJar;
    details.referrer = record.referrer;
    details.userAgent = record.userAgent;
    return details;
}

bool TaskAdder::ContinueFrom(TaskId taskId, const std::string& handedOver, const DownloadDetails& details)
{
    std::string url = handedOver;
    std::string user;
    std::string password;
    const bool login = TakeLoginFromUrl(url, user, password);
    const std::optional<ParsedUrl> parsed = ParseUrl(url);
    if (!parsed || IsFtpProtocol(parsed->protocol) || RefuseDetails(details)) {
        return false;
    }
    bool continued = false;
    {
        auto guard = m_table.Lock();
        const std::optional<TaskRecord> task = m_table.CopyOut(m_table.RowOf(taskId));
        if (!task || !task->WaitsForNewAddress()) {
            return false;
        }
        continued = m_table.Update(taskId, [&](TaskRecord& r) {
            TakeUrl(r, *parsed);
            TakeBrowserDetails(r, details);
            if (login) {
                r.user = user;
                r.password = password;
                r.useLogin = 1;
            }
            r.SetState(TaskState::Queued);
        });
        if (continued) {
            // The list shows, and the profile keeps, the address the task
            // now fetches from.
            const int row = m_table.RowOf(taskId);
            m_table.SetText(row, kColTarget, url);
            m_table.SetText(row, kColStatus, "");
        }
    }
    m_workers.StartWorkerIfAllBusy();
    UpdateStatusPanes();
    return continued;
}

AddResult TaskAdder::AddDownload(const std::string& url, const DownloadDetails& details)
{
    if (const auto refusal = RefuseDetails(details)) {
        return *refusal;  // the caller hears why; nothing is added
    }
    TaskRecord record = RecordFromOptions();
    TakeBrowserDetails(record, details);
    const std::string name = SafeFileName(details.fileName);
    record.nameChosen = name.empty() ? 0 : 1;
    return Add(url, std::move(record), false, name);
}

AddResult TaskAdder::AddMetalinkFile(const MetalinkFile& file, const std::string& folder, const MetalinkSource* source)
{
    return AddMetalinkTransfer(MetalinkTransferOf(file, source != nullptr ? source->url : ""), folder, source);
}

AddResult TaskAdder::AddMetalinkTransfer(const MetalinkTransfer& transfer, const std::string& folder,
                                         const MetalinkSource* source)
{
    if (transfer.url.empty()) {
        m_messages.Warning(kInvalidUrl);
        return AddResult::InvalidUrl;
    }
    TaskRecord record = RecordFromOptions();
    if (source != nullptr) {
        TakeBrowserDetails(record, source->details);
        // The jar's cookies name their sites; the Cookie header is the
        // Metalink file's server's alone.
        if (!transfer.sourceServer) {
            record.cookie.clear();
            record.browserCookie = record.cookieJar.empty() ? 0 : 1;
        }
    }
    if (!folder.empty()) {
        record.saveAs = folder + (folder.back() == '/' ? "" : "/") + transfer.name;
    }
    // The task record is where the typed values are stored.
    record.checksum = transfer.digests.Stored();
    record.mirrors = transfer.mirrors.Stored();
    record.pieces = transfer.pieces.Stored();
    return Add(transfer.url, std::move(record), false, transfer.name);
}

int TaskAdder::AddMetalink(const MetalinkReading& reading, const std::string& folder, const MetalinkSource* source)
{
    if (!reading.Ok()) {
        m_messages.Warning(reading.error);
        return 0;
    }
    int added = 0;
    for (const MetalinkTransfer& transfer : MetalinkTransfers(reading, source != nullptr ? source->url : "")) {
        added += AddMetalinkTransfer(transfer, folder, source) == AddResult::Added ? 1 : 0;
    }
    return added;
}

AddResult TaskAdder::AddFailedMetalink(const MetalinkSource& source, const std::string& folder,
                                       const std::string& reason)
{
    TaskRecord record = RecordFromOptions();
    TakeBrowserDetails(record, source.details);
    record.metalinkDocument = 1;
    record.failure = StatusTimeStamp() + reason;
    if (!folder.empty()) {
        record.saveAs = folder + (folder.back() == '/' ? "" : "/") + FileNameFromUrl(source.url);
    }
    return Add(source.url, std::move(record), false);
}

AddResult TaskAdder::AddTaskFromRecord(const std::string& url, const TaskRecord& record)
{
    return Add(url, record, true);
}

AddResult TaskAdder::Add(std::string url, TaskRecord record, bool fromRecord, const std::string& suggestedName)
{
    const std::string traced = trace::On() ? trace::Url(url) : std::string();
    const AddResult result = AddUntraced(std::move(url), std::move(record), fromRecord, suggestedName);
    trace::Line(
        "add", traced + (result == AddResult::Added ? " added" : std::string(" refused: ") + AddResultMessage(result)));
    return result;
}

AddResult TaskAdder::AddUntraced(std::string url, TaskRecord record, bool fromRecord, const std::string& suggestedName)
{
    const bool chosen = !record.saveAs.empty() && record.saveAs.back() != '/';
    if (record.saveAs.empty()) {
        record.saveAs = suggestedName.empty() ? DerivedSavePath(url) : SavePathForName(suggestedName);
    } else if (record.saveAs.back() == '/') {
        record.saveAs += FileNameFromUrl(url);  // a folder alone is no file to write
    }
    if (chosen && RunningTaskWrites(record.saveAs)) {
        m_messages.Warning(kSameFile);
        return AddResult::SameFileRunning;
    }
    std::string user;
    std::string password;
    if (TakeLoginFromUrl(url, user, password)) {
        record.user = user;
        record.password = password;
        record.useLogin = 1;
    }
    const auto parsed = ParseUrl(url);
    if (!parsed) {
        const bool control = HoldsControlCharacter(url);
        m_messages.Warning(control ? kUrlControlCharacter : kInvalidUrl);
        return control ? AddResult::UrlControlCharacter : AddResult::InvalidUrl;
    }
    TakeUrl(record, *parsed);
    // A name nobody chose is numbered when another task has it, but the
    // same link into the same folder while it runs is the same file again.
    if (!chosen && RunningTaskFetches(record)) {
        m_messages.Warning(kSameFile);
        return AddResult::SameFileRunning;
    }
    if (m_userAdds != nullptr && !chosen) {
        if (const AddResult asked = AskWhenAlreadyThere(record); asked != AddResult::Added) {
            return asked;
        }
    }
    if (!fromRecord && !m_settings.proxies.empty()) {
        record.proxyIndex = 0;
    }
    LookUpSite(record);
    if (record.failure.empty()) {
        record.SetState(record.scheduled ? TaskState::Scheduled : TaskState::Queued);
    } else {
        record.SetState(TaskState::Paused);  // failed already: it waits for the user's Resume
    }

    if (!AppendUnderFreeName(url, std::move(record))) {
        m_messages.Warning(kTooMany);
        return AddResult::TooManyTasks;
    }
    UpdateStatusPanes();
    if (m_settings.options.enableSound) {
        m_sound.Start(m_settings.options.soundAddFile);
    }
    m_workers.StartWorkerIfAllBusy();
    return AddResult::Added;
}

TaskAdder::UserAdds::UserAdds(TaskAdder& adder, std::function<bool(const std::string& path)> open)
    : m_adder(adder), m_open(std::move(open)), m_outer(adder.m_userAdds)
{
    m_adder.m_userAdds = this;
}

TaskAdder::UserAdds::~UserAdds()
{
    m_adder.m_userAdds = m_outer;
}

AddResult TaskAdder::AskWhenAlreadyThere(TaskRecord& record)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(record.saveAs, error)) {
        return AddResult::Added;
    }
    const std::string name = NameOfPath(record.saveAs);
    const std::string question = name + " is already in " + FolderOfPath(record.saveAs) + ".";
    switch (m_messages.Choose(question, {"Open", "Download Again", "Cancel"})) {
    case 0:
        if (!m_userAdds->m_open(record.saveAs)) {
            m_messages.Warning(kNotFound);
        }
        return AddResult::AlreadyThere;
    case 1: {
        // A copy of its own beside the file, never over it.
        const std::string copy = FirstFreePath(record.saveAs, [this](const std::string& path) {
            std::error_code e;
            return std::filesystem::exists(path, e) || std::filesystem::exists(path + "+++", e) ||
                   m_table.HoldsSaveAs(path);
        });
        if (copy.empty()) {
            return AddResult::AlreadyThere;
        }
        record.saveAs = copy;
        return AddResult::Added;
    }
    default: return AddResult::AlreadyThere;
    }
}

bool TaskAdder::RunningTaskWrites(const std::string& saveAs) const
{
    return m_table.RunningSavesTo(saveAs);
}

bool TaskAdder::RunningTaskFetches(const TaskRecord& record) const
{
    // Its engine may have moved it beside a file of the user's: the folder
    // tells, not the name.
    return m_table.RunningFetches(record);
}

bool TaskAdder::AppendUnderFreeName(const std::string& url, TaskRecord record)
{
    // Two tasks of the list never write one file: a later one takes the
    // next free numbered name. Chosen and appended in one locked section, so
    // a transfer claiming a name meanwhile cannot take the same one.
    auto guard = m_table.Lock();
    const std::string unique = FreeNameInList(m_table, record.saveAs);
    if (unique.empty()) {
        return false;  // sharing a name would let two tasks write one file
    }
    if (unique != record.saveAs) {
        record.saveAs = unique;
        record.ownsPartialFile = 0;  // the file taken over has the name asked for
    }
    TaskRow row = NewRow(record, url, "0", "N/A", "0");
    return m_table.Append(std::move(record), std::move(row)).has_value();
}

// Older profiles can hold two tasks with one file. Of two that would write
// it, the later one moves to a free name; a finished task keeps the name of
// the file it has, so then the unfinished one moves; two finished ones write
// nothing more and stay as they are.
void TaskAdder::KeepRestoredFilesApart(TaskRecord& record)
{
    if (record.saveAs.empty() || record.saveAs.back() == '/') {
        return;
    }
    const int row = m_table.RowOf(m_table.TaskSavingAs(record.saveAs));
    if (row < 0) {
        return;
    }
    const bool holderDone = m_table.StateAt(row) == static_cast<std::int32_t>(TaskState::Done);
    if (holderDone && record.Is(TaskState::Done)) {
        return;
    }
    const std::string free = FreeNameInList(m_table, record.saveAs);
    if (free.empty()) {
        return;
    }
    if (!record.Is(TaskState::Done)) {
        record.saveAs = free;
        record.ownsPartialFile = 0;
        return;
    }
    m_table.Update(m_table.TaskIdAt(row), [&free](TaskRecord& holder) {
        holder.saveAs = free;
        holder.ownsPartialFile = 0;
    });
}

void TaskAdder::ExpectRestored(int count)
{
    m_table.Reserve(count);
}

bool TaskAdder::RestoreTask(const std::string& target, const std::string& sizeText, const std::string& resumeText,
                            const std::string& progressText, TaskRecord record)
{
    const auto url = ParseUrl(target);
    if (!url) {
        return false;
    }
    TakeUrl(record, *url);

    const GlobalOptions& o = m_settings.options;
    if (!record.Is(TaskState::Done)) {
        // A task that failed for good stays failed, with its reason: starting
        // Dromo again is no reason to try what could not work.
        const std::string failure = std::move(record.failure);
        record.SetState(!failure.empty() || !o.resumeIfStart ? TaskState::Paused : TaskState::Queued);
        record.failure = failure;
    }
    if (record.scheduled) {
        record.SetState(TaskState::Scheduled);
    }

    {
        auto guard = m_table.Lock();
        KeepRestoredFilesApart(record);
        TaskRow row = NewRow(record, target, sizeText, resumeText, progressText);
        row.texts[kColStatus] = record.failure;
        if (!m_table.Append(std::move(record), std::move(row))) {
            return false;  // every task identifier of this run is used
        }
    }
    UpdateStatusPanes();
    if (o.resumeIfStart) {
        m_workers.StartWorkerIfBelowLimit();
    }
    return true;
}

}  // namespace dromo
