#pragma once

// The engine's own: what one transfer call of CurlEngine knows while it
// runs. Included by the engine's sources only.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/curlengine.h"
#include "engine/failuretext.h"
#include "engine/httpresponse.h"
#include "engine/idlewatch.h"
#include "engine/partialfile.h"
#include "engine/responsedecision.h"
#include "engine/segmentplan.h"

namespace dromo {

// What a transfer finds on disk before its first request.
struct CurlEngine::ResumePoint {
    std::int64_t offset = 0;     // bytes on disk to go on from
    std::string validator;       // the server's version they came from
    std::int64_t existing = -1;  // size of a file of the target's name that is not ours
    std::string existingRecord;  // what Dromo recorded of that file when it finished it
    std::int64_t existingModified = -1;
    std::optional<SegmentPlan> plan;  // the ranges still missing from a sparse partial file
};

// What the engine lends one transfer call: the task's settings, its handle,
// where events go, and the places the call leaves what it found about the
// server's file (some read from other threads while it runs). The call
// sees nothing else of the engine.
struct RunContext {
    const TransferSettings& settings;
    ProgressSink& sink;
    HostConnections& hosts;
    CURL* const& easy;  // the engine's handle the call's request goes through, made anew for each request
    DigestCheck& digest;
    FileClaims* claims;        // may be null
    bool pieces;               // the task brings its pieces' digests
    std::int64_t maxFileSize;  // -1: no bound
    std::atomic<bool>& resumable;
    std::atomic<std::int64_t>& fileSize;
    std::string& savedAs;
    MirrorList& announcedMirrors;  // what the server named as the file's other places
    bool& tooLarge;
    // A status line for the task.
    std::function<void(const std::string&)> status;
    // The first free name beside a target the task list lets the task claim; "" when none.
    std::function<std::string(const std::string&)> claimFreeName;
    // A Retry-After the server gave.
    std::function<void(std::int64_t)> retryAfter;
};

// The decision taken on the server's answer, the file, the counters for the
// progress events.
struct TransferRun {
    using Clock = std::chrono::steady_clock;
    // Stream: the answer is a video stream's playlist, to be recorded.
    enum class Outcome { Undecided, Write, AlreadyExisted, AlreadyComplete, Restart, Failed, Stream };

    RunContext context;
    PartialFile& file;
    bool ftp;
    bool secure = false;         // FTP over TLS, or HTTPS
    bool existingTarget;         // a file of the target's name exists and no partial file does
    std::int64_t existingSize;   // its size
    std::string existingRecord;  // what Dromo recorded of it when it finished it
    std::int64_t existingModified = -1;
    std::int64_t requestedOffset;     // where this request asked the data to start
    std::int64_t requestedLast = -1;  // the last byte it asked for; -1 up to the end
    std::string storedValidator;
    std::string ftpValidator;      // what the FTP server said of the file now
    bool probing = false;          // asking an FTP server about the file, not fetching it
    bool redirectedToFtp = false;  // an HTTP request that a redirect took to an FTP server
    int heads = 0;                 // response heads seen (interim ones included)
    std::string lastReply;         // the FTP server's last reply line
    bool tlsTaken = false;         // the FTP server took AUTH TLS: the login went inside TLS
    HttpResponse response;
    Outcome outcome = Outcome::Undecided;
    std::string failure;
    TransferOutcome failureOutcome = TransferOutcome::Failed;
    bool serverRefused = false;  // the failure is the server's answer, before a byte of the file
    std::string restartReason;
    bool misfit = false;     // a range answer that does not fit what was asked for
    bool changed = false;    // the restart is for another version of the file on the server
    bool emptyBody = false;  // the file is empty: what the answer carries is not of it
    std::int64_t total = -1;
    std::int64_t received = 0;  // bytes of this request's body
    Clock::time_point start = Clock::now();
    Clock::time_point lastData = start;  // last time the server sent anything
    IdleWatch watch;                     // everything the server sent, against the idle time
    bool slow = false;                   // ended for less than a byte a second
    Clock::time_point lastEvent = start;
    std::int64_t lastEventBytes = 0;
    // Several connections, when the file is moved as ranges; with a stored
    // plan the partial file is sparse and is never emptied by a range answer
    // nor read as a prefix.
    SegmentedTransfer* segments = nullptr;
    bool keepContents = false;
    std::int64_t startBytes = -1;          // bytes present when not the file's size
    StreamKind stream = StreamKind::None;  // the playlist the answer is, with Outcome::Stream
    bool sniffed = false;                  // the body's first bytes were looked at

    TransferRun(RunContext context, PartialFile& f, bool isFtp, std::int64_t existing, std::int64_t offset,
                std::string validator);

    // libcurl's callbacks for the head lines and the data of the engine's handle.
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user);
    static std::size_t OnData(char* data, std::size_t size, std::size_t count, void* user);

    void Status(const std::string& line) { context.status(line); }
    DigestCheck& Digest() { return context.digest; }
    void Decide();
    // Acts on a decision on the server's answer.
    void Apply(const ResponseDecision& decision);
    // For a file of the target's name that is not our partial file: false
    // when nothing is to be written (it is this file already, or no other
    // name is free).
    bool KeepOrMoveAside();
    bool MoveAside();
    ResumeState Resume() const;
    std::string ServerVersion() const;
    bool OpenFile(bool truncate, const std::string& validator);
    // Keeps the mirrors the server names in the head of the file it sends.
    void TakeAnnouncedMirrors();
    void Event(bool final);
    bool OnFtpServer();
    std::int64_t OnDisk() const { return file.Size(); }
    FailureFacts Facts() const;
    // Whether the answer is a stream's playlist, by its type or its first bytes.
    bool IsPlaylist(std::string_view firstBytes);
};

}  // namespace dromo
