#include "base/text/streamtypes.h"

#include <string>

#include "base/text/textutil.h"

namespace dromo {

const char* StreamKindName(StreamKind kind)
{
    switch (kind) {
    case StreamKind::Hls: return "HLS";
    case StreamKind::Dash: return "DASH";
    case StreamKind::None: break;
    }
    return "";
}

StreamKind StreamKindNamed(std::string_view name)
{
    return name == "HLS" ? StreamKind::Hls : name == "DASH" ? StreamKind::Dash : StreamKind::None;
}

StreamKind StreamKindOfType(std::string_view contentType)
{
    const std::string type(TrimBlanks(contentType.substr(0, contentType.find(';'))));
    const std::string folded = FoldCase(type);
    if (folded == "application/vnd.apple.mpegurl" || folded == "application/x-mpegurl" || folded == "audio/mpegurl" ||
        folded == "audio/x-mpegurl") {
        return StreamKind::Hls;
    }
    return folded == "application/dash+xml" ? StreamKind::Dash : StreamKind::None;
}

StreamKind StreamKindOfName(std::string_view url)
{
    const std::size_t scheme = url.find("://");
    std::string_view path = url.substr(0, url.find_first_of("?#", scheme == std::string_view::npos ? 0 : scheme + 3));
    const std::string folded = FoldCase(path);
    const auto endsWith = [&folded](std::string_view suffix) {
        return folded.size() > suffix.size() &&
               folded.compare(folded.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (endsWith(".m3u8")) {
        return StreamKind::Hls;
    }
    return endsWith(".mpd") ? StreamKind::Dash : StreamKind::None;
}

}  // namespace dromo
