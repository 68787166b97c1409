// What a recording takes of a playlist: its pieces with their keys and
// IVs, the init section, the variant and the sound that goes with it.

#include "base/text/streamtracks.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

HlsMediaPlaylist Read(const std::string& text)
{
    const HlsReading reading = ReadHlsPlaylist(text, "https://cdn.example/v/index.m3u8");
    EXPECT_TRUE(reading.Ok()) << reading.error;
    return reading.media;
}

TEST(StreamTracks, EachSegmentCarriesItsKeyAndIvAndTheTrackItsInitSection)
{
    const HlsMediaPlaylist playlist = Read(
        "#EXTM3U\n#EXT-X-TARGETDURATION:4\n#EXT-X-MEDIA-SEQUENCE:258\n#EXT-X-MAP:URI=\"init.mp4\"\n"
        "#EXTINF:4,\na.m4s\n"
        "#EXT-X-KEY:METHOD=AES-128,URI=\"k1\"\n#EXTINF:4,\nb.m4s\n"
        "#EXT-X-KEY:METHOD=AES-128,URI=\"k2\",IV=0x000102030405060708090a0b0c0d0e0f\n#EXTINF:3.5,\nc.m4s\n"
        "#EXT-X-KEY:METHOD=NONE\n#EXTINF:2,\nd.m4s\n#EXT-X-ENDLIST\n");
    std::string why;
    const std::optional<StreamTrack> track = TrackOfHls(playlist, "https://cdn.example/v/index.m3u8", why);
    ASSERT_TRUE(track) << why;
    EXPECT_FALSE(track->live);
    EXPECT_DOUBLE_EQ(track->Seconds(), 13.5);
    ASSERT_TRUE(track->init);
    EXPECT_EQ(track->init->url, "https://cdn.example/v/init.mp4");
    EXPECT_EQ(track->init->sequence, -1);
    const std::string sequenceIv259 = std::string(14, '\0') + "\x01\x03";
    const std::string tagIv = std::string("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f", 16);
    const struct {
        std::int64_t sequence;
        const char* key;
        std::string iv;
    } expected[] = {
        {258, "", ""},
        {259, "https://cdn.example/v/k1", sequenceIv259},
        {260, "https://cdn.example/v/k2", tagIv},
        {261, "", ""},
    };
    ASSERT_EQ(track->pieces.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(track->pieces[i].sequence, expected[i].sequence) << i;
        EXPECT_EQ(track->pieces[i].keyUrl, expected[i].key) << i;
        EXPECT_EQ(track->pieces[i].iv, expected[i].iv) << i;
    }
}

TEST(StreamTracks, AnInitSectionThatChangesOnTheWayIsRefused)
{
    std::string why;
    const HlsMediaPlaylist playlist = Read(
        "#EXTM3U\n#EXT-X-TARGETDURATION:4\n#EXT-X-MAP:URI=\"a.mp4\"\n#EXTINF:4,\n"
        "1.m4s\n#EXT-X-MAP:URI=\"b.mp4\"\n#EXTINF:4,\n2.m4s\n#EXT-X-ENDLIST\n");
    EXPECT_FALSE(TrackOfHls(playlist, "u", why));
    EXPECT_NE(why.find("EXT-X-MAP"), std::string::npos) << why;
}

TEST(StreamTracks, TheChosenVariantTakesTheSoundOfItsGroup)
{
    const std::string head = "#EXTM3U\n";
    const std::string variants =
        "#EXT-X-STREAM-INF:BANDWIDTH=3000000,RESOLUTION=1280x720,AUDIO=\"hi\"\nhd.m3u8\n"
        "#EXT-X-STREAM-INF:BANDWIDTH=800000,RESOLUTION=640x360,AUDIO=\"lo\"\nsd.m3u8\n"
        "#EXT-X-STREAM-INF:BANDWIDTH=900000,RESOLUTION=640x360\nmuxed.m3u8\n";
    const struct {
        const char* what;
        std::string renditions;
        const char* choice;
        const char* variant;
        const char* audio;  // "" for none apart
    } cases[] = {
        {"the default of the group",
         "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"hi\",NAME=\"en\",URI=\"en.m3u8\"\n"
         "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"hi\",NAME=\"fr\",DEFAULT=YES,URI=\"fr.m3u8\"\n",
         "", "hd.m3u8", "fr.m3u8"},
        {"the first of a group without default",
         "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"hi\",NAME=\"en\",URI=\"en.m3u8\"\n"
         "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"hi\",NAME=\"fr\",URI=\"fr.m3u8\"\n",
         "", "hd.m3u8", "en.m3u8"},
        {"sound carried in the variant", "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"hi\",NAME=\"in\",DEFAULT=YES\n", "",
         "hd.m3u8", ""},
        {"another group's sound", "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"lo\",NAME=\"lo\",URI=\"lo.m3u8\"\n", "360p",
         "muxed.m3u8", ""},
        {"the lowest with its group", "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"lo\",NAME=\"lo\",URI=\"lo.m3u8\"\n", "lowest",
         "sd.m3u8", "lo.m3u8"},
    };
    for (const auto& c : cases) {
        const HlsReading reading = ReadHlsPlaylist(head + c.renditions + variants, "https://x/m.m3u8");
        ASSERT_TRUE(reading.Ok()) << c.what << ": " << reading.error;
        const HlsMasterPlaylist& master = reading.masterPlaylist;
        const HlsChoice choice = ChooseHls(master, *VariantChoice::Parse(c.choice));
        ASSERT_GE(choice.variant, 0) << c.what;
        EXPECT_EQ(master.variants[static_cast<std::size_t>(choice.variant)].url, std::string("https://x/") + c.variant)
            << c.what;
        const std::string audio = choice.audio < 0 ? "" : master.renditions[static_cast<std::size_t>(choice.audio)].url;
        EXPECT_EQ(audio, *c.audio ? std::string("https://x/") + c.audio : "") << c.what;
    }
}

}  // namespace
}  // namespace dromo
