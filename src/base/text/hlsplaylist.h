#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dromo {

// What an HLS playlist may hold at most: more is refused as a whole, so a
// hostile playlist costs bounded memory and time.
inline constexpr std::size_t kPlaylistMaxBytes = 8 * 1024 * 1024;
inline constexpr std::size_t kPlaylistMaxSegments = 100000;
inline constexpr std::size_t kPlaylistMaxVariants = 1000;
// The longest a segment or a target duration may say it lasts, in seconds.
inline constexpr double kPlaylistMaxSeconds = 86400;

// A part of a resource: `length` bytes from `offset`; the whole resource
// when `length` is -1.
struct ByteRange {
    std::int64_t offset = 0;
    std::int64_t length = -1;

    bool Whole() const { return length < 0; }
    bool operator==(const ByteRange&) const = default;
};

// An AES-128 key a playlist names: where to fetch its 16 bytes, and the
// initialisation vector when the tag gives one (16 bytes; empty: the
// segment's media sequence number is the vector).
struct HlsKey {
    std::string url;
    std::string iv;
};

// A media initialisation section (EXT-X-MAP): fMP4's init segment.
struct HlsMap {
    std::string url;
    ByteRange range;
    int key = -1;  // the key it is encrypted with (one with an IV), or -1
};

struct HlsSegment {
    std::string url;  // absolute
    ByteRange range;
    double seconds = 0;
    std::int64_t sequence = 0;  // its media sequence number
    int key = -1;               // index into HlsMediaPlaylist::keys; -1 when in the clear
    int map = -1;               // index into HlsMediaPlaylist::maps; -1 when it needs none
    bool discontinuity = false;
};

// A media playlist (RFC 8216 section 4.3.3): the segments of one rendition.
struct HlsMediaPlaylist {
    double targetSeconds = 0;
    std::int64_t mediaSequence = 0;
    bool ended = false;  // EXT-X-ENDLIST: no segment will be added
    std::vector<HlsSegment> segments;
    std::vector<HlsKey> keys;
    std::vector<HlsMap> maps;

    double Seconds() const;
};

// A variant stream of a master playlist (EXT-X-STREAM-INF).
struct HlsVariant {
    std::string url;
    std::int64_t bandwidth = 0;  // bits per second
    int width = 0;               // 0 when the tag says none
    int height = 0;
    std::string codecs;
    std::string audioGroup;  // AUDIO=
    std::string videoGroup;  // VIDEO=
};

// A rendition (EXT-X-MEDIA) of a group of a master playlist.
struct HlsRendition {
    std::string type;  // AUDIO, VIDEO, SUBTITLES, CLOSED-CAPTIONS
    std::string groupId;
    std::string name;
    std::string language;
    std::string url;  // "" when it is carried in the variant's own stream
    bool isDefault = false;
    bool autoSelect = false;
};

struct HlsMasterPlaylist {
    std::vector<HlsVariant> variants;
    std::vector<HlsRendition> renditions;
};

// A playlist read: a master or a media playlist, or why it cannot be used
// (one English text, "Line N: " first where a line is known).
struct HlsReading {
    bool master = false;
    HlsMasterPlaylist masterPlaylist;
    HlsMediaPlaylist media;
    std::string error;

    bool Ok() const { return error.empty(); }
};

// Reads an HLS playlist (RFC 8216) fetched from `url` (absolute), against
// which its relative URIs are resolved. Refused: anything not starting with
// "#EXTM3U", content protected by DRM (SAMPLE-AES, a KEYFORMAT other than
// "identity", a key that is no http(s) URL), a media playlist without
// EXT-X-TARGETDURATION, a byte range that follows no range of the same
// resource, a playlist past the limits above.
HlsReading ReadHlsPlaylist(std::string_view text, std::string_view url);

// True when the first bytes of an answer are an HLS playlist's: "#EXTM3U"
// (after a byte-order mark) followed by an "#EXT-X-" tag among them, so an
// ordinary extended M3U list of songs stays a file.
bool LooksLikeHlsPlaylist(std::string_view firstBytes);

}  // namespace dromo
