// The main of a fuzz target where libFuzzer is not at hand (gcc builds): runs
// LLVMFuzzerTestOneInput once on each file named, and on each file of each
// folder named, as libFuzzer does with -runs=0. libFuzzer's own options
// ("-runs=0") are accepted and ignored, so one command line serves both.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool Replay(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "Running: %s\n", path.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        if (argv[i][0] == '-') {
            continue;
        }
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    inputs.push_back(entry.path());
                }
            }
        } else {
            inputs.push_back(path);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s FILE|FOLDER...\n", argv[0]);
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    // libFuzzer always tries the empty input first.
    static const std::uint8_t kNothing = 0;
    LLVMFuzzerTestOneInput(&kNothing, 0);
    for (const auto& path : inputs) {
        if (!Replay(path)) {
            return 1;
        }
    }
    std::fprintf(stderr, "Replayed %zu inputs\n", inputs.size() + 1);
    return 0;
}
