#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/values/taskrecord.h"

namespace dromo {

class Messages;
class Sound;
class TaskListObserver;
class TaskTable;
class WorkerStarter;
struct MetalinkFile;
struct MetalinkTransfer;
struct MetalinkReading;
struct ParsedUrl;
struct ViewSettings;

// What a browser knew of a download it handed over; every part optional.
struct DownloadDetails {
    std::string cookie;  // the Cookie header for the URL
    std::string referrer;
    std::string userAgent;
    std::string fileName;  // the name the browser settled on
    std::string mimeType;
    std::int64_t size = -1;
    // The cookies the browser would send to the URL's site and its
    // redirects, as lines of libcurl's cookie file (CookieJar).
    std::string cookieJar;
};

// A Metalink file as it was handed over: its URL and what the browser knew
// of it, which go with the file's fetch and with the tasks of its files.
struct MetalinkSource {
    std::string url;
    DownloadDetails details;
};

// How an add ended.
enum class AddResult {
    Added,
    InvalidUrl,       // "invalid url"
    SameFileRunning,  // "The same file is being downloaded."
    TooManyTasks,     // every task identifier of this run is used
    UnsafeDetails,    // a cookie, referrer or user agent that would break a request's head
    CookieTooLong,    // a cookie longer than any request may carry
    UnsafeCookieJar,  // a cookie jar with a carriage return or another control character
    CookieJarTooLong,
    BadCookieJar,         // a cookie jar with a line that is no cookie
    AlreadyThere,         // the file is already in its folder and the user did not want another copy
    UrlControlCharacter,  // a line break or another control character in the URL: no URL, or several
};

// The message an add that ended so shows; "" for Added.
const char* AddResultMessage(AddResult result);

// Why a browser's details cannot go into a task's requests (a line break in
// a header value would add headers of the sender's choosing); nothing when
// they can.
std::optional<AddResult> RefuseDetails(const DownloadDetails& details);

// Gives a task what the browser knew of its download: its cookies (kept in
// memory only; the record notes that there were some), referrer and user
// agent.
void TakeBrowserDetails(TaskRecord& record, const DownloadDetails& details);
// What a task holds of a browser's details, as a fetch made for it again
// sends them (its cookies, referrer and user agent).
DownloadDetails BrowserDetailsOf(const TaskRecord& record);

// The paths by which a task enters the table. Runs on the user-interface
// thread; messages go through the Messages port before anything is added.
class TaskAdder {
public:
    // While one lives, adds are the user's own in the window (the address
    // bar, the Add URL sheet, a drop): a URL whose file is already in its
    // folder is not copied silently, the user is asked first: open the file
    // (`open`, false when it cannot be opened), download it again as a
    // numbered copy, or leave it. Adds from outside never ask: the engine
    // then finds the same file and says so.
    class UserAdds {
    public:
        UserAdds(TaskAdder& adder, std::function<bool(const std::string& path)> open);
        ~UserAdds();
        UserAdds(const UserAdds&) = delete;
        UserAdds& operator=(const UserAdds&) = delete;

    private:
        friend class TaskAdder;
        TaskAdder& m_adder;
        std::function<bool(const std::string& path)> m_open;
        UserAdds* m_outer;
    };

    TaskAdder(TaskTable& table, const ViewSettings& settings, WorkerStarter& workers, TaskListObserver& observer,
              Messages& messages, Sound& sound, std::uintptr_t ownerWindow = 0);

    // A bare URL, saved to savePath or, when that is empty, to the folder the
    // options and the categories choose.
    AddResult AddTask(const std::string& url, const std::string& savePath);
    // A URL with a record prepared by the Add URL dialog or a list file: its
    // transfer settings are kept, its saveAs is the save path.
    AddResult AddTaskFromRecord(const std::string& url, const TaskRecord& record);
    // A URL handed over by a browser: added as AddTask does, saved under the
    // browser's file name when it gave one, and sent with its cookie,
    // referrer and user agent; refused as RefuseDetails says.
    AddResult AddDownload(const std::string& url, const DownloadDetails& details);
    // One file of a Metalink file: fetched from its most wanted mirror (the
    // task's URL), saved under its own name in `folder` or, when that is
    // empty, where the options and categories put that name; checked
    // against its digests; its mirrors and piece hashes kept on the task.
    // With a `source`, the task goes with the browser's cookie jar,
    // referrer and user agent, and with its Cookie header when the file
    // comes from the Metalink file's own server (scheme, host and port).
    AddResult AddMetalinkFile(const MetalinkFile& file, const std::string& folder = "",
                              const MetalinkSource* source = nullptr);
    // The same for a file already made a transfer (MetalinkTransferOf with
    // the source's URL), as dromo-fetch makes it.
    AddResult AddMetalinkTransfer(const MetalinkTransfer& transfer, const std::string& folder = "",
                                  const MetalinkSource* source = nullptr);
    // Every file of a read Metalink file so; a refused document shows its
    // error and adds nothing. Returns how many tasks were added.
    int AddMetalink(const MetalinkReading& reading, const std::string& folder = "",
                    const MetalinkSource* source = nullptr);
    // A Metalink file that could not be fetched or read: a task of its URL
    // that has failed with the reason, keeping the browser's details, so
    // the list says why and Resume can fetch it again (metalinkDocument).
    // Nothing is shown: the task says it.
    AddResult AddFailedMetalink(const MetalinkSource& source, const std::string& folder, const std::string& reason);

    // A task that waits for a new address (TaskRecord::WaitsForNewAddress)
    // takes `url` and what a browser knew of it (its cookies, referrer and
    // user agent) in place of its own, and is queued again: its transfer
    // goes on from the bytes on disk. Only for an address JudgeSameFile
    // found to serve its file. False, and nothing changes, when the task is
    // gone or no longer waits, or the URL or the details are refused.
    bool ContinueFrom(TaskId taskId, const std::string& url, const DownloadDetails& details);

    // Room for this many more restored tasks, so a long list does not move
    // every record it holds again and again while it loads.
    void ExpectRestored(int count);
    // Puts back a task saved in the profile: the URL is parsed again, the
    // state follows "Resume if Start" and the schedule, and with "Resume if
    // Start" on a worker may start. A task whose URL does not parse is
    // dropped without a message; false then.
    bool RestoreTask(const std::string& target, const std::string& sizeText, const std::string& resumeText,
                     const std::string& progressText, TaskRecord record);

    // The save path for a URL when none is given: the folder and, when the
    // URL's last part is a usable file name, that name.
    std::string DerivedSavePath(const std::string& url) const;
    // The same for a file name already known.
    std::string SavePathForName(const std::string& name) const;

private:
    AddResult Add(std::string url, TaskRecord record, bool keepTransferSettings, const std::string& suggestedName = "");
    AddResult AddUntraced(std::string url, TaskRecord record, bool keepTransferSettings,
                          const std::string& suggestedName);
    // True when a running task writes that file.
    bool RunningTaskWrites(const std::string& saveAs) const;
    // True when a running task fetches the record's URL into its folder.
    bool RunningTaskFetches(const TaskRecord& record) const;
    // Appends the task under the first name no other task holds; false when
    // every task identifier of this run is used.
    bool AppendUnderFreeName(const std::string& url, TaskRecord record);
    // Asks what to do when the record's file is already on disk; Added to
    // go on (with saveAs moved to a free numbered name for a new copy).
    AddResult AskWhenAlreadyThere(TaskRecord& record);
    void KeepRestoredFilesApart(TaskRecord& record);
    TaskRecord RecordFromOptions() const;
    void LookUpSite(TaskRecord& record) const;
    // The parsed URL's parts, this view as owner, no engine.
    void TakeUrl(TaskRecord& record, const ParsedUrl& url) const;
    void UpdateStatusPanes();

    TaskTable& m_table;
    const ViewSettings& m_settings;
    WorkerStarter& m_workers;
    TaskListObserver& m_observer;
    Messages& m_messages;
    Sound& m_sound;
    std::uintptr_t m_ownerWindow;
    UserAdds* m_userAdds = nullptr;
};

// Takes a login written into the URL before the host out of it
// ("ftp://user:pw@host/f"); false when the URL carries none.
bool TakeLoginFromUrl(std::string& url, std::string& user, std::string& password);

}  // namespace dromo
