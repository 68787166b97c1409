#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text/hlsplaylist.h"

namespace dromo {

// What a DASH manifest may hold at most: more is refused as a whole.
inline constexpr std::size_t kManifestMaxBytes = 8 * 1024 * 1024;
inline constexpr std::size_t kManifestMaxElements = 100000;
inline constexpr std::size_t kManifestMaxSegments = 100000;  // per representation
inline constexpr std::size_t kManifestMaxRepresentations = 1000;

// An element of a manifest (MPD) as the XML reader hands it over: only
// elements of the MPD namespace, by their local names; the text of one that
// holds text (BaseURL).
struct MpdElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;
    std::vector<MpdElement> children;
    int line = 0;

    // The attribute's value; nothing when the element has none of that name.
    const std::string* Attribute(std::string_view attribute) const;
};

struct DashSegment {
    std::string url;
    ByteRange range;
    double seconds = 0;
};

// One representation of a video or audio adaptation set, with every
// segment it is fetched as.
struct DashRepresentation {
    std::string id;
    bool audio = false;  // else video
    std::int64_t bandwidth = 0;
    int width = 0;
    int height = 0;
    std::string codecs;
    // The initialisation segment; its url is "" when there is none.
    DashSegment init;
    std::vector<DashSegment> segments;
    // One resource holds it all (SegmentBase, or a BaseURL alone):
    // `segments` then holds that resource whole, to be fetched in pieces.
    bool wholeFile = false;
};

// A manifest read: its representations, or why it cannot be used (one
// English text, "Line N: " first where a line is known).
struct DashReading {
    double seconds = 0;
    std::vector<DashRepresentation> representations;
    std::string error;

    bool Ok() const { return error.empty(); }
};

// The representations of a static manifest fetched from `url` (absolute),
// every segment's URL resolved through the BaseURLs on the way.
// SegmentTemplate (with $Number$, $Time$, $Bandwidth$, $RepresentationID$
// and SegmentTimeline), SegmentList and SegmentBase are read. Refused: a
// live manifest (type="dynamic"), content protection (DRM), several
// periods, a template that needs a duration the manifest does not give,
// more than the limits above.
DashReading ReadDashManifest(const MpdElement& root, std::string_view url);

// An ISO 8601 duration as manifests write them ("PT1H2M3.5S", "P1DT2H"),
// in seconds; nothing when it is not one.
std::optional<double> ReadIsoDuration(std::string_view text);

}  // namespace dromo
