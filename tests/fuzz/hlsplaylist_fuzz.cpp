// HLS playlists as any server may send them. Whatever comes in, the reader
// returns within its limits, and what it accepts is a playlist a recording
// can follow: absolute http(s) URLs, byte ranges inside one file's bounds,
// keys and maps that exist, sequence numbers that rise by one.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "base/text/hlsplaylist.h"
#include "base/text/parseurl.h"
#include "tests/fuzz/fuzzcheck.h"

namespace dromo::fuzz {
namespace {

void CheckUrl(const std::string& url, std::string_view input)
{
    const auto parsed = ParseUrl(url);
    FUZZ_CHECK(parsed && (url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0),
               "the URL " + Shown(url) + " from " + Shown(input) + " is no http(s) URL");
}

void CheckMedia(const HlsMediaPlaylist& media, std::string_view input)
{
    FUZZ_CHECK(media.segments.size() <= kPlaylistMaxSegments, std::to_string(media.segments.size()) + " segments");
    FUZZ_CHECK(media.targetSeconds >= 0 && media.targetSeconds <= kPlaylistMaxSeconds, Shown(input));
    std::int64_t last = media.mediaSequence - 1;
    for (const HlsSegment& s : media.segments) {
        CheckUrl(s.url, input);
        FUZZ_CHECK(s.sequence > last, "sequence " + std::to_string(s.sequence) + " after " + std::to_string(last));
        last = s.sequence;
        FUZZ_CHECK(s.seconds >= 0 && s.seconds <= kPlaylistMaxSeconds, Shown(input));
        FUZZ_CHECK(s.range.Whole() || (s.range.length > 0 && s.range.offset >= 0 &&
                                       s.range.offset <= std::numeric_limits<std::int64_t>::max() - s.range.length),
                   "a range of " + std::to_string(s.range.length) + " at " + std::to_string(s.range.offset));
        FUZZ_CHECK(s.key < static_cast<int>(media.keys.size()) && s.map < static_cast<int>(media.maps.size()),
                   "a segment names a key or map that is not there");
    }
    for (const HlsKey& k : media.keys) {
        CheckUrl(k.url, input);
        FUZZ_CHECK(k.iv.empty() || k.iv.size() == 16, "an IV of " + std::to_string(k.iv.size()) + " bytes");
    }
    for (const HlsMap& m : media.maps) {
        CheckUrl(m.url, input);
        FUZZ_CHECK(m.key < static_cast<int>(media.keys.size()) &&
                       (m.key < 0 || media.keys[static_cast<std::size_t>(m.key)].iv.size() == 16),
                   "a map whose key has no IV");
    }
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const HlsReading reading = ReadHlsPlaylist(input, "https://cdn.example/a/b/master.m3u8?t=1");
    if (!reading.Ok()) {
        FUZZ_CHECK(reading.masterPlaylist.variants.empty() && reading.media.segments.empty(),
                   "a refused playlist keeps what it read: " + reading.error);
        return 0;
    }
    FUZZ_CHECK(input.size() <= kPlaylistMaxBytes, "a playlist past its limit was read");
    if (reading.master) {
        FUZZ_CHECK(
            !reading.masterPlaylist.variants.empty() && reading.masterPlaylist.variants.size() <= kPlaylistMaxVariants,
            fuzz::Shown(input));
        for (const HlsVariant& v : reading.masterPlaylist.variants) {
            fuzz::CheckUrl(v.url, input);
        }
        for (const HlsRendition& r : reading.masterPlaylist.renditions) {
            FUZZ_CHECK(r.url.empty() || ParseUrl(r.url).has_value(), fuzz::Shown(r.url));
        }
    } else {
        fuzz::CheckMedia(reading.media, input);
    }
    return 0;
}
