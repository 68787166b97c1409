#include "base/text/validatorfields.h"

namespace dromo {

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

}  // namespace dromo
