#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/text/piecehashes.h"

namespace dromo {

// The digests of a file's pieces held against what a segmented transfer
// wrote: a piece is read back and hashed (OpenSSL's EVP) once all of it is
// on disk, and it remembers which mirrors wrote into each piece not yet
// checked, so a bad one names its sender when there was one.
class PieceCheck {
public:
    enum class Result { Good, Bad, Unreadable };

    // Off (Enabled false) when there are no digests or they do not cover a
    // file of `total` bytes piece for piece.
    PieceCheck(const PieceHashes& pieces, std::int64_t total);
    ~PieceCheck();
    PieceCheck(const PieceCheck&) = delete;
    PieceCheck& operator=(const PieceCheck&) = delete;

    bool Enabled() const { return !m_checked.empty(); }
    int Count() const { return static_cast<int>(m_checked.size()); }
    std::int64_t Begin(int piece) const { return piece * m_length; }
    std::int64_t End(int piece) const;
    // The pieces [first, last] that bytes [from, to) fall in.
    int PieceAt(std::int64_t offset) const { return static_cast<int>(offset / m_length); }
    bool Checked(int piece) const { return m_checked[static_cast<std::size_t>(piece)]; }
    void MarkChecked(int piece) { m_checked[static_cast<std::size_t>(piece)] = true; }

    // `mirror` wrote bytes [from, from + length).
    void Wrote(std::int64_t from, std::int64_t length, int mirror);
    // The mirrors that wrote into the piece since it was last checked (the
    // writer of bytes kept from an earlier run among them, as the caller names it).
    const std::vector<int>& Senders(int piece) const { return m_senders[static_cast<std::size_t>(piece)]; }
    // Reads the piece from the file at `path` and compares its digest; a
    // good one is checked from then on. Its senders are forgotten either way.
    Result Verify(int piece, const std::string& path);

    // What is stored beside the ranges of a partial file whose whole pieces
    // were all checked against these digests: their kind, length and a
    // digest of the list.
    const std::string& Mark() const { return m_mark; }

private:
    DigestAlgorithm m_algorithm = DigestAlgorithm::Sha1;
    std::int64_t m_length = 1;
    std::int64_t m_total = 0;
    std::vector<std::string> m_hashes;
    std::vector<bool> m_checked;
    std::vector<std::vector<int>> m_senders;
    std::string m_mark;
    std::string m_path;  // of the open file below
    int m_fd = -1;
    std::vector<char> m_buffer;
};

}  // namespace dromo
