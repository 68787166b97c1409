#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dromo {

struct ProxyEntry {
    std::string host;
    std::int16_t port = 80;
    std::string user;
    std::string password;        // plain in memory
    std::string keyringId = {};  // the keyring entry the password came from (see TaskRecord)

    bool operator==(const ProxyEntry&) const = default;
};

using ProxyList = std::vector<ProxyEntry>;

}  // namespace dromo
