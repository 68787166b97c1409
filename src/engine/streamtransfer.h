#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <curl/curl.h>

#include "base/ports/progresssink.h"
#include "base/text/streamtracks.h"
#include "base/text/streamtypes.h"
#include "base/values/transferoutcome.h"
#include "base/values/transfersettings.h"

namespace dromo {

class FileClaims;
class HostConnections;
class PartialFile;
class ProgressSink;
class StreamFetcher;
class StreamStore;
struct FetchDone;

// What a recording takes from the engine that runs it.
struct StreamContext {
    TransferSettings settings;
    ProgressSink& sink;
    CURLM* multi;
    HostConnections& hosts;
    // The task's handle as the engine set it up for the playlist's URL:
    // every request is a copy of it.
    CURL* configured;
    std::string url;      // the playlist's or manifest's
    StreamKind kind;      // what the URL is; None: its answer tells
    std::string variant;  // VariantChoice's stored form
    const std::atomic<bool>& abort;
    std::atomic<std::int64_t>& fileSize;  // what the progress shows as the size
    FileClaims* claims;                   // may be null
    // The file's name was made from the playlist's (".mp4" for ".m3u8"), so
    // it may become ".mkv" for media an MP4 file cannot hold.
    bool renamed = false;
};

// A video stream recorded as one file: the playlist (HLS) or manifest
// (DASH) is read, the variant chosen, and its segments (and those of its
// separate audio) are fetched over the task's connections in parallel,
// decrypted when AES-128 protects them, and kept in the partial file as
// they arrive (StreamStore), so a resume fetches no finished segment again.
// A live playlist is read again as its target duration says and recorded
// until Abort. Then libavformat joins the tracks into one file without
// re-encoding (StreamMuxer), written beside the partial file, put in its
// place, and renamed to the target like any finished download.
class StreamTransfer {
public:
    StreamTransfer(StreamContext context, PartialFile& file);
    ~StreamTransfer();
    StreamTransfer(const StreamTransfer&) = delete;
    StreamTransfer& operator=(const StreamTransfer&) = delete;

    // The kind of recording a partial file holds (a store of segments, or
    // its finished file not yet renamed); None when it holds none.
    static StreamKind RecordingAt(const std::string& partialPath);
    // The name a recording's file takes for a target: the target when it
    // names a container Dromo writes (.mp4, .m4v, .m4a, .mov, .ts, .mkv,
    // .webm), else the target with ".mp4" for its playlist's extension.
    static std::string OutputTarget(const std::string& target);

    // The whole recording; true when the file is finished.
    bool Run();

    StreamKind Kind() const { return m_kind; }
    const std::string& Failure() const { return m_failure; }
    TransferOutcome FailureOutcome() const { return m_failureOutcome; }
    std::int64_t RetryAfter() const { return m_retryAfter; }
    std::int64_t FinalSize() const { return m_finalSize; }
    // A live recording the user ended: finished as it stood.
    bool EndedLive() const { return m_endedLive; }

private:
    using Clock = std::chrono::steady_clock;
    // A piece waiting to be fetched, or being fetched.
    struct Pending {
        int track = 0;
        std::size_t piece = 0;  // index into the track's pieces; the init section is npos
        ByteRange part;         // of a resource fetched in parts; whole otherwise
        std::int64_t sequence = 0;
        int attempts = 0;
        Clock::time_point notBefore{};
    };

    // Reading the playlists (streamtransfer.cpp).
    bool ReadPlaylists();
    bool FetchText(const std::string& url, std::string& body, std::string& contentType, std::string& answered);
    // `url` is the playlist's as asked for, `answered` where it was
    // answered after redirects, against which its URIs are read.
    bool ReadHls(const std::string& body, const std::string& answered);
    bool ReadHlsMedia(const std::string& body, const std::string& url, const std::string& answered, StreamTrack& track);
    bool ReadDash(const std::string& body, const std::string& answered);
    std::string Identity() const;
    bool Fail(const std::string& message, TransferOutcome outcome = TransferOutcome::Failed);
    void Status(const std::string& message, StatusTone tone = StatusTone::Plain);
    bool Finish();
    bool FinishMuxed(const std::string& destination);

    // Fetching the pieces (streamrecording.cpp).
    bool Record();
    void QueuePieces();
    void QueueTrack(int track, std::size_t from);
    bool StartMore();
    bool StartPiece(Pending& p);
    bool NeedKey(const StreamPiece& piece);
    void OnDone(FetchDone& done);
    void OnPiece(Pending p, FetchDone& done);
    void Retry(Pending p, const FetchDone& done);
    void OnKey(const std::string& url, FetchDone& done);
    void Reload(Clock::time_point now);
    void OnReload(int track, FetchDone& done);
    std::size_t LearnParts(int track, std::int64_t total, bool firstCame);
    const StreamPiece& PieceOf(const Pending& p) const;
    bool Done() const;
    void Progress(bool force);

    StreamContext m_context;
    PartialFile& m_file;
    StreamKind m_kind;
    std::vector<StreamTrack> m_tracks;
    std::vector<std::string> m_trackNames;  // what each is, for the identity
    std::string m_summary;                  // the chosen variant, in words
    std::unique_ptr<StreamStore> m_store;
    std::unique_ptr<StreamFetcher> m_fetcher;
    std::deque<Pending> m_queue;
    std::map<std::uint64_t, Pending> m_running;  // by fetch id
    std::map<std::uint64_t, std::string> m_keyFetches;
    std::map<std::uint64_t, int> m_reloads;  // by fetch id: the track
    std::map<std::string, std::string> m_keys;
    std::map<std::string, int> m_keyAttempts;  // failed fetches of each key
    std::vector<Clock::time_point> m_nextReload;
    std::vector<std::int64_t> m_lastSequence;  // the highest queued of each live track
    std::vector<int> m_reloadFailures;         // in a row, of each live track
    std::uint64_t m_nextId = 1;
    std::size_t m_totalPieces = 0;  // of a recording on demand
    double m_seconds = 0;           // of media held
    bool m_endedLive = false;
    std::string m_failure;
    TransferOutcome m_failureOutcome = TransferOutcome::Failed;
    std::int64_t m_retryAfter = -1;
    std::int64_t m_finalSize = -1;
    Clock::time_point m_lastEvent{};
    Clock::time_point m_lastStatus{};
    Clock::time_point m_lastSync{};
    std::deque<std::pair<Clock::time_point, std::int64_t>> m_recent;  // for the speed
};

}  // namespace dromo
