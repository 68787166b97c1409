// The download list file (".lst"), as another run or another program wrote
// it. Whatever the file holds, loading it adds tasks one by one without
// harm, and the tasks it added, written out as a list, load again as the
// same list: a list Dromo writes is one Dromo reads back unchanged.

#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "base/storage/downloadlist.h"
#include "base/text/privateprofile.h"
#include "tests/base/fakes/rig.h"
#include "tests/fuzz/fuzzcheck.h"

namespace dromo::fuzz {
namespace {

// The list's tasks stay queued: no worker runs.
struct Lists {
    test::Rig rig;
    Lists() { rig.options.maxThreadNumber = 0; }

    int Load(const std::string& text)
    {
        return DownloadList::Load(text, rig.options, rig.settings.proxies, rig.table, rig.adder);
    }
    std::string WriteAll() const
    {
        std::vector<int> rows(static_cast<std::size_t>(rig.table.Count()));
        std::iota(rows.begin(), rows.end(), 0);
        return DownloadList::Write(rig.table, rows, rig.settings.proxies);
    }
};

void CheckReader(const std::string& text)
{
    const PrivateProfile file(text);
    for (const std::string& section : file.Sections()) {
        for (const char* key : {"num", "url", "saveas", "speed", "proxyport"}) {
            const std::string value = file.GetString(section, key, "");
            FUZZ_CHECK(value.size() <= PrivateProfile::kValueLimit, Shown(text));
            // A missing key gives the default back, whichever it is.
            const bool held = file.GetString(section, key, "a") == file.GetString(section, key, "b");
            FUZZ_CHECK(held || value.empty(), Shown(text));
            static_cast<void>(file.GetInt(section, key, 0));
        }
    }
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo::fuzz;
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckReader(text);

    Lists first;
    const int added = first.Load(text);
    FUZZ_CHECK(added == first.rig.table.Count(), Shown(text) + " added " + std::to_string(added) +
                                                     " tasks but the list holds " +
                                                     std::to_string(first.rig.table.Count()));
    const std::string written = first.WriteAll();

    Lists second;
    const int again = second.Load(written);
    const std::string rewritten = second.WriteAll();
    FUZZ_CHECK(again == added && rewritten == written, "the list " + Shown(text) + " added " + std::to_string(added) +
                                                           " tasks and was written as " + Shown(written) +
                                                           ", which added " + std::to_string(again) +
                                                           " and was written again; " + Difference(written, rewritten));
    return 0;
}
