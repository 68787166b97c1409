#include "base/text/digestlist.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

// The digests of the empty file, in the forms servers and users write them.
constexpr const char* kSha256Hex = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
constexpr const char* kSha256B64 = "47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=";
constexpr const char* kSha512B64 =
    "z4PhNX7vuL3xVChQ1m2AB9Yg5AULVxXcg/SpIdNs6c5H0NE8XYXysP+DGNKHfuwvY7kxvUdBeoGlODJ6+SfaPg==";
constexpr const char* kSha512Hex =
    "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
    "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e";
constexpr const char* kMd5B64 = "1B2M2Y8AsgTpgAmY7PhCfg==";
constexpr const char* kMd5Hex = "d41d8cd98f00b204e9800998ecf8427e";
constexpr const char* kSha1Hex = "da39a3ee5e6b4b0d3255bfef95601890afd80709";
constexpr const char* kSha1B64 = "2jmj7l5rSw0yVb/vlWAYkK/YBwk=";

std::string Stored(const char* name, const std::string& value)
{
    return DigestList::FromHeader(name, value).Stored();
}

TEST(DigestList, HeadersOfEveryShape)
{
    const std::string sha256 = std::string("sha-256=") + kSha256Hex;
    const std::string sha512 = std::string("sha-512=") + kSha512Hex;
    const std::string md5 = std::string("md5=") + kMd5Hex;
    const struct {
        const char* name;
        std::string value;
        std::string stored;
    } cases[] = {
        // RFC 9530 dictionaries of byte sequences
        {"Repr-Digest", std::string("sha-256=:") + kSha256B64 + ":", sha256},
        {"repr-digest", std::string("sha-512=:") + kSha512B64 + ":, sha-256=:" + kSha256B64 + ":",
         sha512 + ", " + sha256},
        {"Content-Digest", std::string("sha-256=:") + kSha256B64 + ":;p=\"a,b\"", sha256},
        {"Repr-Digest", std::string("unixsum=:AAAA:, sha-256=:") + kSha256B64 + ":", sha256},
        {"Repr-Digest", std::string("foo=(1 2), sha-256=:") + kSha256B64 + ":", sha256},
        // retired algorithms and wrong lengths are left out, the rest stays
        {"Repr-Digest", std::string("md5=:") + kMd5B64 + ":, sha=:" + kSha1B64 + ":", ""},
        {"Repr-Digest", std::string("sha-256=:") + kMd5B64 + ":", ""},
        // a field that is no dictionary is ignored as a whole
        {"Repr-Digest", std::string("sha-256=:") + kSha256B64 + ": junk", ""},
        {"Repr-Digest", std::string("sha-256=:") + kSha256B64, ""},
        {"Repr-Digest", std::string("SHA-256=:") + kSha256B64 + ":", ""},
        {"Repr-Digest", std::string("sha-256=:") + kSha256B64 + ":,", ""},
        {"Repr-Digest", std::string("sha-256=:not base64!:"), ""},
        {"Repr-Digest", std::string("sha-512=:") + kSha512B64 + ":, sha-256=:@@@@:", ""},
        {"Repr-Digest", "", ""},
        // RFC 3230 instance digests, names in any case
        {"Digest", std::string("SHA-256=") + kSha256B64, sha256},
        {"digest", std::string("md5=") + kMd5B64 + ", SHA-512=" + kSha512B64, sha512 + ", " + md5},
        {"Digest", std::string("UNIXsum=30637, MD5=") + kMd5B64, md5},
        {"Digest", std::string("SHA=") + kSha1B64, ""},
        {"Digest", std::string("SHA-256=") + kSha256Hex, ""},
        {"Digest", "SHA-256=%%%%", ""},
        {"Digest", "SHA-256", ""},
        // other headers say nothing of the file
        {"Want-Repr-Digest", "sha-256=10", ""},
        {"ETag", std::string("sha-256=:") + kSha256B64 + ":", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Stored(c.name, c.value), c.stored) << c.name << ": " << c.value;
    }
}

TEST(DigestList, TypedAndStoredForms)
{
    const std::string sha256 = std::string("sha-256=") + kSha256Hex;
    const struct {
        std::string typed;
        std::string stored;
    } cases[] = {
        {"", ""},
        {"  ", ""},
        {sha256, sha256},
        {std::string("SHA256:") + kSha256Hex, sha256},
        {std::string("sha256=") + "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855", sha256},
        {kSha256Hex, sha256},  // a bare value, as sha256sum prints it
        {kMd5Hex, std::string("md5=") + kMd5Hex},
        {kSha1Hex, std::string("sha-1=") + kSha1Hex},
        {kSha512Hex, std::string("sha-512=") + kSha512Hex},
        {std::string("md5=") + kMd5Hex + ", " + sha256, sha256 + ", md5=" + kMd5Hex},
        {std::string("sha1=") + kSha1Hex + " sha-256=" + kSha256Hex, sha256 + ", sha-1=" + kSha1Hex},
    };
    for (const auto& c : cases) {
        std::string error;
        const std::optional<DigestList> list = DigestList::Parse(c.typed, &error);
        ASSERT_TRUE(list) << c.typed << ": " << error;
        EXPECT_EQ(list->Stored(), c.stored) << c.typed;
        EXPECT_EQ(DigestList::Parse(list->Stored())->Stored(), c.stored) << "stored form reads back";
    }
}

TEST(DigestList, TypedFormsThatAreRefusedSayWhy)
{
    const struct {
        std::string typed;
        const char* reason;
    } cases[] = {
        {std::string("sha-3=") + kSha256Hex, "unknown checksum algorithm \"sha-3\""},
        {std::string("crc32=") + "00000000", "unknown checksum algorithm \"crc32\""},
        {std::string("sha-256=") + kMd5Hex, "a SHA-256 checksum is 64 hexadecimal digits"},
        {std::string("sha-256=") + std::string(kSha256Hex).replace(10, 1, "g"), "a SHA-256 checksum is 64"},
        {std::string("md5=") + kMd5Hex + "0", "a MD5 checksum is 32"},
        {"abcdef", "a checksum of 6 characters fits no algorithm"},
        {std::string(kSha256Hex) + ", md5=zz", "a MD5 checksum is 32"},
        {std::string("sha-256=") + kSha256B64, "a SHA-256 checksum is 64"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(DigestList::Parse(c.typed, &error)) << c.typed;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.typed << " gave: " << error;
    }
}

TEST(DigestList, TheStrongestAlgorithmIsChecked)
{
    DigestList list = *DigestList::Parse(std::string("md5=") + kMd5Hex);
    EXPECT_EQ(list.Strongest()->algorithm, DigestAlgorithm::Md5);
    list.Add(Digest{DigestAlgorithm::Sha512, std::string(64, 'x')});
    list.Add(Digest{DigestAlgorithm::Sha1, std::string(20, 'y')});
    EXPECT_EQ(list.Strongest()->algorithm, DigestAlgorithm::Sha512);
    EXPECT_STREQ(DigestAlgorithmName(list.Strongest()->algorithm), "SHA-512");
    list.Add(Digest{DigestAlgorithm::Sha512, std::string(64, 'z')});  // a second value replaces the first
    EXPECT_EQ(list.Digests().size(), 3u);
    EXPECT_EQ(list.Strongest()->bytes, std::string(64, 'z'));
    EXPECT_EQ(DigestList().Strongest(), nullptr);
}

}  // namespace
}  // namespace dromo
