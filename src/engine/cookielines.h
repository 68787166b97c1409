#pragma once

#include <string>
#include <vector>

#include <curl/curl.h>

namespace dromo {

// A browser's "a=1; b=2" as cookie-file lines for libcurl's cookie store:
// for exactly this host (no subdomains), any path, kept for the session,
// and sent over TLS only when `secure` (the browser sent them to an https
// URL, so any of them may be a Secure cookie). Pairs that are no cookie, or
// would break a line, are left out.
std::vector<std::string> CookieLines(const std::string& header, const std::string& host, bool secure);

// The task's cookies go over from a configured handle to a copy of it: a
// copy starts with none and with its cookie engine off, so it would send
// none. Each keeps the host it was given for.
void CopyCookies(CURL* from, CURL* to);

}  // namespace dromo
