// Names from URLs and servers. Whatever the bytes, the name a file is saved
// under stays in its folder, is not hidden, is not taken for a partial file,
// and leaves room for what is added to it later.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text/filenames.h"
#include "engine/httpresponse.h"
#include "tests/fuzz/fuzzcheck.h"

namespace dromo::fuzz {
namespace {

// NAME_MAX of the usual Linux file systems, and what may still be appended to
// a saved name: a further copy's " (999)" and the partial file's "+++".
constexpr std::size_t kNameMax = 255;
constexpr std::size_t kAppended = std::string_view(" (999)").size() + std::string_view("+++").size();

void CheckName(const char* rule, std::string_view input, const std::string& name)
{
    const auto shown = [&] { return std::string(rule) + "(" + Shown(input) + ") = " + Shown(name); };
    if (name.empty()) {
        return;  // "nothing usable": the caller falls back to a name of its own
    }
    FUZZ_CHECK(name.front() != '.', shown());
    FUZZ_CHECK(name.find('/') == std::string::npos, shown());
    FUZZ_CHECK(name.front() != ' ' && name.back() != ' ', shown());
    FUZZ_CHECK(!(name.size() >= 3 && name.compare(name.size() - 3, 3, "+++") == 0), shown());
    FUZZ_CHECK(name.size() + kAppended <= kNameMax, shown());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        FUZZ_CHECK(byte >= 0x20 && byte != 0x7F, shown());
    }
    // A safe name is left as it is.
    FUZZ_CHECK(SafeFileName(name) == name, shown() + ", made safe again " + Shown(SafeFileName(name)));
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo;
    using namespace dromo::fuzz;
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    // A URL as typed, captured or redirected to.
    const std::string fromUrl = FileNameFromUrl(input);
    CheckName("FileNameFromUrl", input, fromUrl);
    FUZZ_CHECK(!fromUrl.empty() && fuzz::IsUtf8(fromUrl), "FileNameFromUrl(" + Shown(input) + ") = " + Shown(fromUrl));

    // A name as a browser settled on it.
    const std::string safe = SafeFileName(input);
    CheckName("SafeFileName", input, safe);
    FUZZ_CHECK(!fuzz::IsUtf8(input) || fuzz::IsUtf8(safe), "SafeFileName(" + Shown(input) + ") = " + Shown(safe));

    // A server's Content-Disposition, the way the engine takes its name.
    const std::string suggested = ContentDispositionFileName(input);
    CheckName("SafeFileName(ContentDispositionFileName)", input, SafeFileName(suggested));
    return 0;
}
