#pragma once

#include <cstdint>
#include <string>

#include <curl/curl.h>

#include "base/values/transferoutcome.h"

namespace dromo {

// What a failed transfer knew when it ended, for the words of its failure.
struct FailureFacts {
    bool ftp = false;              // an FTP request
    bool redirectedToFtp = false;  // an HTTP request a redirect took to FTP
    bool undecided = false;        // no answer was decided on yet
    int responseCode = 0;          // the HTTP answer's code; 0 before one
    std::int64_t received = 0;     // bytes of the body
    bool slow = false;             // ended for less than a byte a second
    std::string lastReply;         // the FTP server's last reply line
    std::string proxy;             // the proxy's address as set ("https://gate:3128"); "" for none
    bool ftpTlsRequired = false;   // option "Require TLS for FTP"
};

// The host as shown in texts: a login someone left in it is never shown.
std::string ShownHost(const std::string& host);

// libcurl's words for a failed transfer of `easy`, with what the server said
// last when that tells more: an FTP server's reply, or a proxy's refusal to
// open a tunnel. Sets `outcome` to what the worker makes of it.
std::string DescribeFailure(CURL* easy, CURLcode code, const char* detail, const FailureFacts& run,
                            const std::string& host, std::uint16_t port, std::int32_t idleSeconds,
                            TransferOutcome& outcome);

}  // namespace dromo
