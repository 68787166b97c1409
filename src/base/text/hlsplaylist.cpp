#include "base/text/hlsplaylist.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "base/text/linkheader.h"
#include "base/text/parseurl.h"
#include "base/values/taskrecord.h"

namespace dromo {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// One NAME=VALUE of an attribute list; `quoted` when the value was a
// quoted string (its quotes taken off).
struct Attribute {
    std::string_view name;
    std::string_view value;
    bool quoted = false;
};

// An attribute list (RFC 8216 section 4.2): comma-separated NAME=VALUE
// pairs, a quoted value holding any byte but a quote and a line end.
// Nothing when it cannot be read.
std::optional<std::vector<Attribute>> ReadAttributes(std::string_view text)
{
    std::vector<Attribute> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t equals = text.find('=', i);
        if (equals == std::string_view::npos || equals == i) {
            return std::nullopt;
        }
        Attribute a;
        a.name = text.substr(i, equals - i);
        i = equals + 1;
        if (i < text.size() && text[i] == '"') {
            const std::size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos) {
                return std::nullopt;
            }
            a.value = text.substr(i + 1, close - i - 1);
            a.quoted = true;
            i = close + 1;
            if (i < text.size() && text[i] != ',') {
                return std::nullopt;
            }
        } else {
            const std::size_t comma = std::min(text.find(',', i), text.size());
            a.value = text.substr(i, comma - i);
            i = comma;
        }
        out.push_back(a);
        if (i < text.size()) {
            ++i;  // the comma
        }
    }
    return out;
}

const Attribute* Find(const std::vector<Attribute>& list, std::string_view name)
{
    for (const Attribute& a : list) {
        if (a.name == name) {
            return &a;
        }
    }
    return nullptr;
}

std::string ValueOf(const std::vector<Attribute>& list, std::string_view name)
{
    const Attribute* a = Find(list, name);
    return a != nullptr ? std::string(a->value) : std::string();
}

std::optional<std::int64_t> Integer(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value < 0) {
        return std::nullopt;
    }
    return value;
}

// A decimal-floating-point of the playlist: digits with at most one point,
// no sign, no exponent.
std::optional<double> Seconds(std::string_view text)
{
    if (text.empty() || text.size() > 32 || std::count(text.begin(), text.end(), '.') > 1 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; }) ||
        text == ".") {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value > kPlaylistMaxSeconds) {
        return std::nullopt;
    }
    return value;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// An IV: "0x" and up to 32 hex digits, as 16 bytes (a shorter one is
// padded on the left, as a number would be).
std::optional<std::string> Iv(std::string_view text)
{
    if (text.size() < 3 || text.size() > 34 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
        return std::nullopt;
    }
    std::string digits(32 - (text.size() - 2), '0');
    digits.append(text.substr(2));
    std::string bytes;
    for (std::size_t i = 0; i < 32; i += 2) {
        const int high = HexDigit(digits[i]);
        const int low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

// "n[@o]".
struct RangeText {
    std::int64_t length = 0;
    std::optional<std::int64_t> offset;
};
std::optional<RangeText> ReadRange(std::string_view text)
{
    const std::size_t at = text.find('@');
    RangeText out;
    const std::optional<std::int64_t> length = Integer(text.substr(0, at));
    if (!length || *length == 0) {
        return std::nullopt;
    }
    out.length = *length;
    if (at != std::string_view::npos) {
        out.offset = Integer(text.substr(at + 1));
        if (!out.offset || *out.offset > std::numeric_limits<std::int64_t>::max() - out.length) {
            return std::nullopt;
        }
    }
    return out;
}

// "1280x720".
bool ReadResolution(std::string_view text, int& width, int& height)
{
    const std::size_t x = text.find_first_of("xX");
    const std::optional<std::int64_t> w = Integer(text.substr(0, std::min(x, text.size())));
    const std::optional<std::int64_t> h = x == std::string_view::npos ? std::nullopt : Integer(text.substr(x + 1));
    if (!w || !h || *w > 100000 || *h > 100000) {
        return false;
    }
    width = static_cast<int>(*w);
    height = static_cast<int>(*h);
    return true;
}

// The reading of one playlist, line by line.
class PlaylistReader {
public:
    PlaylistReader(HlsReading& out, std::string_view url) : m_out(out), m_url(url) {}

    void Line(int number, std::string_view line);
    void End();
    bool Failed() const { return !m_out.error.empty(); }

private:
    void Fail(const std::string& why)
    {
        if (m_out.error.empty()) {
            m_out.error = "Line " + std::to_string(m_line) + ": " + why;
        }
    }
    std::optional<std::string> Resolved(std::string_view reference);
    std::optional<std::vector<Attribute>> Attributes(std::string_view tag, std::string_view text);
    void Tag(std::string_view name, std::string_view value);
    void MediaTag(std::string_view name, std::string_view value);
    void Uri(std::string_view line);
    void StreamInf(std::string_view value);
    void Media(std::string_view value);
    void Key(std::string_view value, bool session);
    void Map(std::string_view value);
    void ByteRangeTag(std::string_view value);
    void MarkMedia() { m_isMedia = true; }
    void MarkMaster() { m_isMaster = true; }

    HlsReading& m_out;
    std::string_view m_url;
    int m_line = 0;
    bool m_isMedia = false;
    bool m_isMaster = false;
    bool m_hasTarget = false;
    bool m_hasSequence = false;
    // Waiting for the URI line that ends them:
    std::optional<HlsVariant> m_variant;
    std::optional<double> m_extinf;
    std::optional<RangeText> m_range;
    bool m_discontinuity = false;
    bool m_gap = false;
    int m_key = -1;
    int m_map = -1;
    // Where the last sub-range ended, and of what resource, for a range
    // without an offset.
    std::string m_lastRangeUrl;
    std::int64_t m_lastRangeEnd = -1;
    std::int64_t m_skipped = 0;  // segments left out (EXT-X-GAP) before the next
};

std::optional<std::string> PlaylistReader::Resolved(std::string_view reference)
{
    std::optional<std::string> url = LinkHeader::Resolve(reference, m_url);
    const std::optional<ParsedUrl> parsed = url ? ParseUrl(*url) : std::nullopt;
    if (!parsed || IsFtpProtocol(parsed->protocol)) {
        Fail("\"" + std::string(reference.substr(0, 200)) + "\" is no http or https URL");
        return std::nullopt;
    }
    return url;
}

std::optional<std::vector<Attribute>> PlaylistReader::Attributes(std::string_view tag, std::string_view text)
{
    auto list = ReadAttributes(text);
    if (!list) {
        Fail("the attributes of " + std::string(tag) + " cannot be read");
    }
    return list;
}

void PlaylistReader::Line(int number, std::string_view line)
{
    m_line = number;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
        line.remove_prefix(1);
    }
    if (line.empty()) {
        return;
    }
    if (line.front() != '#') {
        Uri(line);
        return;
    }
    if (line.rfind("#EXT", 0) != 0) {
        return;  // a comment
    }
    const std::size_t colon = line.find(':');
    Tag(line.substr(0, colon), colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1));
}

void PlaylistReader::Tag(std::string_view name, std::string_view value)
{
    if (name == "#EXT-X-STREAM-INF") {
        StreamInf(value);
    } else if (name == "#EXT-X-MEDIA") {
        Media(value);
    } else if (name == "#EXT-X-SESSION-KEY") {
        Key(value, true);
    } else if (name == "#EXT-X-I-FRAME-STREAM-INF" || name == "#EXT-X-SESSION-DATA") {
        MarkMaster();  // trick-play streams and metadata: nothing to record
    } else {
        MediaTag(name, value);
    }
}

void PlaylistReader::MediaTag(std::string_view name, std::string_view value)
{
    if (name == "#EXTINF") {
        MarkMedia();
        const std::string_view duration = value.substr(0, value.find(','));
        m_extinf = Seconds(duration);
        if (!m_extinf) {
            Fail("the segment's duration \"" + std::string(duration.substr(0, 40)) + "\" cannot be read");
        }
    } else if (name == "#EXT-X-TARGETDURATION") {
        MarkMedia();
        const std::optional<double> target = Seconds(value);
        if (!target) {
            Fail("the target duration \"" + std::string(value.substr(0, 40)) + "\" cannot be read");
            return;
        }
        m_hasTarget = true;
        m_out.media.targetSeconds = *target;
    } else if (name == "#EXT-X-MEDIA-SEQUENCE") {
        MarkMedia();
        const std::optional<std::int64_t> sequence = Integer(value);
        if (!sequence || *sequence > (std::int64_t{1} << 62) || m_hasSequence || !m_out.media.segments.empty()) {
            Fail("the media sequence \"" + std::string(value.substr(0, 40)) + "\" cannot be used");
            return;
        }
        m_hasSequence = true;
        m_out.media.mediaSequence = *sequence;
    } else if (name == "#EXT-X-ENDLIST") {
        MarkMedia();
        m_out.media.ended = true;
    } else if (name == "#EXT-X-PLAYLIST-TYPE") {
        MarkMedia();
        if (value == "VOD") {
            m_out.media.ended = true;  // nothing will be added, even before its end tag
        }
    } else if (name == "#EXT-X-BYTERANGE") {
        ByteRangeTag(value);
    } else if (name == "#EXT-X-KEY") {
        Key(value, false);
    } else if (name == "#EXT-X-MAP") {
        Map(value);
    } else if (name == "#EXT-X-DISCONTINUITY") {
        MarkMedia();
        m_discontinuity = true;
    } else if (name == "#EXT-X-GAP") {
        MarkMedia();
        m_gap = true;
    }
    // Every other tag (EXT-X-VERSION, EXT-X-PROGRAM-DATE-TIME, ...) says
    // nothing a recording needs.
}

void PlaylistReader::StreamInf(std::string_view value)
{
    MarkMaster();
    const auto list = Attributes("EXT-X-STREAM-INF", value);
    if (!list) {
        return;
    }
    HlsVariant v;
    const Attribute* bandwidth = Find(*list, "BANDWIDTH");
    const std::optional<std::int64_t> bits = bandwidth != nullptr ? Integer(bandwidth->value) : std::nullopt;
    if (!bits) {
        Fail("a variant stream without a readable BANDWIDTH");
        return;
    }
    v.bandwidth = *bits;
    if (const Attribute* resolution = Find(*list, "RESOLUTION");
        resolution != nullptr && !ReadResolution(resolution->value, v.width, v.height)) {
        Fail("the resolution \"" + std::string(resolution->value.substr(0, 40)) + "\" cannot be read");
        return;
    }
    v.codecs = ValueOf(*list, "CODECS");
    v.audioGroup = ValueOf(*list, "AUDIO");
    v.videoGroup = ValueOf(*list, "VIDEO");
    m_variant = std::move(v);
}

void PlaylistReader::Media(std::string_view value)
{
    MarkMaster();
    const auto list = Attributes("EXT-X-MEDIA", value);
    if (!list) {
        return;
    }
    HlsRendition r;
    r.type = ValueOf(*list, "TYPE");
    r.groupId = ValueOf(*list, "GROUP-ID");
    r.name = ValueOf(*list, "NAME");
    r.language = ValueOf(*list, "LANGUAGE");
    r.isDefault = ValueOf(*list, "DEFAULT") == "YES";
    r.autoSelect = ValueOf(*list, "AUTOSELECT") == "YES";
    if (r.type.empty() || r.groupId.empty()) {
        Fail("a rendition without TYPE or GROUP-ID");
        return;
    }
    if (const Attribute* uri = Find(*list, "URI"); uri != nullptr && r.type != "CLOSED-CAPTIONS") {
        const std::optional<std::string> url = Resolved(uri->value);
        if (!url) {
            return;
        }
        r.url = *url;
    }
    if (m_out.masterPlaylist.renditions.size() >= kPlaylistMaxVariants) {
        Fail("more than " + std::to_string(kPlaylistMaxVariants) + " renditions");
        return;
    }
    m_out.masterPlaylist.renditions.push_back(std::move(r));
}

// A key of a media playlist (or, `session`, one a master announces). Only
// AES-128 of whole segments with a key anyone may fetch can be recorded;
// whatever else protects the media is DRM, which Dromo leaves alone.
void PlaylistReader::Key(std::string_view value, bool session)
{
    session ? MarkMaster() : MarkMedia();
    const auto list = Attributes(session ? "EXT-X-SESSION-KEY" : "EXT-X-KEY", value);
    if (!list) {
        return;
    }
    const std::string method = ValueOf(*list, "METHOD");
    if (method == "NONE" && !session) {
        m_key = -1;
        return;
    }
    if (method.rfind("SAMPLE-AES", 0) == 0) {
        Fail("the stream is encrypted with " + method + " (DRM), which Dromo does not record");
        return;
    }
    if (method != "AES-128") {
        Fail("the stream is encrypted with \"" + method.substr(0, 40) + "\", which Dromo cannot decrypt");
        return;
    }
    const Attribute* format = Find(*list, "KEYFORMAT");
    if (format != nullptr && format->value != "identity") {
        Fail("the stream's key is kept by a DRM system (KEYFORMAT \"" + std::string(format->value.substr(0, 60)) +
             "\"), which Dromo does not record");
        return;
    }
    const Attribute* uri = Find(*list, "URI");
    if (uri == nullptr) {
        Fail("an AES-128 key without a URI");
        return;
    }
    const std::optional<std::string> url = Resolved(uri->value);
    if (!url || session) {
        return;
    }
    HlsKey key{*url, {}};
    if (const Attribute* iv = Find(*list, "IV")) {
        const std::optional<std::string> bytes = Iv(iv->value);
        if (!bytes) {
            Fail("the IV \"" + std::string(iv->value.substr(0, 40)) + "\" is not 0x and 32 hex digits");
            return;
        }
        key.iv = *bytes;
    }
    if (m_out.media.keys.size() >= kPlaylistMaxSegments) {
        Fail("more than " + std::to_string(kPlaylistMaxSegments) + " keys");
        return;
    }
    m_out.media.keys.push_back(std::move(key));
    m_key = static_cast<int>(m_out.media.keys.size()) - 1;
}

void PlaylistReader::Map(std::string_view value)
{
    MarkMedia();
    const auto list = Attributes("EXT-X-MAP", value);
    if (!list) {
        return;
    }
    const Attribute* uri = Find(*list, "URI");
    if (uri == nullptr) {
        Fail("EXT-X-MAP without a URI");
        return;
    }
    const std::optional<std::string> url = Resolved(uri->value);
    if (!url) {
        return;
    }
    HlsMap map{*url, {}, -1};
    if (const Attribute* range = Find(*list, "BYTERANGE")) {
        const std::optional<RangeText> r = ReadRange(range->value);
        if (!r) {
            Fail("the byte range \"" + std::string(range->value.substr(0, 40)) + "\" cannot be read");
            return;
        }
        map.range = ByteRange{r->offset.value_or(0), r->length};
    }
    // An encrypted init section needs the key's own IV: it has no sequence number.
    if (m_key >= 0 && !m_out.media.keys[static_cast<std::size_t>(m_key)].iv.empty()) {
        map.key = m_key;
    }
    if (m_out.media.maps.size() >= kPlaylistMaxSegments) {
        Fail("more than " + std::to_string(kPlaylistMaxSegments) + " EXT-X-MAP tags");
        return;
    }
    m_out.media.maps.push_back(std::move(map));
    m_map = static_cast<int>(m_out.media.maps.size()) - 1;
}

void PlaylistReader::ByteRangeTag(std::string_view value)
{
    MarkMedia();
    m_range = ReadRange(value);
    if (!m_range) {
        Fail("the byte range \"" + std::string(value.substr(0, 40)) + "\" cannot be read");
    }
}

void PlaylistReader::Uri(std::string_view line)
{
    if (m_variant) {
        const std::optional<std::string> url = Resolved(line);
        if (!url) {
            return;
        }
        if (m_out.masterPlaylist.variants.size() >= kPlaylistMaxVariants) {
            Fail("more than " + std::to_string(kPlaylistMaxVariants) + " variant streams");
            return;
        }
        m_variant->url = *url;
        m_out.masterPlaylist.variants.push_back(std::move(*m_variant));
        m_variant.reset();
        return;
    }
    if (!m_extinf) {
        Fail("\"" + std::string(line.substr(0, 200)) + "\" follows neither EXTINF nor EXT-X-STREAM-INF");
        return;
    }
    const std::optional<std::string> url = Resolved(line);
    if (!url) {
        return;
    }
    HlsSegment s;
    s.url = *url;
    s.seconds = *m_extinf;
    s.key = m_key;
    s.map = m_map;
    s.discontinuity = m_discontinuity;
    if (m_range) {
        if (!m_range->offset && (m_lastRangeUrl != s.url || m_lastRangeEnd < 0)) {
            Fail("a byte range without an offset that follows no range of the same resource");
            return;
        }
        const std::int64_t offset = m_range->offset.value_or(m_lastRangeEnd);
        if (offset > std::numeric_limits<std::int64_t>::max() - m_range->length) {
            Fail("a byte range past the largest file");
            return;
        }
        s.range = ByteRange{offset, m_range->length};
        m_lastRangeUrl = s.url;
        m_lastRangeEnd = offset + m_range->length;
    } else {
        m_lastRangeEnd = -1;
    }
    const std::size_t count = m_out.media.segments.size() + static_cast<std::size_t>(m_skipped);
    if (count >= kPlaylistMaxSegments) {
        Fail("more than " + std::to_string(kPlaylistMaxSegments) + " segments");
        return;
    }
    s.sequence = m_out.media.mediaSequence + static_cast<std::int64_t>(count);
    if (m_gap) {
        ++m_skipped;  // a gap has no media to fetch, but holds its number
    } else {
        m_out.media.segments.push_back(std::move(s));
    }
    m_extinf.reset();
    m_range.reset();
    m_discontinuity = false;
    m_gap = false;
}

void PlaylistReader::End()
{
    if (Failed()) {
        return;
    }
    if (m_isMaster && m_isMedia) {
        Fail("the playlist mixes variant streams with media segments");
        return;
    }
    if (m_variant) {
        Fail("EXT-X-STREAM-INF without the URI of its stream");
        return;
    }
    m_out.master = m_isMaster;
    if (m_isMaster) {
        if (m_out.masterPlaylist.variants.empty()) {
            Fail("the master playlist names no variant stream");
        }
        return;
    }
    if (!m_hasTarget) {
        Fail("the media playlist has no EXT-X-TARGETDURATION");
    }
}

}  // namespace

double HlsMediaPlaylist::Seconds() const
{
    double total = 0;
    for (const HlsSegment& s : segments) {
        total += s.seconds;
    }
    return total;
}

HlsReading ReadHlsPlaylist(std::string_view text, std::string_view url)
{
    HlsReading out;
    if (text.size() > kPlaylistMaxBytes) {
        out.error = "The playlist is larger than " + std::to_string(kPlaylistMaxBytes / (1024 * 1024)) + " MB.";
        return out;
    }
    if (text.rfind(kBom, 0) == 0) {
        text.remove_prefix(kBom.size());
    }
    const std::size_t firstEnd = std::min(text.find_first_of("\r\n"), text.size());
    std::string_view first = text.substr(0, firstEnd);
    while (!first.empty() && (first.back() == ' ' || first.back() == '\t')) {
        first.remove_suffix(1);
    }
    if (first != "#EXTM3U") {
        out.error = "This is not an HLS playlist: it does not begin with #EXTM3U.";
        return out;
    }
    PlaylistReader reader(out, url);
    std::size_t at = firstEnd;
    int number = 1;
    while (at < text.size() && !reader.Failed()) {
        // "\r\n", "\n" and a lone "\r" each end a line.
        at += text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        reader.Line(++number, text.substr(at, end - at));
        at = end;
    }
    reader.End();
    if (!out.Ok()) {
        out.masterPlaylist = {};
        out.media = {};
        out.master = false;
    }
    return out;
}

bool LooksLikeHlsPlaylist(std::string_view firstBytes)
{
    if (firstBytes.rfind(kBom, 0) == 0) {
        firstBytes.remove_prefix(kBom.size());
    }
    if (firstBytes.rfind("#EXTM3U", 0) != 0) {
        return false;
    }
    const std::size_t after = std::string_view("#EXTM3U").size();
    return after < firstBytes.size() &&
           (firstBytes[after] == '\r' || firstBytes[after] == '\n' || firstBytes[after] == ' ' ||
            firstBytes[after] == '\t') &&
           firstBytes.find("#EXT-X-") != std::string_view::npos;
}

}  // namespace dromo
