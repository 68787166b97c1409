#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dromo {

// AES-128 in CBC mode with PKCS#7 padding, as HLS encrypts whole segments
// (RFC 8216 section 5.2), through OpenSSL's EVP.
class SegmentCipher {
public:
    // The clear bytes of `encrypted` under a 16-byte key and IV; nothing
    // when the key or IV has another length, the length is no multiple of
    // the block, or the padding is wrong (a wrong key, or a cut segment).
    static std::optional<std::string> Decrypt(std::string_view key, std::string_view iv, std::string_view encrypted);
};

}  // namespace dromo
