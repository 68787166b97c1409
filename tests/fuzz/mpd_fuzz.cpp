// DASH manifests as any server may send them. Whatever comes in, the reader
// returns within its limits, and what it accepts are representations a
// recording can fetch: absolute http(s) URLs, ranges inside a file's
// bounds, a bounded count of segments.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "base/text/parseurl.h"
#include "engine/mpdxml.h"
#include "tests/fuzz/fuzzcheck.h"

namespace dromo::fuzz {
namespace {

void CheckSegment(const DashSegment& s, std::string_view input)
{
    FUZZ_CHECK(ParseUrl(s.url).has_value() && (s.url.rfind("http://", 0) == 0 || s.url.rfind("https://", 0) == 0),
               "the URL " + Shown(s.url) + " from " + Shown(input) + " is no http(s) URL");
    FUZZ_CHECK(s.range.Whole() || (s.range.length > 0 && s.range.offset >= 0 &&
                                   s.range.offset <= std::numeric_limits<std::int64_t>::max() - s.range.length),
               "a range of " + std::to_string(s.range.length) + " at " + std::to_string(s.range.offset));
    FUZZ_CHECK(s.seconds >= 0, "a segment of " + std::to_string(s.seconds) + " seconds");
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const DashReading reading = MpdXml::Read(input, "https://cdn.example/a/manifest.mpd");
    if (!reading.Ok()) {
        FUZZ_CHECK(reading.representations.empty(), "a refused manifest keeps what it read: " + reading.error);
        return 0;
    }
    FUZZ_CHECK(!reading.representations.empty() && reading.representations.size() <= kManifestMaxRepresentations,
               fuzz::Shown(input));
    for (const DashRepresentation& rep : reading.representations) {
        FUZZ_CHECK(!rep.segments.empty() && rep.segments.size() <= kManifestMaxSegments,
                   std::to_string(rep.segments.size()) + " segments");
        FUZZ_CHECK(!rep.wholeFile || rep.segments.size() == 1, "a whole file in several segments");
        if (!rep.init.url.empty()) {
            fuzz::CheckSegment(rep.init, input);
        }
        for (const DashSegment& s : rep.segments) {
            fuzz::CheckSegment(s, input);
        }
    }
    return 0;
}
