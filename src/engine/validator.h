#pragma once

#include <cstdint>
#include <string>

#include "base/text/validatorfields.h"
#include "engine/httpresponse.h"

namespace dromo {

// A validator's lines and their comparison are base's (validatorfields.h):
// the check of a new address for a task's partial file reads them too.

// An HTTP answer's validator for a file of `total` bytes (-1: unknown).
std::string SizeValidator(const HttpResponse& response, std::int64_t total);
// The server's time of its file (Last-Modified, or an FTP server's MDTM),
// as seconds since 1970; -1 when it names none.
std::int64_t ValidatorTime(const std::string& validator);

}  // namespace dromo
