#include "base/text/streamtracks.h"

#include <algorithm>

namespace dromo {
namespace {

// The IV of a segment whose key gives none: its media sequence number as a
// 128-bit big-endian number (RFC 8216 section 5.2).
std::string SequenceIv(std::int64_t sequence)
{
    std::string iv(16, '\0');
    auto value = static_cast<std::uint64_t>(sequence);
    for (int i = 15; i >= 8; --i) {
        iv[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
    return iv;
}

bool HasVideo(const HlsVariant& v)
{
    if (v.height > 0 || v.width > 0) {
        return true;
    }
    if (v.codecs.empty()) {
        return true;  // says nothing: taken for a whole program
    }
    // "mp4a.40.2" alone is sound only.
    for (const char* video : {"avc", "hvc", "hev", "vp0", "vp9", "av01", "mp4v", "dvh"}) {
        if (v.codecs.find(video) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

double StreamTrack::Seconds() const
{
    double total = 0;
    for (const StreamPiece& p : pieces) {
        total += p.seconds;
    }
    return total;
}

std::optional<StreamTrack> TrackOfHls(const HlsMediaPlaylist& playlist, const std::string& playlistUrl,
                                      std::string& why)
{
    StreamTrack track;
    track.playlistUrl = playlistUrl;
    track.live = !playlist.ended;
    track.targetSeconds = playlist.targetSeconds;
    const HlsMap* map = nullptr;
    for (const HlsSegment& s : playlist.segments) {
        if (s.map >= 0) {
            const HlsMap& m = playlist.maps[static_cast<std::size_t>(s.map)];
            if (map != nullptr && (m.url != map->url || m.range != map->range)) {
                why =
                    "the stream changes its initialization section (EXT-X-MAP) on the way, which one file "
                    "cannot hold";
                return std::nullopt;
            }
            map = &m;
        }
        StreamPiece piece{s.url, s.range, s.seconds, s.sequence, {}, {}};
        if (s.key >= 0) {
            const HlsKey& key = playlist.keys[static_cast<std::size_t>(s.key)];
            piece.keyUrl = key.url;
            piece.iv = key.iv.empty() ? SequenceIv(s.sequence) : key.iv;
        }
        track.pieces.push_back(std::move(piece));
    }
    if (map != nullptr) {
        StreamPiece init{map->url, map->range, 0, -1, {}, {}};
        if (map->key >= 0) {
            const HlsKey& key = playlist.keys[static_cast<std::size_t>(map->key)];
            init.keyUrl = key.url;
            init.iv = key.iv;
        }
        track.init = std::move(init);
    }
    return track;
}

StreamTrack TrackOfDash(const DashRepresentation& representation)
{
    StreamTrack track;
    track.wholeFile = representation.wholeFile;
    if (!representation.init.url.empty()) {
        track.init = StreamPiece{representation.init.url, representation.init.range, 0, -1, {}, {}};
    }
    std::int64_t index = 0;
    for (const DashSegment& s : representation.segments) {
        track.pieces.push_back(StreamPiece{s.url, s.range, s.seconds, index++, {}, {}});
    }
    return track;
}

HlsChoice ChooseHls(const HlsMasterPlaylist& master, const VariantChoice& choice)
{
    std::vector<VariantChoice::Offer> offers;
    for (const HlsVariant& v : master.variants) {
        offers.push_back({v.width, v.height, v.bandwidth, HasVideo(v)});
    }
    HlsChoice out;
    out.variant = choice.Pick(offers);
    if (out.variant < 0) {
        return out;
    }
    const std::string& group = master.variants[static_cast<std::size_t>(out.variant)].audioGroup;
    if (group.empty()) {
        return out;
    }
    // The default rendition of the group, else its first with a URI. One
    // without a URI is carried in the variant itself.
    bool found = false;
    for (int pass = 0; pass < 2 && !found; ++pass) {
        for (std::size_t i = 0; i < master.renditions.size() && !found; ++i) {
            const HlsRendition& r = master.renditions[i];
            if (r.type == "AUDIO" && r.groupId == group && (pass == 1 || r.isDefault)) {
                out.audio = r.url.empty() ? -1 : static_cast<int>(i);
                found = true;
            }
        }
    }
    return out;
}

DashChoice ChooseDash(const DashReading& manifest, const VariantChoice& choice)
{
    std::vector<VariantChoice::Offer> video;
    std::vector<int> videoIndex;
    DashChoice out;
    for (std::size_t i = 0; i < manifest.representations.size(); ++i) {
        const DashRepresentation& r = manifest.representations[i];
        if (r.audio) {
            const bool better =
                out.audio < 0 ||
                (choice.Stored() == "lowest"
                     ? r.bandwidth < manifest.representations[static_cast<std::size_t>(out.audio)].bandwidth
                     : r.bandwidth > manifest.representations[static_cast<std::size_t>(out.audio)].bandwidth);
            if (better) {
                out.audio = static_cast<int>(i);
            }
        } else {
            video.push_back({r.width, r.height, r.bandwidth, true});
            videoIndex.push_back(static_cast<int>(i));
        }
    }
    const int picked = choice.Pick(video);
    out.video = picked < 0 ? -1 : videoIndex[static_cast<std::size_t>(picked)];
    return out;
}

}  // namespace dromo
