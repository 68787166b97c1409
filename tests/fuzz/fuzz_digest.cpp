// libFuzzer target: digest headers and typed checksums as a server or a user
// may send them. The first byte picks the header; the rest is its value.
// Whatever comes in, the parsers return, and what they accept reads back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text/digestlist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    static const char* const kNames[] = {"Repr-Digest", "Content-Digest", "Digest", "digest"};
    const std::string_view value(reinterpret_cast<const char*>(data + 1), size - 1);
    const dromo::DigestList fromHeader = dromo::DigestList::FromHeader(kNames[data[0] % 4], value);
    for (const dromo::Digest& d : fromHeader.Digests()) {
        if (d.bytes.size() != dromo::DigestLength(d.algorithm)) {
            std::abort();
        }
    }
    const std::string stored = fromHeader.Stored();
    const auto again = dromo::DigestList::Parse(stored);
    if (!again || again->Stored() != stored) {
        std::abort();  // what a header gave must survive the profile
    }
    std::string error;
    if (const auto typed = dromo::DigestList::Parse(value, &error)) {
        const auto reread = dromo::DigestList::Parse(typed->Stored());
        if (!reread || reread->Stored() != typed->Stored()) {
            std::abort();
        }
    } else if (error.empty()) {
        std::abort();  // a refusal always says why
    }
    return 0;
}
