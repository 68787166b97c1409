#include "engine/streammuxer.h"

#include <dlfcn.h>
#include <unistd.h>
#include <climits>
#include <cstring>

#include "base/text/filenames.h"
#include "base/text/textutil.h"
#include "base/text/trace.h"
#include "engine/muxermodule.h"

namespace dromo {
namespace {

// Where the module is looked for: beside the program, as the build tree and
// a relocated install lay it out (bin/ and lib/dromo/), then where this
// build installs it.
std::vector<std::string> ModulePaths()
{
    std::vector<std::string> paths;
    char self[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        paths.push_back(FolderOfPath(std::string(self, static_cast<std::size_t>(n))) + "/../lib/dromo/" +
                        kMuxerModuleFile);
    }
    paths.push_back(std::string(DROMO_MODULE_DIR) + "/" + kMuxerModuleFile);
    return paths;
}

struct LoadedModule {
    const MuxerModule* module = nullptr;
    std::string error;  // why there is none
};

LoadedModule Load()
{
    LoadedModule loaded;
    for (const std::string& path : ModulePaths()) {
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = ::dlerror();
            loaded.error = why != nullptr ? why : path + ": cannot be loaded";
            continue;
        }
        using Entry = const MuxerModule* (*)();
        const auto entry = reinterpret_cast<Entry>(::dlsym(handle, kMuxerModuleEntry));
        const MuxerModule* module = entry != nullptr ? entry() : nullptr;
        if (module == nullptr || module->version != kMuxerModuleVersion) {
            loaded.error = path + ": another version of Dromo's muxer module";
            ::dlclose(handle);
            continue;
        }
        trace::Line("streams", "muxer module " + path);
        loaded.module = module;  // stays loaded for the program's life
        return loaded;
    }
    return loaded;
}

// Loaded at the first recording that is joined; threads that join at once
// wait for the one load.
const LoadedModule& Module()
{
    static const LoadedModule loaded = Load();
    return loaded;
}

}  // namespace

std::string StreamMuxer::FormatForName(const std::string& name)
{
    const std::string lower = FoldCase(name);
    const auto ends = [&lower](const char* suffix) {
        const std::size_t n = std::strlen(suffix);
        return lower.size() > n && lower.compare(lower.size() - n, n, suffix) == 0;
    };
    if (ends(".mp4") || ends(".m4v") || ends(".m4a") || ends(".mov")) {
        return "mp4";
    }
    if (ends(".ts")) {
        return "mpegts";
    }
    if (ends(".mkv")) {
        return "matroska";
    }
    return ends(".webm") ? "webm" : std::string();
}

bool StreamMuxer::Fits(const std::string& storePath, const std::vector<std::vector<StreamStore::Span>>& tracks,
                       const std::string& format)
{
    const LoadedModule& loaded = Module();
    return loaded.module != nullptr && loaded.module->fits(storePath, tracks, format);
}

std::string StreamMuxer::Mux(const std::string& storePath, const std::vector<std::vector<StreamStore::Span>>& tracks,
                             const std::string& output, const std::string& format, const std::atomic<bool>& abort)
{
    const LoadedModule& loaded = Module();
    if (loaded.module == nullptr) {
        return "the muxer module could not be loaded (" + loaded.error + ")";
    }
    return loaded.module->mux(storePath, tracks, output, format, abort);
}

}  // namespace dromo
