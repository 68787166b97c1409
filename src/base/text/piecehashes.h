#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text/digestlist.h"

namespace dromo {

// The digests of a file's consecutive pieces of one length (the last may be
// shorter), as a Metalink file lists them, so a bad piece can be fetched
// again alone. Stored form: "ALGORITHM LENGTH HEX HEX ...", e.g.
// "sha-1 262144 0a1b... 9f8e...".
class PieceHashes {
public:
    // "" is the empty list; nothing when the text cannot be read (a hash of
    // the wrong length for its algorithm, a length that is no number).
    static std::optional<PieceHashes> Parse(std::string_view stored);

    bool Empty() const { return m_hashes.empty(); }
    DigestAlgorithm Algorithm() const { return m_algorithm; }
    std::int64_t Length() const { return m_length; }
    // The raw bytes of each piece's digest, in file order.
    const std::vector<std::string>& Hashes() const { return m_hashes; }
    std::string Stored() const;

    // Nothing when the length is not positive or a hash is not the
    // algorithm's length.
    static std::optional<PieceHashes> Make(DigestAlgorithm algorithm, std::int64_t length,
                                           std::vector<std::string> hashes);

private:
    DigestAlgorithm m_algorithm = DigestAlgorithm::Sha1;
    std::int64_t m_length = 0;
    std::vector<std::string> m_hashes;
};

}  // namespace dromo
