#pragma once

#include <cstdint>
#include <string>

#include "base/values/taskid.h"

namespace dromo {

// A proxy the transfers go through: "host:port" ("" for none) and its login.
struct ProxySetting {
    std::string server;
    std::string user;
    std::string password;

    bool operator==(const ProxySetting&) const = default;
};

// How an engine moves the files of the next transfers: the task's settings
// and the options that bear on them, made by the worker (SettingsFor) and
// handed over in one piece. Every part of a transfer reads them and none
// changes them during the call, so a part that needs them (the segmented
// transfer) is handed a copy.
struct TransferSettings {
    TaskId taskId = 0;
    std::int32_t speedLimit = -1;  // KB/s; none when not above 0
    std::int32_t autoSaveKB = 64;
    std::int32_t refreshMs = 200;
    std::int32_t idleSeconds = 120;
    std::int32_t passive = 0;
    std::int32_t cookies = 0;      // option "Enable Cookie"
    std::int32_t connections = 1;  // 1..16
    bool ftpTlsRequired = false;   // option "Require TLS for FTP"
    std::string userAgent;
    std::string httpVersion = "2";
    // One proxy for HTTP and FTP alike: the task's choice of the proxy list.
    ProxySetting proxy;

    bool operator==(const TransferSettings&) const = default;
};

}  // namespace dromo
