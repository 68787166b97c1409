// HLS playlists as packagers and servers write them, and the ones a
// recording must refuse.

#include "base/text/hlsplaylist.h"

#include <gtest/gtest.h>

#include <string>

namespace dromo {
namespace {

constexpr const char* kBase = "https://cdn.example/v/master.m3u8?token=1";

std::string Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

// A reading in one line per item, so a table shows what was read.
std::string Shown(const HlsReading& r)
{
    if (!r.Ok()) {
        return "error: " + r.error;
    }
    std::string out;
    if (r.master) {
        for (const HlsVariant& v : r.masterPlaylist.variants) {
            out += "variant " + v.url + " bw=" + std::to_string(v.bandwidth) + " " + std::to_string(v.width) + "x" +
                   std::to_string(v.height) + " codecs=" + v.codecs + " audio=" + v.audioGroup + "\n";
        }
        for (const HlsRendition& m : r.masterPlaylist.renditions) {
            out += "media " + m.type + " " + m.groupId + " " + m.name + " " + m.language + " " +
                   (m.url.empty() ? "(in variant)" : m.url) + (m.isDefault ? " default" : "") + "\n";
        }
        return out;
    }
    const HlsMediaPlaylist& p = r.media;
    char head[96];
    std::snprintf(head, sizeof head, "target=%g sequence=%lld%s\n", p.targetSeconds,
                  static_cast<long long>(p.mediaSequence), p.ended ? " ended" : "");
    out += head;
    for (const HlsMap& m : p.maps) {
        out += "map " + m.url + " " + std::to_string(m.range.offset) + "+" + std::to_string(m.range.length) +
               (m.key >= 0 ? " key" + std::to_string(m.key) : "") + "\n";
    }
    for (const HlsKey& k : p.keys) {
        out += "key " + k.url + " iv=" + (k.iv.empty() ? "sequence" : Hex(k.iv)) + "\n";
    }
    for (const HlsSegment& s : p.segments) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", s.seconds);
        out += "#" + std::to_string(s.sequence) + " " + s.url + " " + seconds + "s";
        if (!s.range.Whole()) {
            out += " @" + std::to_string(s.range.offset) + "+" + std::to_string(s.range.length);
        }
        out += s.key >= 0 ? " key" + std::to_string(s.key) : "";
        out += s.map >= 0 ? " map" + std::to_string(s.map) : "";
        out += s.discontinuity ? " disc" : "";
        out += "\n";
    }
    return out;
}

TEST(HlsPlaylist, ReadsMasterPlaylistsWithTheirVariantsAndRenditions)
{
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"#EXTM3U\n#EXT-X-VERSION:3\n"
         "#EXT-X-STREAM-INF:BANDWIDTH=800000,RESOLUTION=640x360,CODECS=\"avc1.4d401e,mp4a.40.2\"\n"
         "low/index.m3u8\n"
         "#EXT-X-STREAM-INF:BANDWIDTH=2500000,AVERAGE-BANDWIDTH=2000000,RESOLUTION=1280x720\n"
         "/abs/high.m3u8\n",
         "variant https://cdn.example/v/low/index.m3u8 bw=800000 640x360 codecs=avc1.4d401e,mp4a.40.2 audio=\n"
         "variant https://cdn.example/abs/high.m3u8 bw=2500000 1280x720 codecs= audio=\n"},
        // separate audio renditions; one carried in the variant itself
        {"#EXTM3U\r\n"
         "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"aud\",NAME=\"English\",LANGUAGE=\"en\",DEFAULT=YES,AUTOSELECT=YES,"
         "URI=\"audio/en.m3u8\"\r\n"
         "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"aud\",NAME=\"Main, mixed\"\r\n"
         "#EXT-X-MEDIA:TYPE=CLOSED-CAPTIONS,GROUP-ID=\"cc\",NAME=\"cc\",INSTREAM-ID=\"CC1\"\r\n"
         "#EXT-X-STREAM-INF:BANDWIDTH=1000000,AUDIO=\"aud\",CLOSED-CAPTIONS=\"cc\"\r\n"
         "https://other.example/v.m3u8\r\n",
         "variant https://other.example/v.m3u8 bw=1000000 0x0 codecs= audio=aud\n"
         "media AUDIO aud English en https://cdn.example/v/audio/en.m3u8 default\n"
         "media AUDIO aud Main, mixed  (in variant)\n"
         "media CLOSED-CAPTIONS cc cc  (in variant)\n"},
        // trick-play streams, comments and unknown tags are passed over
        {"\xEF\xBB\xBF#EXTM3U\n# a comment\n#EXT-X-INDEPENDENT-SEGMENTS\n"
         "#EXT-X-I-FRAME-STREAM-INF:BANDWIDTH=90000,URI=\"iframes.m3u8\"\n"
         "#EXT-X-STREAM-INF:BANDWIDTH=500000,FRAME-RATE=29.970\n  v.m3u8  \n",
         "variant https://cdn.example/v/v.m3u8 bw=500000 0x0 codecs= audio=\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(ReadHlsPlaylist(c.text, kBase)), c.shown) << c.text;
    }
}

TEST(HlsPlaylist, ReadsMediaPlaylistsWithTheirSegmentsKeysRangesAndMaps)
{
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        // video on demand in MPEG-TS segments
        {"#EXTM3U\n#EXT-X-TARGETDURATION:4\n#EXT-X-MEDIA-SEQUENCE:7\n#EXT-X-PLAYLIST-TYPE:VOD\n"
         "#EXTINF:4.000,\nseg7.ts\n#EXTINF:3.5,title\nseg8.ts\n#EXT-X-ENDLIST\n",
         "target=4 sequence=7 ended\n"
         "#7 https://cdn.example/v/seg7.ts 4s\n"
         "#8 https://cdn.example/v/seg8.ts 3.5s\n"},
        // a live window: no end, numbering from the sequence
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-MEDIA-SEQUENCE:1200\n#EXTINF:2,\na.ts\n#EXTINF:2,\nb.ts\n",
         "target=2 sequence=1200\n"
         "#1200 https://cdn.example/v/a.ts 2s\n"
         "#1201 https://cdn.example/v/b.ts 2s\n"},
        // fMP4 with its init section, byte ranges that follow one another
        {"#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXT-X-MAP:URI=\"main.mp4\",BYTERANGE=\"720@0\"\n"
         "#EXTINF:6,\n#EXT-X-BYTERANGE:1000@720\nmain.mp4\n#EXTINF:6,\n#EXT-X-BYTERANGE:2000\nmain.mp4\n"
         "#EXT-X-ENDLIST\n",
         "target=6 sequence=0 ended\n"
         "map https://cdn.example/v/main.mp4 0+720\n"
         "#0 https://cdn.example/v/main.mp4 6s @720+1000 map0\n"
         "#1 https://cdn.example/v/main.mp4 6s @1720+2000 map0\n"},
        // AES-128: a key with its IV, one whose IV is the sequence number,
        // and segments in the clear after METHOD=NONE
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-MEDIA-SEQUENCE:3\n"
         "#EXT-X-KEY:METHOD=AES-128,URI=\"https://keys.example/k1\",IV=0x000102030405060708090A0B0C0D0E0F\n"
         "#EXTINF:2,\ns3.ts\n"
         "#EXT-X-KEY:METHOD=AES-128,URI=\"k2.bin\",KEYFORMAT=\"identity\"\n#EXTINF:2,\ns4.ts\n"
         "#EXT-X-KEY:METHOD=NONE\n#EXT-X-DISCONTINUITY\n#EXTINF:2,\ns5.ts\n#EXT-X-ENDLIST\n",
         "target=2 sequence=3 ended\n"
         "key https://keys.example/k1 iv=000102030405060708090a0b0c0d0e0f\n"
         "key https://cdn.example/v/k2.bin iv=sequence\n"
         "#3 https://cdn.example/v/s3.ts 2s key0\n"
         "#4 https://cdn.example/v/s4.ts 2s key1\n"
         "#5 https://cdn.example/v/s5.ts 2s disc\n"},
        // a short IV is a number: padded on the left; an encrypted init
        // section takes the key that has one
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-KEY:METHOD=AES-128,URI=\"k\",IV=0x1F\n"
         "#EXT-X-MAP:URI=\"init.mp4\"\n#EXTINF:2,\n1.m4s\n",
         "target=2 sequence=0\n"
         "map https://cdn.example/v/init.mp4 0+-1 key0\n"
         "key https://cdn.example/v/k iv=0000000000000000000000000000001f\n"
         "#0 https://cdn.example/v/1.m4s 2s key0 map0\n"},
        // a gap holds its number but has nothing to fetch; lone "\r" ends lines
        {"#EXTM3U\r#EXT-X-TARGETDURATION:2\r#EXTINF:2,\r#EXT-X-GAP\rmissing.ts\r#EXTINF:2,\rthere.ts\r",
         "target=2 sequence=0\n"
         "#1 https://cdn.example/v/there.ts 2s\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(ReadHlsPlaylist(c.text, kBase)), c.shown) << c.text;
    }
}

TEST(HlsPlaylist, RefusesWhatCannotBeRecordedWithItsReason)
{
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"", "does not begin with #EXTM3U"},
        {"<html>#EXTM3U</html>", "does not begin with #EXTM3U"},
        {"#EXTM3U\n#EXTINF:2,\na.ts\n", "no EXT-X-TARGETDURATION"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-KEY:METHOD=SAMPLE-AES,URI=\"skd://k\",KEYFORMAT=\"com.apple."
         "streamingkeydelivery\"\n#EXTINF:2,\na.ts\n",
         "Line 3: the stream is encrypted with SAMPLE-AES (DRM)"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-KEY:METHOD=SAMPLE-AES-CTR,URI=\"k\"\n",
         "encrypted with SAMPLE-AES-CTR (DRM)"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-KEY:METHOD=AES-128,URI=\"data:text/plain;base64,AAA=\","
         "KEYFORMAT=\"urn:uuid:edef8ba9-79d6-4ace-a3c8-27dcd51d21ed\"\n",
         "kept by a DRM system (KEYFORMAT \"urn:uuid:edef8ba9"},
        {"#EXTM3U\n#EXT-X-SESSION-KEY:METHOD=SAMPLE-AES,URI=\"skd://x\"\n#EXT-X-STREAM-INF:BANDWIDTH=1\nv.m3u8\n",
         "SAMPLE-AES (DRM)"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-KEY:METHOD=AES-128,URI=\"skd://key\"\n",
         "\"skd://key\" is no http or https URL"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-KEY:METHOD=AES-128\n", "an AES-128 key without a URI"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-KEY:METHOD=AES-128,URI=\"k\",IV=0xZZ\n", "the IV \"0xZZ\""},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\n#EXT-X-BYTERANGE:100\na.ts\n",
         "Line 5: a byte range without an offset that follows no range of the same resource"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\n#EXT-X-BYTERANGE:100@0\na.ts\n#EXTINF:2,\n"
         "#EXT-X-BYTERANGE:100\nb.ts\n",
         "follows no range of the same resource"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\n#EXT-X-BYTERANGE:0@0\na.ts\n", "the byte range \"0@0\""},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\na.ts\n", "Line 3: \"a.ts\" follows neither EXTINF nor EXT-X-STREAM-INF"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:-1,\na.ts\n", "the segment's duration \"-1\""},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:1e9\n", "the target duration \"1e9\""},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\nftp://h/a.ts\n", "is no http or https URL"},
        {"#EXTM3U\n#EXT-X-STREAM-INF:RESOLUTION=1x1\nv.m3u8\n", "without a readable BANDWIDTH"},
        {"#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1,RESOLUTION=wide\nv.m3u8\n", "the resolution \"wide\""},
        {"#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1,CODECS=\"avc1\n", "the attributes of EXT-X-STREAM-INF"},
        {"#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\n", "EXT-X-STREAM-INF without the URI of its stream"},
        {"#EXTM3U\n#EXT-X-MEDIA:TYPE=AUDIO,NAME=\"x\"\n#EXT-X-STREAM-INF:BANDWIDTH=1\nv.m3u8\n",
         "a rendition without TYPE or GROUP-ID"},
        {"#EXTM3U\n#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"a\",NAME=\"x\"\n", "names no variant stream"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-STREAM-INF:BANDWIDTH=1\nv.m3u8\n",
         "mixes variant streams with media segments"},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\na.ts\n#EXT-X-MEDIA-SEQUENCE:5\n", "the media sequence \"5\""},
        {"#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-MAP:BYTERANGE=\"1@0\"\n", "EXT-X-MAP without a URI"},
    };
    for (const auto& c : cases) {
        const HlsReading r = ReadHlsPlaylist(c.text, kBase);
        EXPECT_NE(r.error.find(c.reason), std::string::npos) << c.text << "\n gave: " << Shown(r);
        EXPECT_TRUE(r.media.segments.empty() && r.masterPlaylist.variants.empty()) << c.text;
    }
}

TEST(HlsPlaylist, RefusesAPlaylistBeyondItsLimits)
{
    std::string big = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n";
    for (std::size_t i = 0; i <= kPlaylistMaxSegments; ++i) {
        big += "#EXTINF:1,\ns.ts\n";
    }
    EXPECT_NE(ReadHlsPlaylist(big, kBase).error.find("more than 100000 segments"), std::string::npos);
    EXPECT_NE(ReadHlsPlaylist(std::string(kPlaylistMaxBytes + 1, '#'), kBase).error.find("larger than 8 MB"),
              std::string::npos);
}

TEST(HlsPlaylist, TellsAPlaylistByItsFirstBytes)
{
    const struct {
        const char* bytes;
        bool playlist;
    } cases[] = {
        {"#EXTM3U\n#EXT-X-VERSION:3\n", true},
        {"\xEF\xBB\xBF#EXTM3U\r\n#EXT-X-TARGETDURATION:2", true},
        {"#EXTM3U\n#EXTINF:123,Artist - Song\nsong.mp3\n", false},  // a list of songs stays a file
        {"#EXTM3U", false},
        {"#EXTM3UX\n#EXT-X-VERSION:3\n", false},
        {" #EXTM3U\n#EXT-X-VERSION:3\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LooksLikeHlsPlaylist(c.bytes), c.playlist) << c.bytes;
    }
}

}  // namespace
}  // namespace dromo
