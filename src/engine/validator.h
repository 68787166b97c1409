#pragma once

#include <cstdint>
#include <string>

#include "engine/httpresponse.h"

namespace dromo {

// A validator is what a server said of its file, as stored with a partial
// file: lines "etag=", "lm=" (Last-Modified), "size=" and, from an FTP
// server, "mtime=" (seconds since 1970), each ended by a line break.

// An HTTP answer's validator for a file of `total` bytes (-1: unknown).
std::string SizeValidator(const HttpResponse& response, std::int64_t total);
// One line's value; "" when the validator has none.
std::string ValidatorField(const std::string& validator, const std::string& name);
// True when what the server says now contradicts what it said when the
// partial file was started: a value both name, and differently.
bool ServerFileChanged(const std::string& stored, const std::string& now);
// The server's time of its file (Last-Modified, or an FTP server's MDTM),
// as seconds since 1970; -1 when it names none.
std::int64_t ValidatorTime(const std::string& validator);

}  // namespace dromo
