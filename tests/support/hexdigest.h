#pragma once

#include <openssl/evp.h>

#include <string>

namespace dromo::test {

// The digest of the data in lower-case hex, as sha256sum prints it: what a
// test expects a checksum or a Metalink hash to be.
inline std::string HexDigest(const std::string& data, const EVP_MD* md = EVP_sha256())
{
    unsigned char value[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.data(), data.size(), value, &length, md, nullptr);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[value[i] >> 4];
        hex += kHex[value[i] & 15];
    }
    return hex;
}

}  // namespace dromo::test
