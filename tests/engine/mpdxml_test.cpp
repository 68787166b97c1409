// DASH manifests as packagers write them, read with libxml2 and the
// manifest's rules, and the ones a recording must refuse.

#include "engine/mpdxml.h"

#include <gtest/gtest.h>

#include <string>

namespace dromo {
namespace {

constexpr const char* kBase = "https://cdn.example/v/stream.mpd";

std::string Manifest(const std::string& periodBody,
                     const std::string& mpdAttributes = " type=\"static\" mediaPresentationDuration=\"PT10S\"")
{
    return "<?xml version=\"1.0\"?>\n<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\"" + mpdAttributes + ">\n<Period>\n" +
           periodBody + "</Period>\n</MPD>\n";
}

// A reading in one line per item.
std::string Shown(const DashReading& r)
{
    if (!r.Ok()) {
        return "error: " + r.error;
    }
    std::string out;
    for (const DashRepresentation& rep : r.representations) {
        out += (rep.audio ? "audio " : "video ") + rep.id + " bw=" + std::to_string(rep.bandwidth) + " " +
               std::to_string(rep.width) + "x" + std::to_string(rep.height) + (rep.wholeFile ? " whole" : "") + "\n";
        if (!rep.init.url.empty()) {
            out += " init " + rep.init.url;
            out += rep.init.range.Whole()
                       ? std::string()
                       : " @" + std::to_string(rep.init.range.offset) + "+" + std::to_string(rep.init.range.length);
            out += "\n";
        }
        for (const DashSegment& s : rep.segments) {
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%g", s.seconds);
            out += " " + s.url + " " + seconds + "s";
            out += s.range.Whole() ? std::string()
                                   : " @" + std::to_string(s.range.offset) + "+" + std::to_string(s.range.length);
            out += "\n";
        }
    }
    return out;
}

TEST(MpdXml, ReadsEveryKindOfSegmentInformation)
{
    const struct {
        std::string manifest;
        const char* shown;
    } cases[] = {
        // $Number$ templates with a duration, inherited from the adaptation set
        {Manifest("<AdaptationSet mimeType=\"video/mp4\">\n"
                  "<SegmentTemplate timescale=\"1000\" duration=\"4000\" startNumber=\"1\" "
                  "initialization=\"$RepresentationID$/init.mp4\" media=\"$RepresentationID$/$Number%03d$.m4s\"/>\n"
                  "<Representation id=\"v720\" bandwidth=\"2000000\" width=\"1280\" height=\"720\"/>\n"
                  "</AdaptationSet>\n"
                  "<AdaptationSet contentType=\"audio\" mimeType=\"audio/mp4\">\n"
                  "<Representation id=\"a\" bandwidth=\"128000\">\n"
                  "<SegmentTemplate duration=\"5\" media=\"a-$Number$-$Bandwidth$.m4s\" startNumber=\"0\"/>\n"
                  "</Representation></AdaptationSet>\n"),
         "video v720 bw=2000000 1280x720\n"
         " init https://cdn.example/v/v720/init.mp4\n"
         " https://cdn.example/v/v720/001.m4s 4s\n"
         " https://cdn.example/v/v720/002.m4s 4s\n"
         " https://cdn.example/v/v720/003.m4s 2s\n"
         "audio a bw=128000 0x0\n"
         " https://cdn.example/v/a-0-128000.m4s 5s\n"
         " https://cdn.example/v/a-1-128000.m4s 5s\n"},
        // $Time$ with a timeline: t, d, r and r=-1 up to the next t and to the end
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\" bandwidth=\"1\">\n"
                  "<SegmentTemplate timescale=\"10\" media=\"t$Time$.m4s\" initialization=\"i.mp4\">\n"
                  "<SegmentTimeline><S t=\"0\" d=\"20\" r=\"1\"/><S d=\"10\"/><S d=\"5\" r=\"-1\"/>"
                  "<S t=\"60\" d=\"20\" r=\"-1\"/></SegmentTimeline>\n"
                  "</SegmentTemplate></Representation></AdaptationSet>\n"),
         "video v bw=1 0x0\n"
         " init https://cdn.example/v/i.mp4\n"
         " https://cdn.example/v/t0.m4s 2s\n"
         " https://cdn.example/v/t20.m4s 2s\n"
         " https://cdn.example/v/t40.m4s 1s\n"
         " https://cdn.example/v/t50.m4s 0.5s\n"
         " https://cdn.example/v/t55.m4s 0.5s\n"
         " https://cdn.example/v/t60.m4s 2s\n"
         " https://cdn.example/v/t80.m4s 2s\n"
         " https://cdn.example/v/t100.m4s 2s\n"
         " https://cdn.example/v/t120.m4s 2s\n"
         " https://cdn.example/v/t140.m4s 2s\n"},
        // a segment list with ranges of one file, under BaseURLs at every level
        {"<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\" mediaPresentationDuration=\"PT4S\">"
         "<BaseURL>https://media.example/root/</BaseURL><Period><BaseURL>p/</BaseURL>"
         "<AdaptationSet mimeType=\"audio/mp4\"><BaseURL>/abs/</BaseURL>"
         "<Representation id=\"x\" bandwidth=\"64000\"><BaseURL> track.mp4 </BaseURL>"
         "<SegmentList timescale=\"1000\" duration=\"2000\"><Initialization range=\"0-99\"/>"
         "<SegmentURL mediaRange=\"100-199\"/><SegmentURL media=\"other.mp4\" mediaRange=\"200-299\"/>"
         "</SegmentList></Representation></AdaptationSet></Period></MPD>",
         "audio x bw=64000 0x0\n"
         " init https://media.example/abs/track.mp4 @0+100\n"
         " https://media.example/abs/track.mp4 2s @100+100\n"
         " https://media.example/abs/other.mp4 2s @200+100\n"},
        // SegmentBase, and a BaseURL alone: the file whole; text tracks and
        // elements of other namespaces are passed over
        {Manifest("<AdaptationSet mimeType=\"video/webm\" xmlns:x=\"urn:other\">\n"
                  "<x:Extra/><Representation id=\"w\" bandwidth=\"3\" width=\"640\" height=\"360\">"
                  "<BaseURL>w.webm</BaseURL><SegmentBase indexRange=\"10-20\"><Initialization range=\"0-9\"/>"
                  "</SegmentBase></Representation></AdaptationSet>\n"
                  "<AdaptationSet mimeType=\"text/vtt\"><Representation id=\"t\" bandwidth=\"1\">"
                  "<BaseURL>sub.vtt</BaseURL></Representation></AdaptationSet>\n"
                  "<AdaptationSet><Representation id=\"c\" bandwidth=\"2\" codecs=\"mp4a.40.2\">"
                  "<BaseURL>a.m4a</BaseURL></Representation></AdaptationSet>\n"),
         "video w bw=3 640x360 whole\n"
         " https://cdn.example/v/w.webm 10s\n"
         "audio c bw=2 0x0 whole\n"
         " https://cdn.example/v/a.m4a 10s\n"},
        // "$$" is a dollar; the period's own duration wins
        {"<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\" mediaPresentationDuration=\"PT1H\"><Period duration=\"PT3S\">"
         "<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"d\" bandwidth=\"1\">"
         "<SegmentTemplate duration=\"2\" media=\"$$$Number$.m4s\"/></Representation></AdaptationSet></Period></MPD>",
         "video d bw=1 0x0\n"
         " https://cdn.example/v/$1.m4s 2s\n"
         " https://cdn.example/v/$2.m4s 1s\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(MpdXml::Read(c.manifest, kBase)), c.shown) << c.manifest;
    }
}

TEST(MpdXml, RefusesWhatCannotBeRecordedWithItsReason)
{
    const std::string videoTemplate =
        "<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\" bandwidth=\"1\">"
        "<SegmentTemplate duration=\"1\" media=\"$Number$.m4s\"/>";
    const struct {
        std::string manifest;
        const char* reason;
    } cases[] = {
        {"", "not a DASH manifest"},
        {"<html><body/></html>", "its root element is not <MPD>"},
        {"<MPD xmlns=\"urn:other\"/>", "its root element is not <MPD>"},
        {"<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\"", "Line 1: This is not a DASH manifest"},
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE MPD [<!ENTITY a \"aaaa\">]>\n<MPD/>",
         "may not declare a document type or entities"},
        {"<!DOCTYPE MPD SYSTEM \"http://evil.example/x.dtd\"><MPD/>", "may not declare a document type"},
        {Manifest("", " type=\"dynamic\""), "a live DASH stream (type=\"dynamic\")"},
        {"<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\"/>", "the manifest has no Period"},
        {"<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\"><Period/><Period/></MPD>", "several periods"},
        {Manifest(""), "no video or audio representation"},
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><ContentProtection schemeIdUri=\"urn:mpeg:dash:mp4protection:"
                  "2011\" value=\"cenc\"/><Representation id=\"v\" bandwidth=\"1\"/></AdaptationSet>"),
         "protected by DRM (ContentProtection)"},
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\" bandwidth=\"1\">"
                  "<ContentProtection schemeIdUri=\"urn:uuid:edef8ba9-79d6-4ace-a3c8-27dcd51d21ed\"/>"
                  "</Representation></AdaptationSet>"),
         "protected by DRM"},
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\"/></AdaptationSet>"),
         "without a readable bandwidth"},
        {Manifest(videoTemplate + "</Representation></AdaptationSet>", ""),
         "neither a SegmentTimeline nor a duration and a known period"},
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\" bandwidth=\"1\">"
                  "<SegmentTemplate duration=\"1\" media=\"$Nmber$.m4s\"/></Representation></AdaptationSet>"),
         "identifier $Nmber$ is unknown"},
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\" bandwidth=\"1\">"
                  "<SegmentTemplate duration=\"1\" media=\"$Number%5x$.m4s\"/></Representation></AdaptationSet>"),
         "format \"5x\" cannot be used"},
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\" bandwidth=\"1\">"
                  "<SegmentTemplate duration=\"1\" media=\"$Number.m4s\"/></Representation></AdaptationSet>"),
         "an unclosed $"},
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\" bandwidth=\"1\">"
                  "<SegmentTemplate media=\"$Time$\"><SegmentTimeline><S t=\"0\"/></SegmentTimeline>"
                  "</SegmentTemplate></Representation></AdaptationSet>"),
         "a SegmentTimeline entry whose t, d or r cannot be read"},
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\" bandwidth=\"1\">"
                  "<SegmentTemplate duration=\"1\" timescale=\"1000000\" media=\"$Number$\"/></Representation>"
                  "</AdaptationSet>",
                  " mediaPresentationDuration=\"P1Y\""),
         "more than 100000 segments"},
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\" bandwidth=\"1\">"
                  "<SegmentList><SegmentURL media=\"ftp://h/a\"/></SegmentList></Representation></AdaptationSet>"),
         "\"ftp://h/a\" is no http or https URL"},
        {Manifest("<AdaptationSet mimeType=\"video/mp4\"><Representation id=\"v\" bandwidth=\"1\">"
                  "<SegmentList><SegmentURL media=\"a\" mediaRange=\"9-1\"/></SegmentList></Representation>"
                  "</AdaptationSet>"),
         "the range \"9-1\" cannot be read"},
    };
    for (const auto& c : cases) {
        const DashReading r = MpdXml::Read(c.manifest, kBase);
        EXPECT_NE(r.error.find(c.reason), std::string::npos) << c.manifest << "\n gave: " << Shown(r);
        EXPECT_TRUE(r.representations.empty());
    }
}

TEST(MpdXml, ReadsIsoDurations)
{
    const struct {
        const char* text;
        double seconds;  // -1: refused
    } cases[] = {
        {"PT634.566S", 634.566},
        {"PT1H2M3.5S", 3723.5},
        {"P1DT2H", 93600},
        {"P0Y0M0DT0H10M0.00S", 600},
        {"PT0S", 0},
        {"P", -1},
        {"PT", -1},
        {"T1S", -1},
        {"PT1X", -1},
        {"PT-1S", -1},
        {"PTT1S", -1},
        {"PT1..5S", -1},
    };
    for (const auto& c : cases) {
        const auto seconds = ReadIsoDuration(c.text);
        if (c.seconds < 0) {
            EXPECT_FALSE(seconds.has_value()) << c.text;
        } else {
            ASSERT_TRUE(seconds.has_value()) << c.text;
            EXPECT_DOUBLE_EQ(*seconds, c.seconds) << c.text;
        }
    }
}

}  // namespace
}  // namespace dromo
