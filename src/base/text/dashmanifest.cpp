#include "base/text/dashmanifest.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "base/text/linkheader.h"
#include "base/text/parseurl.h"
#include "base/values/taskrecord.h"

namespace dromo {
namespace {

constexpr std::int64_t kMaxNumber = std::int64_t{1} << 52;  // exact in a double too

std::optional<std::int64_t> Unsigned(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 0 || value > kMaxNumber) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int64_t> SignedNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '-') {
        const auto value = Unsigned(text.substr(1));
        return value ? std::optional<std::int64_t>(-*value) : std::nullopt;
    }
    return Unsigned(text);
}

// "first-last", both included.
std::optional<ByteRange> Range(std::string_view text)
{
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos) {
        return std::nullopt;
    }
    const auto first = Unsigned(text.substr(0, dash));
    const auto last = Unsigned(text.substr(dash + 1));
    if (!first || !last || *last < *first) {
        return std::nullopt;
    }
    return ByteRange{*first, *last - *first + 1};
}

// The elements of one kind from the representation up to the period: an
// attribute or a child is the nearest level's.
struct Levels {
    std::vector<const MpdElement*> nearestFirst;

    const std::string* Attribute(std::string_view name) const
    {
        for (const MpdElement* e : nearestFirst) {
            if (const std::string* value = e->Attribute(name)) {
                return value;
            }
        }
        return nullptr;
    }
    const MpdElement* Child(std::string_view name) const
    {
        for (const MpdElement* e : nearestFirst) {
            for (const MpdElement& c : e->children) {
                if (c.name == name) {
                    return &c;
                }
            }
        }
        return nullptr;
    }
    bool Empty() const { return nearestFirst.empty(); }
};

const MpdElement* ChildNamed(const MpdElement& e, std::string_view name)
{
    for (const MpdElement& c : e.children) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

bool StartsWith(const std::string* text, std::string_view prefix)
{
    return text != nullptr && text->rfind(prefix, 0) == 0;
}

// One segment's place and length in the timeline, in the timescale's units.
struct Slot {
    std::int64_t time = 0;
    std::int64_t duration = 0;
};

// The reading of one manifest, level by level.
class ManifestReader {
public:
    ManifestReader(DashReading& out, std::string_view url) : m_out(out), m_url(url) {}
    void Read(const MpdElement& root);

private:
    bool Fail(int line, const std::string& why)
    {
        if (m_out.error.empty()) {
            m_out.error = line > 0 ? "Line " + std::to_string(line) + ": " + why : why;
        }
        return false;
    }
    bool Failed() const { return !m_out.error.empty(); }
    std::optional<std::string> Based(const std::string& base, const MpdElement& level);
    std::optional<std::string> Resolved(const std::string& base, const std::string& reference, int line);
    void AdaptationSet(const MpdElement& set, const std::string& base, const MpdElement& period);
    void Representation(const MpdElement& rep, const MpdElement& set, const MpdElement& period, const std::string& base,
                        bool audio);
    bool Segments(DashRepresentation& out, const MpdElement& rep, const Levels& levels, const std::string& base);
    bool Template(DashRepresentation& out, const Levels& t, const std::string& base);
    bool List(DashRepresentation& out, const Levels& l, const std::string& base);
    bool Timeline(const MpdElement& timeline, std::int64_t timescale, std::vector<Slot>& slots);
    std::optional<std::string> Expand(std::string_view pattern, const DashRepresentation& rep, std::int64_t number,
                                      std::int64_t time, int line);
    bool Add(DashRepresentation& out, DashSegment segment, int line);

    DashReading& m_out;
    std::string_view m_url;
    double m_periodSeconds = -1;  // -1 when the manifest does not say
};

std::optional<std::string> ManifestReader::Resolved(const std::string& base, const std::string& reference, int line)
{
    std::optional<std::string> url = LinkHeader::Resolve(reference, base);
    const std::optional<ParsedUrl> parsed = url ? ParseUrl(*url) : std::nullopt;
    if (!parsed || IsFtpProtocol(parsed->protocol)) {
        Fail(line, "\"" + reference.substr(0, 200) + "\" is no http or https URL");
        return std::nullopt;
    }
    return url;
}

// The base a level's first BaseURL makes of the one above it.
std::optional<std::string> ManifestReader::Based(const std::string& base, const MpdElement& level)
{
    const MpdElement* baseUrl = ChildNamed(level, "BaseURL");
    if (baseUrl == nullptr) {
        return base;
    }
    std::string_view text = baseUrl->text;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return Resolved(base, std::string(text), baseUrl->line);
}

void ManifestReader::Read(const MpdElement& root)
{
    if (root.name != "MPD") {
        Fail(root.line, "This is not a DASH manifest: its root element is not <MPD>.");
        return;
    }
    if (const std::string* type = root.Attribute("type"); type != nullptr && *type == "dynamic") {
        Fail(0, "This is a live DASH stream (type=\"dynamic\"), which Dromo does not record.");
        return;
    }
    std::vector<const MpdElement*> periods;
    for (const MpdElement& c : root.children) {
        if (c.name == "Period") {
            periods.push_back(&c);
        }
    }
    if (periods.empty()) {
        Fail(root.line, "the manifest has no Period");
        return;
    }
    if (periods.size() > 1) {
        Fail(periods[1]->line, "the manifest has several periods, which Dromo does not join into one file");
        return;
    }
    const MpdElement& period = *periods.front();
    if (const std::string* d = period.Attribute("duration")) {
        m_periodSeconds = ReadIsoDuration(*d).value_or(-1);
    } else if (const std::string* total = root.Attribute("mediaPresentationDuration")) {
        const double start =
            ReadIsoDuration(period.Attribute("start") ? *period.Attribute("start") : "PT0S").value_or(0);
        m_periodSeconds = std::max(ReadIsoDuration(*total).value_or(-1) - start, -1.0);
    }
    m_out.seconds = std::max(m_periodSeconds, 0.0);
    const std::optional<std::string> top = Based(std::string(m_url), root);
    const std::optional<std::string> base = top ? Based(*top, period) : std::nullopt;
    if (!base) {
        return;
    }
    for (const MpdElement& c : period.children) {
        if (c.name == "AdaptationSet" && !Failed()) {
            AdaptationSet(c, *base, period);
        }
    }
    if (!Failed() && m_out.representations.empty()) {
        Fail(period.line, "the manifest has no video or audio representation");
    }
}

void ManifestReader::AdaptationSet(const MpdElement& set, const std::string& periodBase, const MpdElement& period)
{
    if (ChildNamed(set, "ContentProtection") != nullptr) {
        Fail(set.line, "the stream is protected by DRM (ContentProtection), which Dromo does not record");
        return;
    }
    const std::string* type = set.Attribute("contentType");
    const std::string* mime = set.Attribute("mimeType");
    const std::optional<std::string> base = Based(periodBase, set);
    if (!base) {
        return;
    }
    for (const MpdElement& rep : set.children) {
        if (rep.name != "Representation" || Failed()) {
            continue;
        }
        const std::string* repMime = rep.Attribute("mimeType");
        const std::string* kindText = repMime != nullptr ? repMime : mime;
        bool video = StartsWith(kindText, "video/") || (type != nullptr && *type == "video");
        bool audio = StartsWith(kindText, "audio/") || (type != nullptr && *type == "audio");
        if (!video && !audio && kindText == nullptr && type == nullptr) {
            const std::string* codecs = rep.Attribute("codecs") ? rep.Attribute("codecs") : set.Attribute("codecs");
            audio = StartsWith(codecs, "mp4a") || StartsWith(codecs, "opus") || StartsWith(codecs, "ac-3") ||
                    StartsWith(codecs, "ec-3") || StartsWith(codecs, "flac");
            video = !audio && codecs != nullptr && !codecs->empty();
        }
        if (video != audio) {  // text, images, and what says both or nothing
            Representation(rep, set, period, *base, audio);
        }
    }
}

void ManifestReader::Representation(const MpdElement& rep, const MpdElement& set, const MpdElement& period,
                                    const std::string& setBase, bool audio)
{
    if (ChildNamed(rep, "ContentProtection") != nullptr) {
        Fail(rep.line, "the stream is protected by DRM (ContentProtection), which Dromo does not record");
        return;
    }
    if (m_out.representations.size() >= kManifestMaxRepresentations) {
        Fail(rep.line, "more than " + std::to_string(kManifestMaxRepresentations) + " representations");
        return;
    }
    DashRepresentation out;
    out.audio = audio;
    out.id = rep.Attribute("id") ? *rep.Attribute("id") : std::string();
    const auto bandwidth = rep.Attribute("bandwidth") ? Unsigned(*rep.Attribute("bandwidth")) : std::nullopt;
    if (!bandwidth) {
        Fail(rep.line, "a representation without a readable bandwidth");
        return;
    }
    out.bandwidth = *bandwidth;
    const Levels both{{&rep, &set}};
    const std::int64_t width = both.Attribute("width") ? Unsigned(*both.Attribute("width")).value_or(0) : 0;
    const std::int64_t height = both.Attribute("height") ? Unsigned(*both.Attribute("height")).value_or(0) : 0;
    out.width = width <= 100000 ? static_cast<int>(width) : 0;
    out.height = height <= 100000 ? static_cast<int>(height) : 0;
    out.codecs = both.Attribute("codecs") ? *both.Attribute("codecs") : std::string();
    const std::optional<std::string> base = Based(setBase, rep);
    if (!base) {
        return;
    }
    Levels levels{{&rep, &set, &period}};
    if (Segments(out, rep, levels, *base)) {
        m_out.representations.push_back(std::move(out));
    }
}

// The kind of segment information nearest to the representation decides;
// attributes of that kind come from the levels above where it leaves them.
bool ManifestReader::Segments(DashRepresentation& out, const MpdElement& rep, const Levels& levels,
                              const std::string& base)
{
    std::string_view kind;
    for (const MpdElement* level : levels.nearestFirst) {
        for (std::string_view k : {"SegmentTemplate", "SegmentList", "SegmentBase"}) {
            if (kind.empty() && ChildNamed(*level, k) != nullptr) {
                kind = k;
            }
        }
    }
    Levels same;
    for (const MpdElement* level : levels.nearestFirst) {
        if (const MpdElement* e = kind.empty() ? nullptr : ChildNamed(*level, kind)) {
            same.nearestFirst.push_back(e);
        }
    }
    if (kind == "SegmentTemplate") {
        return Template(out, same, base);
    }
    if (kind == "SegmentList") {
        return List(out, same, base);
    }
    // SegmentBase, or a BaseURL alone: the resource is all of it.
    out.wholeFile = true;
    return Add(out, DashSegment{base, {}, std::max(m_periodSeconds, 0.0)}, rep.line);
}

bool ManifestReader::Add(DashRepresentation& out, DashSegment segment, int line)
{
    if (out.segments.size() >= kManifestMaxSegments) {
        return Fail(line, "a representation of more than " + std::to_string(kManifestMaxSegments) + " segments");
    }
    out.segments.push_back(std::move(segment));
    return true;
}

bool ManifestReader::Timeline(const MpdElement& timeline, std::int64_t timescale, std::vector<Slot>& slots)
{
    std::vector<const MpdElement*> entries;
    for (const MpdElement& s : timeline.children) {
        if (s.name == "S") {
            entries.push_back(&s);
        }
    }
    std::int64_t time = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MpdElement& s = *entries[i];
        const std::int64_t t = s.Attribute("t") ? Unsigned(*s.Attribute("t")).value_or(-1) : time;
        const std::int64_t d = s.Attribute("d") ? Unsigned(*s.Attribute("d")).value_or(0) : 0;
        const std::int64_t r = s.Attribute("r") ? SignedNumber(*s.Attribute("r")).value_or(-2) : 0;
        if (t < 0 || d == 0 || r < -1) {
            return Fail(s.line, "a SegmentTimeline entry whose t, d or r cannot be read");
        }
        time = t;
        std::int64_t end = std::numeric_limits<std::int64_t>::max();
        if (r == -1) {
            const MpdElement* next = i + 1 < entries.size() ? entries[i + 1] : nullptr;
            if (next != nullptr && next->Attribute("t") != nullptr) {
                end = Unsigned(*next->Attribute("t")).value_or(0);
            } else if (m_periodSeconds > 0) {
                end = time + static_cast<std::int64_t>(std::ceil(m_periodSeconds * static_cast<double>(timescale)));
            } else {
                return Fail(s.line, "a SegmentTimeline repeats to the end of a period of no known duration");
            }
        }
        for (std::int64_t k = 0; r == -1 ? time < end : k <= r; ++k) {
            if (slots.size() >= kManifestMaxSegments || time > kMaxNumber - d) {
                return Fail(s.line,
                            "a SegmentTimeline of more than " + std::to_string(kManifestMaxSegments) + " segments");
            }
            slots.push_back(Slot{time, d});
            time += d;
        }
    }
    return true;
}

bool ManifestReader::Template(DashRepresentation& out, const Levels& t, const std::string& base)
{
    const int line = t.nearestFirst.front()->line;
    const auto timescale =
        t.Attribute("timescale") ? Unsigned(*t.Attribute("timescale")) : std::optional<std::int64_t>(1);
    const auto start =
        t.Attribute("startNumber") ? Unsigned(*t.Attribute("startNumber")) : std::optional<std::int64_t>(1);
    const std::string* media = t.Attribute("media");
    if (!timescale || *timescale == 0 || !start || media == nullptr) {
        return Fail(line, "a SegmentTemplate without media, or with a timescale or startNumber that cannot be read");
    }
    if (const std::string* init = t.Attribute("initialization")) {
        const auto name = Expand(*init, out, 0, 0, line);
        const auto url = name ? Resolved(base, *name, line) : std::nullopt;
        if (!url) {
            return false;
        }
        out.init.url = *url;
    }
    std::vector<Slot> slots;
    if (const MpdElement* timeline = t.Child("SegmentTimeline")) {
        if (!Timeline(*timeline, *timescale, slots)) {
            return false;
        }
    } else {
        const auto duration = t.Attribute("duration") ? Unsigned(*t.Attribute("duration")) : std::nullopt;
        if (!duration || *duration == 0 || m_periodSeconds <= 0) {
            return Fail(line, "a SegmentTemplate with neither a SegmentTimeline nor a duration and a known period");
        }
        const double count =
            std::ceil(m_periodSeconds * static_cast<double>(*timescale) / static_cast<double>(*duration) - 1e-6);
        if (count > static_cast<double>(kManifestMaxSegments)) {
            return Fail(line, "a representation of more than " + std::to_string(kManifestMaxSegments) + " segments");
        }
        const std::int64_t whole =
            static_cast<std::int64_t>(std::llround(m_periodSeconds * static_cast<double>(*timescale)));
        for (std::int64_t k = 0; k < static_cast<std::int64_t>(count); ++k) {
            slots.push_back(Slot{k * *duration, std::min(*duration, std::max<std::int64_t>(whole - k * *duration, 1))});
        }
    }
    for (std::size_t k = 0; k < slots.size(); ++k) {
        const auto name = Expand(*media, out, *start + static_cast<std::int64_t>(k), slots[k].time, line);
        const auto url = name ? Resolved(base, *name, line) : std::nullopt;
        if (!url ||
            !Add(out, DashSegment{*url, {}, static_cast<double>(slots[k].duration) / static_cast<double>(*timescale)},
                 line)) {
            return false;
        }
    }
    return !out.segments.empty() || Fail(line, "a SegmentTemplate that makes no segment");
}

bool ManifestReader::List(DashRepresentation& out, const Levels& l, const std::string& base)
{
    const int line = l.nearestFirst.front()->line;
    const auto timescale =
        l.Attribute("timescale") ? Unsigned(*l.Attribute("timescale")) : std::optional<std::int64_t>(1);
    const auto duration = l.Attribute("duration") ? Unsigned(*l.Attribute("duration")) : std::optional<std::int64_t>(0);
    if (!timescale || *timescale == 0 || !duration) {
        return Fail(line, "a SegmentList whose timescale or duration cannot be read");
    }
    if (const MpdElement* init = l.Child("Initialization")) {
        const std::string* source = init->Attribute("sourceURL");
        const auto url = Resolved(base, source != nullptr ? *source : std::string(), init->line);
        if (!url) {
            return false;
        }
        out.init.url = *url;
        if (const std::string* range = init->Attribute("range")) {
            const auto r = Range(*range);
            if (!r) {
                return Fail(init->line, "the range \"" + range->substr(0, 40) + "\" cannot be read");
            }
            out.init.range = *r;
        }
    }
    std::vector<Slot> slots;
    if (const MpdElement* timeline = l.Child("SegmentTimeline");
        timeline != nullptr && !Timeline(*timeline, *timescale, slots)) {
        return false;
    }
    const MpdElement* list = l.nearestFirst.front();
    for (const MpdElement& s : list->children) {
        if (s.name != "SegmentURL") {
            continue;
        }
        const std::string* media = s.Attribute("media");
        const auto url = Resolved(base, media != nullptr ? *media : std::string(), s.line);
        if (!url) {
            return false;
        }
        DashSegment segment{*url, {}, 0};
        if (const std::string* range = s.Attribute("mediaRange")) {
            const auto r = Range(*range);
            if (!r) {
                return Fail(s.line, "the range \"" + range->substr(0, 40) + "\" cannot be read");
            }
            segment.range = *r;
        }
        const std::size_t k = out.segments.size();
        const std::int64_t units = k < slots.size() ? slots[k].duration : *duration;
        segment.seconds = static_cast<double>(units) / static_cast<double>(*timescale);
        if (!Add(out, std::move(segment), s.line)) {
            return false;
        }
    }
    return !out.segments.empty() || Fail(line, "a SegmentList without a SegmentURL");
}

// A template's identifiers: $RepresentationID$, $Number$, $Bandwidth$ and
// $Time$, the last three with an optional "%0Nd" width; "$$" is a "$".
std::optional<std::string> ManifestReader::Expand(std::string_view pattern, const DashRepresentation& rep,
                                                  std::int64_t number, std::int64_t time, int line)
{
    std::string out;
    std::size_t at = 0;
    while (at < pattern.size()) {
        const std::size_t open = pattern.find('$', at);
        if (open == std::string_view::npos) {
            out.append(pattern.substr(at));
            break;
        }
        out.append(pattern.substr(at, open - at));
        const std::size_t close = pattern.find('$', open + 1);
        if (close == std::string_view::npos) {
            Fail(line, "a template with an unclosed $");
            return std::nullopt;
        }
        std::string_view id = pattern.substr(open + 1, close - open - 1);
        at = close + 1;
        if (id.empty()) {
            out += '$';
            continue;
        }
        std::size_t width = 1;
        const std::size_t percent = id.find('%');
        if (percent != std::string_view::npos) {
            std::string_view format = id.substr(percent + 1);
            id = id.substr(0, percent);
            if (format.size() < 2 || format.back() != 'd' || id == "RepresentationID") {
                Fail(line, "a template's format \"" + std::string(format.substr(0, 20)) + "\" cannot be used");
                return std::nullopt;
            }
            format.remove_suffix(1);
            const auto w = Unsigned(format);
            if (!w || *w > 32) {
                Fail(line, "a template's width \"" + std::string(format.substr(0, 20)) + "\" cannot be used");
                return std::nullopt;
            }
            width = static_cast<std::size_t>(*w);
        }
        std::string value;
        if (id == "RepresentationID") {
            out += rep.id;
            continue;
        }
        if (id == "Number") {
            value = std::to_string(number);
        } else if (id == "Bandwidth") {
            value = std::to_string(rep.bandwidth);
        } else if (id == "Time") {
            value = std::to_string(time);
        } else {
            Fail(line, "a template's identifier $" + std::string(id.substr(0, 40)) + "$ is unknown");
            return std::nullopt;
        }
        out.append(value.size() < width ? width - value.size() : 0, '0');
        out += value;
    }
    return out;
}

}  // namespace

const std::string* MpdElement::Attribute(std::string_view attribute) const
{
    for (const auto& pair : attributes) {
        if (pair.first == attribute) {
            return &pair.second;
        }
    }
    return nullptr;
}

DashReading ReadDashManifest(const MpdElement& root, std::string_view url)
{
    DashReading out;
    ManifestReader(out, url).Read(root);
    if (!out.Ok()) {
        out.representations.clear();
    }
    return out;
}

std::optional<double> ReadIsoDuration(std::string_view text)
{
    if (text.size() < 2 || text.size() > 64 || text.front() != 'P') {
        return std::nullopt;
    }
    double seconds = 0;
    bool inTime = false;
    bool any = false;
    std::size_t at = 1;
    while (at < text.size()) {
        if (text[at] == 'T') {
            if (inTime) {
                return std::nullopt;
            }
            inTime = true;
            ++at;
            continue;
        }
        const std::size_t unitAt = text.find_first_not_of("0123456789.", at);
        if (unitAt == std::string_view::npos || unitAt == at) {
            return std::nullopt;
        }
        double value = 0;
        const auto [end, ec] = std::from_chars(text.data() + at, text.data() + unitAt, value);
        if (ec != std::errc() || end != text.data() + unitAt || !std::isfinite(value)) {
            return std::nullopt;
        }
        const char unit = text[unitAt];
        double scale = 0;
        if (!inTime) {
            scale = unit == 'Y'   ? 365 * 86400.0
                    : unit == 'M' ? 30 * 86400.0
                    : unit == 'W' ? 7 * 86400.0
                    : unit == 'D' ? 86400.0
                                  : 0;
        } else {
            scale = unit == 'H' ? 3600.0 : unit == 'M' ? 60.0 : unit == 'S' ? 1.0 : 0;
        }
        if (scale == 0) {
            return std::nullopt;
        }
        seconds += value * scale;
        any = true;
        at = unitAt + 1;
    }
    if (!any || !std::isfinite(seconds) || seconds > 1e10) {
        return std::nullopt;
    }
    return seconds;
}

}  // namespace dromo
