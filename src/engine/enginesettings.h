#pragma once

#include <cstdint>
#include <string>

#include "base/values/taskid.h"

namespace dromo {

// What a task sets on its engine before a transfer call. Every part of the
// transfer reads them and none changes them during the call, so a part
// that needs them (the segmented transfer) is handed a copy.
struct EngineSettings {
    TaskId taskId = 0;
    std::int32_t speedLimit = -1;  // KB/s; none when not above 0
    std::int32_t autoSaveKB = 64;
    std::int32_t refreshMs = 200;
    std::int32_t idleSeconds = 120;
    std::int32_t passive = 0;
    std::int32_t cookies = 0;  // option "Enable Cookie"
    std::int32_t connections = 1;
    bool secure = false;
    bool ftpTlsRequired = false;  // option "Require TLS for FTP"
    bool serverNameAllowed = false;
    std::string cookie;     // a browser's cookies for the URL
    std::string cookieJar;  // a browser's cookies for the URL's site and its redirects, as CookieJar's text
    std::string referrer;
    std::string userAgent;
    std::string httpVersion = "2";
    std::string httpProxy, ftpProxy;
    std::string httpProxyUser, ftpProxyUser;
    std::string httpProxyPassword, ftpProxyPassword;
};

}  // namespace dromo
