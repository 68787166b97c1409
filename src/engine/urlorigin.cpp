#include "engine/urlorigin.h"

#include <memory>

#include <curl/curl.h>

#include "base/text/textutil.h"

namespace dromo {
namespace {

struct UrlCleanup {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

std::optional<std::string> Part(CURLU* url, CURLUPart part, unsigned int flags)
{
    char* value = nullptr;
    if (curl_url_get(url, part, &value, flags) != CURLUE_OK || value == nullptr) {
        return std::nullopt;
    }
    std::string text(value);
    curl_free(value);
    return text;
}

}  // namespace

std::optional<UrlOrigin> UrlOrigin::Of(const std::string& url)
{
    const std::unique_ptr<CURLU, UrlCleanup> handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
        return std::nullopt;
    }
    const auto scheme = Part(handle.get(), CURLUPART_SCHEME, 0);
    const auto host = Part(handle.get(), CURLUPART_HOST, 0);
    const auto port = Part(handle.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (!scheme || !host || !port) {
        return std::nullopt;
    }
    return UrlOrigin{FoldCase(*scheme), FoldCase(*host), *port};
}

}  // namespace dromo
