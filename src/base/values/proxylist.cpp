#include "base/values/proxylist.h"

namespace dromo {

std::string ProxyUrl(const std::string& addressAndPort)
{
    if (addressAndPort.empty() || addressAndPort.find("://") != std::string::npos) {
        return addressAndPort;  // libcurl names a kind it does not know
    }
    return "http://" + addressAndPort;
}

}  // namespace dromo
