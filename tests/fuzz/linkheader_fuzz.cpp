// A Link field as a server sends it, read at one of a few response URLs or
// at one the input gives. Whatever the bytes, every mirror it gives is an
// absolute URL of the four schemes that resolves to itself, never a plain
// one for a response that came over TLS, never twice, most wanted first,
// and its stored form reads back.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text/linkheader.h"
#include "base/text/parseurl.h"
#include "base/values/taskrecord.h"
#include "tests/fuzz/fuzzcheck.h"
#include "tests/fuzz/fuzzinput.h"

namespace dromo::fuzz {
namespace {

std::string Describe(const Mirror& m)
{
    return std::to_string(m.priority) + ":" + Shown(m.location) + ":" + Shown(m.url);
}

void CheckMirror(const Mirror& m, std::string_view base, const std::string& input)
{
    const auto shown = [&] { return Shown(input) + " at " + Shown(base) + " gave " + Describe(m); };
    const std::optional<ParsedUrl> url = ParseUrl(m.url);
    FUZZ_CHECK(url.has_value(), shown());
    FUZZ_CHECK(std::none_of(m.url.begin(), m.url.end(),
                            [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == '\x7F' || c == '#'; }),
               shown());
    FUZZ_CHECK(LinkHeader::Resolve(m.url, base) == m.url, shown());
    FUZZ_CHECK(m.priority >= kMirrorPriorityBest && m.priority <= kMirrorPriorityNone, shown());
    FUZZ_CHECK(m.location.empty() ||
                   (m.location.size() == 2 &&
                    std::all_of(m.location.begin(), m.location.end(), [](char c) { return c >= 'a' && c <= 'z'; })),
               shown());
    const bool secureBase = base.rfind("https:", 0) == 0 || base.rfind("ftps:", 0) == 0;
    FUZZ_CHECK(!secureBase || IsSecureProtocol(url->protocol), shown());
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo;
    using namespace dromo::fuzz;
    static const char* const kBases[] = {"http://origin.example/pub/f.iso?x=1", "https://origin.example/a/b/",
                                         "ftp://origin.example:2121/f", ""};
    FuzzInput in(data, size);
    const std::uint8_t pick = in.Byte();
    const std::string base = pick < 4 ? kBases[pick] : in.Text(200);
    const std::string value(in.Rest());

    const LinkHeader header(value);
    for (const LinkHeader::Link& link : header.Links()) {
        for (const LinkHeader::Param& p : link.params) {
            FUZZ_CHECK(!p.name.empty() && std::none_of(p.name.begin(), p.name.end(),
                                                       [](char c) { return (c >= 'A' && c <= 'Z') || c == ' '; }),
                       Shown(value) + " gave the parameter " + Shown(p.name));
        }
    }
    const std::vector<Mirror> mirrors = header.Duplicates(base);
    FUZZ_CHECK(mirrors.size() <= kLinkMaxMirrors, Shown(value) + " gave " + std::to_string(mirrors.size()));
    MirrorList list;
    for (std::size_t i = 0; i < mirrors.size(); ++i) {
        CheckMirror(mirrors[i], base, value);
        FUZZ_CHECK(i == 0 || mirrors[i - 1].priority <= mirrors[i].priority, Shown(value) + " out of order");
        FUZZ_CHECK(LinkHeader::Resolve("", base) != mirrors[i].url, Shown(value) + " names the response itself");
        for (std::size_t k = 0; k < i; ++k) {
            FUZZ_CHECK(mirrors[k].url != mirrors[i].url, Shown(value) + " repeats " + Shown(mirrors[i].url));
        }
        list.Add(mirrors[i]);
    }
    const std::optional<MirrorList> again = MirrorList::Parse(list.Stored());
    FUZZ_CHECK(again && again->Mirrors() == mirrors, Shown(value) + " stored as " + Shown(list.Stored()));

    // The whole input as one reference: what it resolves to resolves to itself.
    if (const std::optional<std::string> url = LinkHeader::Resolve(value, base)) {
        FUZZ_CHECK(LinkHeader::Resolve(*url, base) == url,
                   Shown(value) + " at " + Shown(base) + " gave " + Shown(*url));
    }
    return 0;
}
