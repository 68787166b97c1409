// AES-128 segments as a packager encrypts them (the openssl program here)
// come back clear; a wrong key, IV or a cut segment gives nothing.

#include <gtest/gtest.h>

#include <string>

#include "engine/segmentcipher.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

std::string Hex(const std::string& bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

// `clear` encrypted by `openssl enc -aes-128-cbc` with PKCS#7 padding.
std::string Encrypted(const test::TempDir& dir, const std::string& key, const std::string& iv, const std::string& clear)
{
    test::WriteFile(dir.File("clear"), clear);
    EXPECT_EQ(test::RunCommand({"openssl", "enc", "-aes-128-cbc", "-K", Hex(key), "-iv", Hex(iv), "-in",
                                dir.File("clear"), "-out", dir.File("sealed")}),
              0);
    return test::ReadFile(dir.File("sealed"));
}

TEST(SegmentCipher, DecryptsWhatOpensslEncryptsAndRefusesWhatDoesNotFit)
{
    test::TempDir dir;
    const std::string key = test::RandomBytes(16, 1);
    const std::string iv = test::RandomBytes(16, 2);
    for (const std::size_t size : {0u, 1u, 15u, 16u, 17u, 188u * 100}) {
        const std::string clear = test::RandomBytes(size, static_cast<unsigned>(size));
        const std::string sealed = Encrypted(dir, key, iv, clear);
        EXPECT_EQ(SegmentCipher::Decrypt(key, iv, sealed), clear) << size;
    }
    const std::string clear = test::RandomBytes(1000, 9);
    const std::string sealed = Encrypted(dir, key, iv, clear);
    const struct {
        const char* what;
        std::string key, iv, bytes;
    } refused[] = {
        {"a cut segment", key, iv, sealed.substr(0, sealed.size() - 16)},
        {"a length off the block", key, iv, sealed.substr(0, sealed.size() - 1)},
        {"nothing", key, iv, ""},
        {"a short key", key.substr(0, 15), iv, sealed},
        {"a long IV", key, iv + "x", sealed},
        {"another key", test::RandomBytes(16, 7), iv, sealed},
    };
    for (const auto& r : refused) {
        const std::optional<std::string> out = SegmentCipher::Decrypt(r.key, r.iv, r.bytes);
        // A wrong key passes the padding check once in 256 tries or so; it
        // never gives the clear bytes.
        EXPECT_TRUE(!out || *out != clear) << r.what;
        if (std::string(r.what) != "another key") {
            EXPECT_FALSE(out) << r.what;
        }
    }
}

}  // namespace
}  // namespace dromo
