#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dromo {

// The digest algorithms a download can be checked with, weakest first, so
// the strongest one given is the last in this order.
enum class DigestAlgorithm { Md5, Sha1, Sha256, Sha512 };

// One expected digest: the algorithm and the raw bytes of its value.
struct Digest {
    DigestAlgorithm algorithm;
    std::string bytes;

    bool operator==(const Digest&) const = default;
};

// The digests a file is expected to have: typed by the user, taken from a
// list file or the command line (stored form "sha-256=HEX", several joined
// by ", "), or announced by the server in its head (RFC 9530 Repr-Digest and
// Content-Digest, RFC 3230 Digest). The file is checked against the
// strongest of them.
class DigestList {
public:
    // The stored or typed form: "sha-256=HEX", "sha256:HEX", or a bare hex
    // value whose length names the algorithm (as sha256sum prints it);
    // several separated by commas or blanks. "" is the empty list. Nothing,
    // with the reason in `error`, when any part cannot be read.
    static std::optional<DigestList> Parse(std::string_view text, std::string* error = nullptr);

    // The digests of one response header. `name` is the header's name
    // (any case); "Repr-Digest" and "Content-Digest" are RFC 9530
    // dictionaries ("sha-256=:BASE64:"), "Digest" is RFC 3230
    // ("SHA-256=BASE64"). Members of an unknown or retired algorithm, or
    // whose value is not the algorithm's length, are left out; a header of
    // another name gives the empty list.
    static DigestList FromHeader(std::string_view name, std::string_view value);

    bool Empty() const { return m_digests.empty(); }
    const std::vector<Digest>& Digests() const { return m_digests; }
    // Adds a digest; one of an algorithm already present replaces it.
    void Add(Digest digest);
    // The digest of the strongest algorithm; nullptr when empty.
    const Digest* Strongest() const;
    // The stored form, algorithms strongest first: "sha-256=HEX, md5=HEX".
    std::string Stored() const;

private:
    std::vector<Digest> m_digests;
};

// "SHA-256", as the user reads it in status texts.
const char* DigestAlgorithmName(DigestAlgorithm algorithm);
// "sha-256", as it is stored and as RFC 9530 names it.
const char* DigestAlgorithmKey(DigestAlgorithm algorithm);
// Bytes of the algorithm's value.
std::size_t DigestLength(DigestAlgorithm algorithm);

}  // namespace dromo
