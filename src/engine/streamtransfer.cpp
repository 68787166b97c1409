#include "engine/streamtransfer.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <thread>

#include "base/ports/fileclaims.h"
#include "base/ports/progresssink.h"
#include "base/text/filenames.h"
#include "base/text/progresstexts.h"
#include "base/text/trace.h"
#include "base/values/protocoltexts.h"
#include "engine/mpdxml.h"
#include "engine/partialfile.h"
#include "engine/streamfetcher.h"
#include "engine/streammuxer.h"
#include "engine/streamstore.h"

namespace dromo {
namespace {

// On a recording's finished file until it has its final name: a crash in
// between leaves a partial file that is finished, not a store to go on with.
constexpr const char* kMuxedAttribute = "user.dromo.stream";
constexpr const char* kMuxedMark = "muxed ";
constexpr const char* kValidatorAttribute = "user.dromo.validator";
constexpr std::size_t kPlaylistLimit = 8 * 1024 * 1024;
constexpr int kTextAttempts = 4;

std::string WithoutQuery(const std::string& url)
{
    return url.substr(0, url.find_first_of("?#"));
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The kind a joined recording's file was made of; `absent` is set when
// there is no file of that name at all.
std::string MuxedKindAt(const std::string& path, bool& absent)
{
    char value[64];
    const ssize_t n = ::getxattr(path.c_str(), kMuxedAttribute, value, sizeof value);
    absent = n < 0 && errno == ENOENT;
    const std::string text = n > 0 ? std::string(value, static_cast<std::size_t>(n)) : std::string();
    return text.rfind(kMuxedMark, 0) == 0 ? text.substr(std::strlen(kMuxedMark)) : std::string();
}

bool Retried(TransferOutcome outcome)
{
    return outcome == TransferOutcome::ConnectionLost || outcome == TransferOutcome::TimedOut ||
           outcome == TransferOutcome::ServerError || outcome == TransferOutcome::Failed;
}

std::string Kilobits(std::int64_t bits)
{
    return std::to_string((bits + 500) / 1000) + " kbit/s";
}

// What a representation is, for the identity of a recording.
std::string DashTrackName(const DashRepresentation& r)
{
    return "representation " + r.id + " " + std::to_string(r.bandwidth) + " " + WithoutQuery(r.segments.front().url);
}

// A representation in words, for the status.
std::string DashSummary(const DashRepresentation& r)
{
    if (r.audio) {
        return "sound " + Kilobits(r.bandwidth);
    }
    if (r.height > 0) {
        return std::to_string(r.width) + "x" + std::to_string(r.height) + " " + Kilobits(r.bandwidth);
    }
    return "video " + Kilobits(r.bandwidth);
}

}  // namespace

StreamTransfer::StreamTransfer(StreamContext context, PartialFile& file)
    : m_context(std::move(context)), m_file(file), m_kind(m_context.kind)
{
}

StreamTransfer::~StreamTransfer() = default;

StreamKind StreamTransfer::RecordingAt(const std::string& partialPath)
{
    bool absent = false;
    const std::string muxed = MuxedKindAt(partialPath, absent);
    if (!muxed.empty()) {
        return StreamKindNamed(muxed);
    }
    if (absent) {
        return StreamKind::None;  // most downloads: nothing was ever recorded there
    }
    const std::string identity = StreamStore::IdentityOf(partialPath);
    return StreamKindNamed(identity.substr(0, identity.find('\n')));
}

std::string StreamTransfer::OutputTarget(const std::string& target)
{
    if (!StreamMuxer::FormatForName(NameOfPath(target)).empty()) {
        return target;
    }
    const std::string name = NameOfPath(target);
    const std::size_t dot = name.rfind('.');
    std::string stem = target.substr(0, target.size() - name.size()) + name;
    if (dot != std::string::npos && dot > 0 && StreamKindOfName(name) != StreamKind::None) {
        stem = target.substr(0, target.size() - name.size() + dot);
    }
    return stem + ".mp4";
}

void StreamTransfer::Status(const std::string& message, StatusTone tone)
{
    trace::Line("task " + std::to_string(m_context.settings.taskId), message);
    m_context.sink.OnProgress(Progress::Status(m_context.settings.taskId, StatusTimeStamp() + message, tone));
}

bool StreamTransfer::Fail(const std::string& message, TransferOutcome outcome)
{
    if (m_failure.empty()) {
        m_failure = message;
        m_failureOutcome = outcome;
    }
    return false;
}

bool StreamTransfer::Run()
{
    bool absent = false;
    const std::string muxed = MuxedKindAt(m_file.Path(), absent);
    if (!muxed.empty()) {
        m_kind = StreamKindNamed(muxed);  // made into one file before a crash; only its name is missing
        return FinishMuxed(m_file.Target());
    }
    m_fetcher = std::make_unique<StreamFetcher>(m_context.settings, m_context.multi, m_context.hosts,
                                                m_context.configured, m_context.url);
    if (!ReadPlaylists()) {
        return false;
    }
    m_store = std::make_unique<StreamStore>(m_file);
    const std::string error = m_store->Open(Identity());
    if (!error.empty()) {
        return Fail("Fail to open " + m_file.Path() + ": " + error, TransferOutcome::LocalFileError);
    }
    if (m_context.claims != nullptr) {
        m_context.claims->WritingPartialFile(m_file.Target());
    }
    m_context.sink.OnProgress(Progress::Start(m_context.settings.taskId, m_store->PieceBytes()));
    Status(std::string(StreamKindName(m_kind)) + " stream: " + m_summary +
           (m_store->ResumedPieces() > 0 ? ", " + std::to_string(m_store->ResumedPieces()) + " segments already here"
                                         : std::string()));
    return Record() && Finish();
}

// One small text (a playlist), tried again a few times when the network
// or the server fails.
bool StreamTransfer::FetchText(const std::string& url, std::string& body, std::string& contentType,
                               std::string& answered)
{
    for (int attempt = 1;; ++attempt) {
        const std::uint64_t id = m_nextId++;
        if (!m_fetcher->Start(FetchJob{id, url, {}, kPlaylistLimit})) {
            return Fail("Error - no connection could be made for " + url);
        }
        std::vector<FetchDone> ended;
        while (ended.empty()) {
            if (m_context.abort) {
                return Fail(texts::kCancelledByUser, TransferOutcome::Cancelled);
            }
            ended = m_fetcher->Step(200);
        }
        FetchDone& done = ended.front();
        if (done.ok) {
            body = std::move(done.body);
            contentType = done.contentType;
            answered = done.url;  // what its relative URIs are read against
            return true;
        }
        if (attempt == kTextAttempts || !Retried(done.outcome)) {
            m_retryAfter = done.retryAfter;
            return Fail(done.error, done.outcome);
        }
        Status(done.error + "; trying again", StatusTone::Failure);
        for (int wait = 0; wait < attempt * 5 && !m_context.abort; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
}

bool StreamTransfer::ReadPlaylists()
{
    std::string body;
    std::string type;
    std::string answered;
    if (!FetchText(m_context.url, body, type, answered)) {
        return false;
    }
    if (m_kind == StreamKind::None) {
        m_kind = StreamKindOfType(type);
    }
    if (m_kind == StreamKind::None) {
        m_kind = LooksLikeHlsPlaylist(body.substr(0, 4096)) ? StreamKind::Hls
                 : body.find("<MPD") != std::string::npos   ? StreamKind::Dash
                                                            : StreamKind::None;
    }
    switch (m_kind) {
    case StreamKind::Hls: return ReadHls(body, answered);
    case StreamKind::Dash: return ReadDash(body, answered);
    case StreamKind::None: break;
    }
    return Fail("Fail - " + m_context.url + " answers with neither an HLS playlist nor a DASH manifest");
}

bool StreamTransfer::ReadHlsMedia(const std::string& body, const std::string& url, const std::string& answered,
                                  StreamTrack& track)
{
    const HlsReading reading = ReadHlsPlaylist(body, answered);
    if (!reading.Ok()) {
        return Fail("Fail - the playlist " + url + " cannot be recorded: " + reading.error);
    }
    if (reading.master) {
        return Fail("Fail - the playlist " + url + " names other playlists where its segments should be");
    }
    std::string why;
    const std::optional<StreamTrack> read = TrackOfHls(reading.media, url, why);
    if (!read) {
        return Fail("Fail - the playlist " + url + " cannot be recorded: " + why);
    }
    track = *read;
    return true;
}

bool StreamTransfer::ReadHls(const std::string& body, const std::string& answered)
{
    const HlsReading reading = ReadHlsPlaylist(body, answered);
    if (!reading.Ok()) {
        return Fail("Fail - the playlist cannot be recorded: " + reading.error);
    }
    if (!reading.master) {
        StreamTrack track;
        if (!ReadHlsMedia(body, m_context.url, answered, track)) {
            return false;
        }
        m_tracks.push_back(std::move(track));
        m_trackNames.push_back(WithoutQuery(m_context.url));
        m_summary = "one variant";
        return true;
    }
    const HlsMasterPlaylist& master = reading.masterPlaylist;
    const HlsChoice choice = ChooseHls(master, VariantChoice::Parse(m_context.variant).value_or(VariantChoice()));
    const HlsVariant& variant = master.variants[static_cast<std::size_t>(choice.variant)];
    m_summary = (variant.height > 0 ? std::to_string(variant.width) + "x" + std::to_string(variant.height) + ", "
                                    : std::string()) +
                Kilobits(variant.bandwidth);
    std::vector<std::string> urls = {variant.url};
    if (choice.audio >= 0) {
        const HlsRendition& audio = master.renditions[static_cast<std::size_t>(choice.audio)];
        urls.push_back(audio.url);
        m_summary += ", sound \"" + audio.name + "\"";
    }
    for (const std::string& media : urls) {
        std::string text;
        std::string type;
        std::string mediaAnswered;
        StreamTrack track;
        if (!FetchText(media, text, type, mediaAnswered) || !ReadHlsMedia(text, media, mediaAnswered, track)) {
            return false;
        }
        m_tracks.push_back(std::move(track));
        m_trackNames.push_back(WithoutQuery(media));
    }
    return true;
}

bool StreamTransfer::ReadDash(const std::string& body, const std::string& answered)
{
    const DashReading reading = MpdXml::Read(body, answered);
    if (!reading.Ok()) {
        return Fail("Fail - the manifest cannot be recorded: " + reading.error);
    }
    const DashChoice choice = ChooseDash(reading, VariantChoice::Parse(m_context.variant).value_or(VariantChoice()));
    for (const int index : {choice.video, choice.audio}) {
        if (index < 0) {
            continue;
        }
        const DashRepresentation& r = reading.representations[static_cast<std::size_t>(index)];
        m_tracks.push_back(TrackOfDash(r));
        m_trackNames.push_back(DashTrackName(r));
        m_summary += (m_summary.empty() ? "" : ", ") + DashSummary(r);
    }
    return true;
}

// What the store holds: a resume goes on only with the same tracks.
std::string StreamTransfer::Identity() const
{
    std::string identity = StreamKindName(m_kind);
    for (const std::string& name : m_trackNames) {
        identity += "\n" + name;
    }
    return identity;
}

bool StreamTransfer::Finish()
{
    std::vector<std::vector<StreamStore::Span>> spans;
    for (int t = 0; t < static_cast<int>(m_tracks.size()); ++t) {
        std::vector<StreamStore::Span> track = m_store->TrackSpans(t);
        if (!track.empty()) {
            spans.push_back(std::move(track));
        }
    }
    if (spans.empty()) {
        return m_endedLive ? Fail(texts::kCancelledByUser, TransferOutcome::Cancelled)
                           : Fail("Error - the recording holds no segment");
    }
    std::string destination = m_file.Target();
    std::string format = StreamMuxer::FormatForName(NameOfPath(destination));
    if (!StreamMuxer::Fits(m_store->Path(), spans, format)) {
        if (!m_context.renamed || format != "mp4") {
            return Fail("Fail - the stream's video or sound cannot go into a file named " + NameOfPath(destination) +
                        "; name it .mkv");
        }
        destination = destination.substr(0, destination.size() - 4) + ".mkv";
        format = "matroska";
    }
    Status("Making one file of " + std::to_string(m_store->PieceCount()) + " segments...");
    const std::string temporary = m_file.Path() + ".mux";
    // A live recording the user ended is made into its file all the same.
    static const std::atomic<bool> kNever{false};
    const std::string error =
        StreamMuxer::Mux(m_store->Path(), spans, temporary, format, m_endedLive ? kNever : m_context.abort);
    if (!error.empty()) {
        ::unlink(temporary.c_str());
        if (m_context.abort && !m_endedLive) {
            return Fail(texts::kCancelledByUser, TransferOutcome::Cancelled);
        }
        return Fail("Error - the recording cannot be made into one file: " + error);
    }
    const std::string mark = kMuxedMark + std::string(StreamKindName(m_kind));
    ::setxattr(temporary.c_str(), kValidatorAttribute, "", 0, 0);
    ::setxattr(temporary.c_str(), kMuxedAttribute, mark.data(), mark.size(), 0);
    m_file.Close();  // the file of that name is the joined one from now on
    if (::rename(temporary.c_str(), m_file.Path().c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(temporary.c_str());
        return Fail("Error renaming " + temporary + " to " + m_file.Path() + ": " + why,
                    TransferOutcome::LocalFileError);
    }
    return FinishMuxed(destination);
}

bool StreamTransfer::FinishMuxed(const std::string& destination)
{
    FileClaims* claims = m_context.claims;
    const auto mayTake = [claims](const std::string& path) {
        return claims == nullptr || (!Exists(path) && claims->Claim(path));
    };
    const std::string error = m_file.Finish(destination, mayTake);
    if (!error.empty()) {
        if (claims != nullptr) {
            claims->Claim(m_file.Target());
        }
        return Fail("Error renaming " + m_file.Path() + " to " + destination + ": " + error,
                    TransferOutcome::LocalFileError);
    }
    ::removexattr(m_file.Target().c_str(), kMuxedAttribute);
    struct stat st {};
    m_finalSize = ::stat(m_file.Target().c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : 0;
    m_context.fileSize = m_finalSize;
    m_context.sink.OnProgress(Progress::Bytes(m_context.settings.taskId, m_finalSize, 0));
    return true;
}

}  // namespace dromo
