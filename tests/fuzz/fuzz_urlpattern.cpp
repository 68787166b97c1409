// libFuzzer target for the URL pattern expander and the Add URL sheet's
// reading of many lines: text pasted by the user is outside input. Beyond
// not crashing, the expansion must keep its own promises: never more than
// the limit, either URLs or a reason, never both, and a text without a
// pattern comes back unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/forms/urlbatch.h"
#include "base/text/urlpattern.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A small limit keeps each run quick; the count is checked before any URL is made.
    constexpr std::size_t kMost = 500;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const dromo::UrlExpansion expanded = dromo::ExpandUrlPattern(text, kMost);
    if (expanded.urls.size() > kMost || expanded.error.empty() == expanded.urls.empty()) {
        std::abort();
    }
    if (!dromo::HasUrlPattern(text) && expanded.error.empty() &&
        (expanded.urls.size() != 1 || (expanded.urls[0] != text && text.find('\\') == std::string::npos))) {
        std::abort();
    }

    const dromo::UrlBatch batch = dromo::ReadUrlBatch(text, kMost);
    if (batch.urls.size() > kMost || (!batch.error.empty() && !batch.urls.empty())) {
        std::abort();
    }
    return 0;
}
