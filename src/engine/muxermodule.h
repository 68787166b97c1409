#pragma once

// What the muxer module (libdromo-muxer.so, avmuxer.cpp) hands the engine:
// the two calls that need libavformat. The engine and the module are built
// together, so the calls take the engine's own types.

#include <atomic>
#include <string>
#include <vector>

#include "engine/streamstore.h"

namespace dromo {

// Raised whenever the calls below change, so a stale module is refused
// rather than called wrongly.
inline constexpr int kMuxerModuleVersion = 1;

struct MuxerModule {
    int version;
    bool (*fits)(const std::string& storePath, const std::vector<std::vector<StreamStore::Span>>& tracks,
                 const std::string& format);
    std::string (*mux)(const std::string& storePath, const std::vector<std::vector<StreamStore::Span>>& tracks,
                       const std::string& output, const std::string& format, const std::atomic<bool>& abort);
};

// The module's file name, and the function it exports, which returns its
// MuxerModule.
inline constexpr const char* kMuxerModuleFile = "libdromo-muxer.so";
inline constexpr const char* kMuxerModuleEntry = "dromo_muxer_module";

}  // namespace dromo
