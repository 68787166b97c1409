#pragma once

#include <string_view>

namespace dromo {

// The kinds of stream a URL may answer with instead of a file.
enum class StreamKind { None, Hls, Dash };

// The name a stream task stores for its kind ("HLS", "DASH"); "" for none.
const char* StreamKindName(StreamKind kind);
StreamKind StreamKindNamed(std::string_view name);

// The stream an answer is by its Content-Type (any case, parameters
// ignored): application/vnd.apple.mpegurl, application/x-mpegurl and
// audio/mpegurl are HLS playlists, application/dash+xml a DASH manifest.
StreamKind StreamKindOfType(std::string_view contentType);
// The stream a URL names by its path (any case; query and fragment are no
// part of it): ".m3u8" HLS, ".mpd" DASH.
StreamKind StreamKindOfName(std::string_view url);

}  // namespace dromo
