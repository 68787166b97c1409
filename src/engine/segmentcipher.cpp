#include "engine/segmentcipher.h"

#include <openssl/evp.h>

#include <climits>
#include <memory>

namespace dromo {
namespace {

struct CipherFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

constexpr std::size_t kBlock = 16;

}  // namespace

std::optional<std::string> SegmentCipher::Decrypt(std::string_view key, std::string_view iv, std::string_view encrypted)
{
    if (key.size() != kBlock || iv.size() != kBlock || encrypted.empty() || encrypted.size() % kBlock != 0 ||
        encrypted.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    const std::unique_ptr<EVP_CIPHER_CTX, CipherFree> context(EVP_CIPHER_CTX_new());
    if (!context || EVP_DecryptInit_ex(context.get(), EVP_aes_128_cbc(), nullptr,
                                       reinterpret_cast<const unsigned char*>(key.data()),
                                       reinterpret_cast<const unsigned char*>(iv.data())) != 1) {
        return std::nullopt;
    }
    std::string clear(encrypted.size() + kBlock, '\0');
    int written = 0;
    int last = 0;
    if (EVP_DecryptUpdate(context.get(), reinterpret_cast<unsigned char*>(clear.data()), &written,
                          reinterpret_cast<const unsigned char*>(encrypted.data()),
                          static_cast<int>(encrypted.size())) != 1 ||
        EVP_DecryptFinal_ex(context.get(), reinterpret_cast<unsigned char*>(clear.data()) + written, &last) != 1) {
        return std::nullopt;
    }
    clear.resize(static_cast<std::size_t>(written) + static_cast<std::size_t>(last));
    return clear;
}

}  // namespace dromo
