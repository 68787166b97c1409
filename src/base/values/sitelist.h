#pragma once

#include <string>
#include <vector>

namespace dromo {

// A login kept for a server; the host may end in ":port".
struct SiteEntry {
    std::string host;
    std::string user;
    std::string password;        // plain in memory
    std::string keyringId = {};  // the keyring entry the password came from (see TaskRecord)

    bool operator==(const SiteEntry&) const = default;
};

using SiteList = std::vector<SiteEntry>;

}  // namespace dromo
