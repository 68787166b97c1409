// StreamTransfer's fetching of the pieces: the queue, keys, retries, live
// playlists read again, progress.

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "base/ports/progresssink.h"
#include "base/text/progresstexts.h"
#include "base/text/trace.h"
#include "base/values/protocoltexts.h"
#include "engine/partialfile.h"
#include "engine/segmentcipher.h"
#include "engine/streamfetcher.h"
#include "engine/streamstore.h"
#include "engine/streamtransfer.h"

namespace dromo {
namespace {

constexpr std::size_t kPieceLimit = 64 * 1024 * 1024;
// A resource that holds a whole representation is fetched in parts this large.
constexpr std::int64_t kPartBytes = 4 * 1024 * 1024;
constexpr int kPieceAttempts = 6;
constexpr int kKeyAttempts = 4;
// A live playlist that cannot be read this many times in a row has ended.
constexpr int kReloadFailures = 10;
constexpr std::size_t kInit = std::numeric_limits<std::size_t>::max();
constexpr std::chrono::seconds kSpeedWindow{2};
constexpr std::chrono::seconds kSyncStep{2};

std::string MediaTime(double seconds)
{
    const auto whole = static_cast<long long>(std::llround(std::max(seconds, 0.0)));
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    }
    return text;
}

// A segment a live server does not have yet (a CDN still filling) comes a
// moment later; one missing from a finished stream is missing.
bool Retriable(TransferOutcome outcome, bool live)
{
    return outcome == TransferOutcome::ConnectionLost || outcome == TransferOutcome::TimedOut ||
           outcome == TransferOutcome::ServerError || outcome == TransferOutcome::Failed ||
           (live && outcome == TransferOutcome::NotFound);
}

}  // namespace

const StreamPiece& StreamTransfer::PieceOf(const Pending& p) const
{
    const StreamTrack& track = m_tracks[static_cast<std::size_t>(p.track)];
    return p.piece == kInit ? *track.init : track.pieces[p.piece];
}

// Every piece not held yet, in the order of its place in time, so the
// tracks advance together; each track's init section first.
void StreamTransfer::QueuePieces()
{
    struct Entry {
        double start;
        int track;
        std::size_t piece;
    };
    std::vector<Entry> entries;
    m_totalPieces = 0;
    for (int t = 0; t < static_cast<int>(m_tracks.size()); ++t) {
        const StreamTrack& track = m_tracks[static_cast<std::size_t>(t)];
        if (track.init) {
            entries.push_back({-1, t, kInit});
            ++m_totalPieces;
        }
        if (track.wholeFile) {
            const std::int64_t length = m_store->Length(t);
            if (length >= 0) {
                m_totalPieces += LearnParts(t, length, false);
            } else {
                m_queue.push_back(Pending{t, 0, ByteRange{0, kPartBytes}, 0, 0, {}});
                ++m_totalPieces;
            }
            continue;
        }
        double start = 0;
        for (std::size_t i = 0; i < track.pieces.size(); ++i) {
            entries.push_back({start, t, i});
            start += track.pieces[i].seconds;
        }
        m_totalPieces += track.pieces.size();
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.start < b.start; });
    for (const Entry& e : entries) {
        const StreamTrack& track = m_tracks[static_cast<std::size_t>(e.track)];
        const std::int64_t sequence = e.piece == kInit ? -1 : track.pieces[e.piece].sequence;
        if (!m_store->Has(e.track, sequence)) {
            m_queue.push_back(Pending{e.track, e.piece, {}, sequence, 0, {}});
        } else if (e.piece != kInit && e.track == 0) {
            m_seconds += track.pieces[e.piece].seconds;
        }
    }
}

// The parts of a resource whose length is known now, but those held (and
// the first, when it just came); how many there are.
std::size_t StreamTransfer::LearnParts(int track, std::int64_t total, bool firstCame)
{
    const std::int64_t parts = std::max<std::int64_t>((total + kPartBytes - 1) / kPartBytes, 1);
    const double seconds = m_tracks[static_cast<std::size_t>(track)].pieces.front().seconds;
    for (std::int64_t k = firstCame ? 1 : 0; k < parts; ++k) {
        const ByteRange range{k * kPartBytes, std::min(kPartBytes, total - k * kPartBytes)};
        if (!m_store->Has(track, k)) {
            m_queue.push_back(Pending{track, 0, range, k, 0, {}});
        } else if (track == 0) {
            m_seconds += seconds / static_cast<double>(parts);
        }
    }
    return static_cast<std::size_t>(parts);
}

bool StreamTransfer::Record()
{
    const auto now = Clock::now();
    for (const StreamTrack& track : m_tracks) {
        m_nextReload.push_back(now + std::chrono::milliseconds(static_cast<int>(track.targetSeconds * 1000)));
        std::int64_t last = -1;
        for (const StreamPiece& p : track.pieces) {
            last = std::max(last, p.sequence);
        }
        m_lastSequence.push_back(last);
        m_reloadFailures.push_back(0);
    }
    QueuePieces();
    m_lastStatus = now;
    for (;;) {
        if (!m_failure.empty()) {
            return false;
        }
        if (m_context.abort) {
            if (std::none_of(m_tracks.begin(), m_tracks.end(), [](const StreamTrack& t) { return t.live; })) {
                return Fail(texts::kCancelledByUser, TransferOutcome::Cancelled);
            }
            m_endedLive = true;
            Status("Recording ended by the user after " + MediaTime(m_seconds));
            break;
        }
        Reload(Clock::now());
        StartMore();
        if (Done()) {
            break;
        }
        for (FetchDone& done : m_fetcher->Step(m_fetcher->Running() > 0 ? 200 : 100)) {
            OnDone(done);
        }
        Progress(false);
    }
    m_store->Sync();
    Progress(true);
    return m_failure.empty();
}

bool StreamTransfer::Done() const
{
    return m_queue.empty() && m_running.empty() && m_keyFetches.empty() && m_reloads.empty() &&
           std::none_of(m_tracks.begin(), m_tracks.end(), [](const StreamTrack& t) { return t.live; });
}

bool StreamTransfer::NeedKey(const StreamPiece& piece)
{
    if (piece.keyUrl.empty() || m_keys.count(piece.keyUrl) != 0) {
        return false;
    }
    const bool fetching = std::any_of(m_keyFetches.begin(), m_keyFetches.end(),
                                      [&piece](const auto& k) { return k.second == piece.keyUrl; });
    if (!fetching && m_fetcher->Free() > 0) {
        const std::uint64_t id = m_nextId++;
        if (m_fetcher->Start(FetchJob{id, piece.keyUrl, {}, 1024})) {
            m_keyFetches[id] = piece.keyUrl;
        }
    }
    return true;
}

// Starts the first pieces of the queue that may go now, while connections
// are free; a piece whose key is not here yet waits for it.
bool StreamTransfer::StartMore()
{
    const auto now = Clock::now();
    std::size_t looked = 0;
    for (auto it = m_queue.begin(); it != m_queue.end() && m_fetcher->Free() > 0 && looked < 64; ++looked) {
        if (it->notBefore > now || NeedKey(PieceOf(*it))) {
            ++it;
            continue;
        }
        Pending p = *it;
        if (!StartPiece(p)) {
            break;  // its host has all its connections: the next round
        }
        it = m_queue.erase(it);
    }
    return true;
}

bool StreamTransfer::StartPiece(Pending& p)
{
    const StreamPiece& piece = PieceOf(p);
    const std::uint64_t id = m_nextId++;
    const ByteRange range = p.part.Whole() ? piece.range : p.part;
    if (!m_fetcher->Start(FetchJob{id, piece.url, range, kPieceLimit})) {
        return false;
    }
    m_running[id] = p;
    return true;
}

void StreamTransfer::OnDone(FetchDone& done)
{
    if (const auto piece = m_running.find(done.id); piece != m_running.end()) {
        const Pending p = piece->second;
        m_running.erase(piece);
        OnPiece(p, done);
    } else if (const auto key = m_keyFetches.find(done.id); key != m_keyFetches.end()) {
        const std::string url = std::move(key->second);
        m_keyFetches.erase(key);
        OnKey(url, done);
    } else if (const auto reload = m_reloads.find(done.id); reload != m_reloads.end()) {
        const int track = reload->second;
        m_reloads.erase(reload);
        OnReload(track, done);
    }
}

void StreamTransfer::OnPiece(Pending p, FetchDone& done)
{
    if (!done.ok) {
        Retry(p, done);
        return;
    }
    const StreamPiece& piece = PieceOf(p);
    StreamTrack& track = m_tracks[static_cast<std::size_t>(p.track)];
    if (track.wholeFile && m_store->Length(p.track) < 0) {
        const std::string error = m_store->NoteLength(p.track, done.total);
        if (!error.empty()) {
            Fail("Error writing " + m_file.Path() + ": " + error, TransferOutcome::LocalFileError);
            return;
        }
        m_totalPieces += LearnParts(p.track, done.total, true) - 1;
    }
    std::string bytes = std::move(done.body);
    if (!piece.keyUrl.empty()) {
        const std::optional<std::string> clear = SegmentCipher::Decrypt(m_keys[piece.keyUrl], piece.iv, bytes);
        if (!clear) {
            Fail("Error - segment " + std::to_string(p.sequence) + " cannot be decrypted with its key " + piece.keyUrl);
            return;
        }
        bytes = *clear;
    }
    const std::string error = m_store->Append(p.track, p.sequence, bytes);
    if (!error.empty()) {
        Fail("Error writing " + m_file.Path() + ": " + error, TransferOutcome::LocalFileError);
        return;
    }
    const std::int64_t parts =
        track.wholeFile ? std::max<std::int64_t>((m_store->Length(p.track) + kPartBytes - 1) / kPartBytes, 1) : 1;
    if (p.track == 0 && p.piece != kInit) {
        m_seconds += piece.seconds / static_cast<double>(parts);  // the first track's time is the recording's
    }
    Progress(false);
}

// A piece that failed goes back to the front of the queue after a pause
// that grows with each try (or the server's Retry-After); one that keeps
// failing fails a recording on demand, and is left out of a live one,
// whose server has moved on.
void StreamTransfer::Retry(Pending p, const FetchDone& done)
{
    ++p.attempts;
    const bool live = m_tracks[static_cast<std::size_t>(p.track)].live;
    const std::string which =
        p.piece == kInit ? std::string("the initialization section") : "segment " + std::to_string(p.sequence);
    if (p.attempts >= kPieceAttempts || !Retriable(done.outcome, live)) {
        if (live && p.piece != kInit) {
            Status(done.error + " (" + which + "); left out of the recording", StatusTone::Failure);
            return;
        }
        m_retryAfter = done.retryAfter;
        Fail(done.error + " (" + which + ")", done.outcome);
        return;
    }
    const std::int64_t wait = done.retryAfter > 0 ? std::min<std::int64_t>(done.retryAfter, 60)
                                                  : std::int64_t{1} << std::min(p.attempts - 1, 4);
    p.notBefore = Clock::now() + std::chrono::seconds(wait);
    Status(done.error + " (" + which + "); trying again in " + std::to_string(wait) + " s", StatusTone::Failure);
    m_queue.push_front(p);
}

void StreamTransfer::OnKey(const std::string& url, FetchDone& done)
{
    if (done.ok && done.body.size() == 16) {
        m_keys[url] = std::move(done.body);
        return;
    }
    if (++m_keyAttempts[url] >= kKeyAttempts || (!done.ok && !Retriable(done.outcome, m_tracks.front().live))) {
        Fail(done.ok ? "Error - the key " + url + " is not 16 bytes long" : done.error + " (the key " + url + ")",
             done.ok ? TransferOutcome::Failed : done.outcome);
    }
}

// A live playlist is read again once a target duration after it last
// brought new segments, half of that after it brought none (RFC 8216
// section 6.3.4).
void StreamTransfer::Reload(Clock::time_point now)
{
    for (int t = 0; t < static_cast<int>(m_tracks.size()); ++t) {
        const StreamTrack& track = m_tracks[static_cast<std::size_t>(t)];
        const bool reloading =
            std::any_of(m_reloads.begin(), m_reloads.end(), [t](const auto& r) { return r.second == t; });
        if (!track.live || reloading || now < m_nextReload[static_cast<std::size_t>(t)]) {
            continue;
        }
        const std::uint64_t id = m_nextId++;
        if (m_fetcher->Start(FetchJob{id, track.playlistUrl, {}, 8 * 1024 * 1024})) {
            m_reloads[id] = t;
        }
    }
}

void StreamTransfer::OnReload(int t, FetchDone& done)
{
    StreamTrack& track = m_tracks[static_cast<std::size_t>(t)];
    const auto target = std::chrono::milliseconds(static_cast<int>(std::max(track.targetSeconds, 0.5) * 1000));
    const HlsReading reading = done.ok ? ReadHlsPlaylist(done.body, done.url) : HlsReading();
    std::string why;
    const std::optional<StreamTrack> read =
        done.ok && reading.Ok() && !reading.master ? TrackOfHls(reading.media, track.playlistUrl, why) : std::nullopt;
    int& failures = m_reloadFailures[static_cast<std::size_t>(t)];
    if (!read) {
        // A live playlist that fails once is read again, not the end.
        m_nextReload[static_cast<std::size_t>(t)] = Clock::now() + target / 2;
        if (++failures >= kReloadFailures) {
            track.live = false;
            Status("The live playlist could not be read " + std::to_string(kReloadFailures) +
                   " times: the recording ends here");
        }
        return;
    }
    failures = 0;
    const StreamTrack& reloaded = *read;
    bool added = false;
    std::int64_t& last = m_lastSequence[static_cast<std::size_t>(t)];
    for (const StreamPiece& piece : reloaded.pieces) {
        if (piece.sequence > last) {
            track.pieces.push_back(piece);
            m_queue.push_back(Pending{t, track.pieces.size() - 1, {}, piece.sequence, 0, {}});
            ++m_totalPieces;
            last = piece.sequence;
            added = true;
        }
    }
    if (!track.init && reloaded.init) {
        track.init = reloaded.init;
        m_queue.push_front(Pending{t, kInit, {}, -1, 0, {}});
    }
    track.live = reloaded.live;
    track.targetSeconds = reloaded.targetSeconds;
    m_nextReload[static_cast<std::size_t>(t)] = Clock::now() + (added ? target : target / 2);
}

void StreamTransfer::Progress(bool force)
{
    const auto now = Clock::now();
    if (!force && now - m_lastEvent < std::chrono::milliseconds(std::max(m_context.settings.refreshMs, 50))) {
        return;
    }
    m_lastEvent = now;
    const std::int64_t bytes = m_store->PieceBytes() + m_fetcher->InFlight();
    m_recent.emplace_back(now, m_fetcher->Received());
    while (m_recent.size() > 2 && now - m_recent[1].first >= kSpeedWindow) {
        m_recent.pop_front();
    }
    const double span = std::chrono::duration<double>(now - m_recent.front().first).count();
    const auto speed =
        span > 0
            ? static_cast<std::int64_t>(static_cast<double>(m_recent.back().second - m_recent.front().second) / span)
            : 0;
    const bool live = std::any_of(m_tracks.begin(), m_tracks.end(), [](const StreamTrack& t) { return t.live; });
    const std::size_t held = m_store->PieceCount();
    if (!live && held > 0 && m_totalPieces > 0) {
        // What the whole will come to, by what each piece brought so far.
        m_context.fileSize = std::max<std::int64_t>(
            bytes, static_cast<std::int64_t>(static_cast<double>(m_store->PieceBytes()) / static_cast<double>(held) *
                                             static_cast<double>(m_totalPieces)));
    }
    m_context.sink.OnProgress(Progress::Bytes(m_context.settings.taskId, bytes, speed));
    if (force || now - m_lastStatus >= std::chrono::seconds(1)) {
        m_lastStatus = now;
        double total = 0;
        for (const StreamTrack& t : m_tracks) {
            total = std::max(total, t.Seconds());
        }
        Status(live ? "Recording live: " + std::to_string(held) + " segments, " + MediaTime(m_seconds)
                    : "Segment " + std::to_string(held) + " of " + std::to_string(m_totalPieces) + ", " +
                          MediaTime(std::min(m_seconds, total)) + " of " + MediaTime(total));
    }
    if (now - m_lastSync >= kSyncStep) {
        m_lastSync = now;
        m_store->Sync();  // what a power cut may not take back
    }
}

}  // namespace dromo
