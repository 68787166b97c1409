#include "base/commands/samefile.h"

#include <algorithm>

#include "base/text/validatorfields.h"

namespace dromo {
namespace {

SameFileVerdict Not(std::string reason)
{
    return SameFileVerdict{false, std::move(reason)};
}

// The whole length both sides know of, from the answer's Content-Range
// and the length the partial file was started with.
bool SameLength(const AddressSample& s)
{
    const std::string kept = ValidatorField(s.keptValidator, "size");
    return s.total >= 0 && !kept.empty() && kept == std::to_string(s.total);
}

}  // namespace

std::string NotSameFileMessage(const std::string& reason)
{
    return "The address is not provably the task's file (" + reason + "); nothing was changed.";
}

SameFileVerdict JudgeSameFile(const AddressSample& s)
{
    if (s.resumePoint <= 0) {
        return Not("the task has no bytes on disk to compare");
    }
    const std::int64_t length = std::min(kSameFileTail, s.resumePoint);
    if (static_cast<std::int64_t>(s.keptTail.size()) != length) {
        return Not("the bytes on disk could not be read");
    }
    if (s.code == 0) {
        return Not("the new address did not answer: " + s.error);
    }
    if (s.code != 206 || s.rangeFirst != s.resumePoint - length || s.rangeLast != s.resumePoint - 1 ||
        static_cast<std::int64_t>(s.tail.size()) != length) {
        return Not("the new address did not answer with the bytes asked for (" + std::to_string(s.code) + ")");
    }
    if (!SameLength(s)) {
        return Not("the new address names another length, or none");
    }
    for (const char* name : {"etag", "lm"}) {
        const std::string kept = ValidatorField(s.keptValidator, name);
        const std::string now = ValidatorField(s.validator, name);
        if (!kept.empty() && !now.empty() && kept != now) {
            return Not(std::string("the new address names another version of the file (") +
                       (name == std::string("etag") ? "ETag" : "Last-Modified") + ")");
        }
    }
    if (s.tail != s.keptTail) {
        return Not("the new address has other bytes before the resume point");
    }
    return SameFileVerdict{true, ""};
}

}  // namespace dromo
