// Which answers and names are streams' playlists.

#include "base/text/streamtypes.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

TEST(StreamTypes, TellsPlaylistsByTypeAndByName)
{
    const struct {
        const char* text;
        StreamKind byType;
        StreamKind byName;
    } cases[] = {
        {"application/vnd.apple.mpegurl", StreamKind::Hls, StreamKind::None},
        {"Application/X-MPEGURL; charset=utf-8", StreamKind::Hls, StreamKind::None},
        {"audio/mpegurl", StreamKind::Hls, StreamKind::None},
        {"application/dash+xml", StreamKind::Dash, StreamKind::None},
        {"video/mp2t", StreamKind::None, StreamKind::None},
        {"https://h/live/index.m3u8", StreamKind::None, StreamKind::Hls},
        {"https://h/live/INDEX.M3U8?token=a.mpd", StreamKind::None, StreamKind::Hls},
        {"http://h/v/manifest.mpd#t=10", StreamKind::None, StreamKind::Dash},
        {"http://h/get?file=a.m3u8", StreamKind::None, StreamKind::None},
        {"http://h/.m3u8/file.mp4", StreamKind::None, StreamKind::None},
        {".mpd", StreamKind::None, StreamKind::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StreamKindOfType(c.text), c.byType) << c.text;
        EXPECT_EQ(StreamKindOfName(c.text), c.byName) << c.text;
    }
    for (StreamKind kind : {StreamKind::None, StreamKind::Hls, StreamKind::Dash}) {
        EXPECT_EQ(StreamKindNamed(StreamKindName(kind)), kind);
    }
    EXPECT_EQ(StreamKindNamed("hls"), StreamKind::None);
}

}  // namespace
}  // namespace dromo
