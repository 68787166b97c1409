#include "engine/validator.h"

#include <cstdlib>

#include <curl/curl.h>

namespace dromo {

std::string SizeValidator(const HttpResponse& r, std::int64_t total)
{
    std::string v;
    if (!r.etag.empty()) {
        v += "etag=" + r.etag + "\n";
    }
    if (!r.lastModified.empty()) {
        v += "lm=" + r.lastModified + "\n";
    }
    if (total >= 0) {
        v += "size=" + std::to_string(total) + "\n";
    }
    return v;
}

std::int64_t ValidatorTime(const std::string& validator)
{
    const std::string mtime = ValidatorField(validator, "mtime");
    if (!mtime.empty()) {
        char* end = nullptr;
        const long long seconds = std::strtoll(mtime.c_str(), &end, 10);
        return end != mtime.c_str() && *end == '\0' && seconds >= 0 ? seconds : -1;
    }
    const std::string lm = ValidatorField(validator, "lm");
    return lm.empty() ? -1 : static_cast<std::int64_t>(curl_getdate(lm.c_str(), nullptr));
}

}  // namespace dromo
