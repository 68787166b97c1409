#pragma once

#include <string>

namespace dromo {

// A validator is what a server said of its file, as stored with a partial
// file: lines "etag=", "lm=" (Last-Modified), "size=" and, from an FTP
// server, "mtime=" (seconds since 1970), each ended by a line break.

// One line's value; "" when the validator has none.
std::string ValidatorField(const std::string& validator, const std::string& name);
// True when what the server says now contradicts what it said when the
// partial file was started: a value both name, and differently.
bool ServerFileChanged(const std::string& stored, const std::string& now);

}  // namespace dromo
