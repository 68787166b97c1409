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

std::string ValidatorField(const std::string& validator, const std::string& name)
{
    const std::string key = name + "=";
    std::size_t at = validator.rfind(key, 0) == 0 ? 0 : validator.find("\n" + key);
    if (at == std::string::npos) {
        return {};
    }
    if (at != 0) {
        ++at;
    }
    const std::size_t start = at + key.size();
    return validator.substr(start, validator.find('\n', start) - start);
}

bool ServerFileChanged(const std::string& stored, const std::string& now)
{
    for (const char* name : {"etag", "lm", "size", "mtime"}) {
        const std::string a = ValidatorField(stored, name);
        const std::string b = ValidatorField(now, name);
        if (!a.empty() && !b.empty() && a != b) {
            return true;
        }
    }
    return false;
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
