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

// The URL a proxy is reached at from its "address:port": the address as
// given when it names its kind ("socks5h://gate", "https://proxy"), an
// HTTP proxy otherwise, as every profile without a kind meant.
std::string ProxyUrl(const std::string& addressAndPort);

}  // namespace dromo
