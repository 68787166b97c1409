#include "base/text/base64.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

TEST(Base64, KnownVectors)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"secret pw!", "c2VjcmV0IHB3IQ=="},
        {"\xff\xfe?", "//4/"},
    };
    for (auto [plain, encoded] : cases) {
        EXPECT_EQ(Base64Encode(plain), encoded) << plain;
        EXPECT_EQ(Base64Decode(encoded), std::string(plain)) << encoded;
    }
}

TEST(Base64, RejectsWhatIsNotBase64)
{
    for (const char* bad : {"Zg=", "Zm9", "Zm9v!", "Z===", "=Zm9", "Zg==Zg==", "Zm 9v", "Zm9\nv"}) {
        EXPECT_FALSE(Base64Decode(bad)) << bad;
    }
}

TEST(Base64, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    for (std::size_t len = 0; len <= all.size(); len += 37) {
        const std::string part = all.substr(0, len);
        EXPECT_EQ(Base64Decode(Base64Encode(part)), part);
    }
}

}  // namespace
}  // namespace dromo
