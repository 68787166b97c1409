#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/streamstore.h"

namespace dromo {

// Makes one file of a recording's tracks without re-encoding, with
// FFmpeg's libavformat, which a module of Dromo's own brings in at the first
// call (muxermodule.h): each track is read as the concatenation of its
// pieces in the store (MPEG-TS segments, or fMP4 after its init section),
// and every video and audio stream of every track goes into the output in
// time order, the tracks' common start moved to zero.
class StreamMuxer {
public:
    // The container a file name asks for: "mp4" for .mp4, .m4v, .m4a and
    // .mov, "mpegts" for .ts, "matroska" for .mkv, "webm" for .webm; "" for
    // any other name.
    static std::string FormatForName(const std::string& name);

    // Writes `output` in `format` from the tracks, each a list of spans of
    // the store file at `storePath`. "" or the reason it failed (the output
    // may then be partly written; without the module nothing is). `abort`
    // ends it early, as a failure.
    static std::string Mux(const std::string& storePath, const std::vector<std::vector<StreamStore::Span>>& tracks,
                           const std::string& output, const std::string& format, const std::atomic<bool>& abort);

    // Whether every stream of the tracks can go into `format` as it is:
    // VP9 or Opus, say, cannot go into MPEG-TS. False without the module.
    static bool Fits(const std::string& storePath, const std::vector<std::vector<StreamStore::Span>>& tracks,
                     const std::string& format);
};

}  // namespace dromo
