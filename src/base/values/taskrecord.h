#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/values/protocoltexts.h"
#include "base/values/taskid.h"
#include "base/values/taskstate.h"

namespace dromo {

class TransferEngine;

// Protocol values stored in a task. FTP and HTTP are the classic ones; HTTPS
// is new and goes through the HTTP transfer, FTPS (FTP inside TLS from the
// first byte, port 990) through the FTP transfer. The profile keeps the URL,
// never this number.
enum Protocol : std::int32_t {
    kProtocolFtp = 1,
    kProtocolHttp = 3,
    kProtocolHttps = 4,
    kProtocolFtps = 5,
};

inline bool IsFtpProtocol(std::int32_t protocol)
{
    return protocol == kProtocolFtp || protocol == kProtocolFtps;
}

// Carried inside TLS all the way: certificates are checked, and cookies
// the browser sent over TLS may go along.
inline bool IsSecureProtocol(std::int32_t protocol)
{
    return protocol == kProtocolHttps || protocol == kProtocolFtps;
}

inline const char* SchemeOf(std::int32_t protocol)
{
    switch (protocol) {
    case kProtocolFtp: return "ftp";
    case kProtocolFtps: return "ftps";
    case kProtocolHttps: return "https";
    default: return "http";
    }
}

inline std::uint16_t DefaultPortOf(std::int32_t protocol)
{
    switch (protocol) {
    case kProtocolFtp: return 21;
    case kProtocolFtps: return 990;
    case kProtocolHttps: return 443;
    default: return 80;
    }
}

// One download task, handled by value: copy out under the task-table lock,
// change the copy, write it back. The fields keep their classic order and
// widths, except the two times, which are 64-bit so they survive 2038.
struct TaskRecord {
    std::string userAgent;
    std::string httpVersion;
    std::int32_t pasvMode = 0;
    std::int32_t protocol = 0;
    std::int32_t checkpointKB = -1;   // KB on disk at the start mark; -1 until it arrives
    std::int64_t startTime = 0;       // seconds since 1970
    std::int64_t checkpointTime = 0;  // seconds since 1970
    std::int32_t refresh = 0;
    // Set while a worker runs the task, so Stop can abort it from another
    // thread; copies share the engine and keep it alive.
    std::shared_ptr<TransferEngine> engine;
    TaskId taskId = kNoTask;
    std::string host;
    std::int32_t speedLimit = -1;
    std::string autoSave;
    std::uint16_t port = 0;
    std::int32_t useLogin = 0;
    std::string user;
    std::string password;
    std::string remotePath;
    std::string saveAs;
    std::uintptr_t ownerWindow = 0;  // opaque handle of the owning view
    std::int32_t state = static_cast<std::int32_t>(TaskState::Queued);
    std::int32_t retryInterval = 0;
    std::int32_t idleTime = 0;
    std::int32_t errorCount = 0;
    std::string startAt;
    std::int32_t duration = 0;
    std::int32_t scheduled = 0;
    std::int32_t untilFinished = 0;
    std::int32_t useProxy = 0;
    std::int32_t proxyIndex = 0;

    // Beyond the classic record: what a browser handed over with the URL,
    // sent with every request of the task. The cookie is a secret and lives
    // in memory only; it is never written to the profile or a list file.
    std::string cookie;
    // The cookies the browser would send to the file's site and its
    // redirects, with their domains, paths and flags, as lines of libcurl's
    // cookie file (CookieJar); memory only, as the cookie.
    std::string cookieJar;
    std::string referrer;
    // Set when a browser handed a cookie or a cookie jar over; stored (the
    // cookies are not), so a task resumed after a restart can say why a site
    // refuses it.
    std::int32_t browserCookie = 0;
    // Set when a browser handed the file's name over: the user saw it
    // there, so the server's name never replaces it, even when it is the
    // URL's own.
    std::int32_t nameChosen = 0;
    // How many connections the task may open for its file (1..16); a task
    // from before segmented downloads takes the option when it is read.
    std::int32_t connections = 1;
    // Set when the list knows that the partial file of saveAs is this task's
    // own though it may carry no mark of Dromo's (the task wrote it where
    // files keep no extended attributes, or the user took it over with
    // "Load Broken File"); cleared whenever saveAs changes.
    std::int32_t ownsPartialFile = 0;
    // The keyring entry the password came from ("" when it came from
    // nowhere or was typed in this run): it belongs to this task wherever
    // its row moves, and copies of the record share it.
    std::string keyringId;
    // The digests the finished file must have, in DigestList's stored form
    // ("sha-256=HEX"); "" when the user gave none.
    std::string checksum;
    // The servers a Metalink file named for the task's file, in
    // MirrorList's stored form ("1:de:https://..."), and the digests of its
    // pieces in PieceHashes' form; "" for a task of one URL.
    std::string mirrors;
    std::string pieces;
    // Why the task failed for good, as its Status column said it ("" while
    // it has not): an error that trying again cannot help, or one tried
    // until the attempts ran out. A failed task is Paused to every classic
    // rule (Resume queues it again); the list shows and stores it apart.
    std::string failure;
    // The digest the finished file was found to match ("SHA-256"); "" when
    // none was checked.
    std::string verified;
    // A video stream's recording: what its URL answered with ("HLS",
    // "DASH"; "" for a file), and the variant the user chose in
    // VariantChoice's stored form ("" for the best).
    std::string stream;
    std::string variant;
    // Set on a task whose URL is a Metalink file that could not be fetched
    // or read: its Resume fetches the file again, and its files become
    // tasks in its place.
    std::int32_t metalinkDocument = 0;

    TaskState State() const { return static_cast<TaskState>(state); }
    bool Is(TaskState s) const { return state == static_cast<std::int32_t>(s); }
    // A failure belongs to a paused task, a verification to a done one: any
    // other state leaves them behind, so no path can carry a stale one on.
    void SetState(TaskState s)
    {
        state = static_cast<std::int32_t>(s);
        if (s != TaskState::Paused) {
            failure.clear();
        }
        if (s != TaskState::Done) {
            verified.clear();
        }
    }
    bool Failed() const { return Is(TaskState::Paused) && !failure.empty(); }
    // A task whose resume its server refused as an expired link refuses,
    // with its bytes kept: only a new address of the same file continues it.
    bool WaitsForNewAddress() const
    {
        const std::string_view expired = texts::kAddressExpired;
        return Failed() && failure.size() >= expired.size() &&
               std::string_view(failure).substr(failure.size() - expired.size()) == expired;
    }
};

// The image a task's row shows: its state's, or the failed one for a task
// that failed for good and the verified one for a file that matched its
// digest.
inline int StateImageOf(const TaskRecord& record)
{
    if (record.Failed()) {
        return kImageFailed;
    }
    if (record.Is(TaskState::Done) && !record.verified.empty()) {
        return kImageVerified;
    }
    return StateImageOf(record.state);
}

}  // namespace dromo
