#include "base/text/piecehashes.h"

#include <charconv>

namespace dromo {
namespace {

std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at) {
            words.push_back(text.substr(at, end - at));
        }
        at = end + 1;
    }
    return words;
}

}  // namespace

std::optional<PieceHashes> PieceHashes::Make(DigestAlgorithm algorithm, std::int64_t length,
                                             std::vector<std::string> hashes)
{
    if (length <= 0) {
        return std::nullopt;
    }
    for (const std::string& hash : hashes) {
        if (hash.size() != DigestLength(algorithm)) {
            return std::nullopt;
        }
    }
    PieceHashes pieces;
    pieces.m_algorithm = algorithm;
    pieces.m_length = length;
    pieces.m_hashes = std::move(hashes);
    return pieces;
}

std::optional<PieceHashes> PieceHashes::Parse(std::string_view stored)
{
    const std::vector<std::string_view> words = Words(stored);
    if (words.empty()) {
        return PieceHashes();
    }
    if (words.size() < 2) {
        return std::nullopt;
    }
    std::int64_t length = 0;
    const auto [end, error] = std::from_chars(words[1].data(), words[1].data() + words[1].size(), length);
    if (error != std::errc() || end != words[1].data() + words[1].size()) {
        return std::nullopt;
    }
    std::optional<DigestAlgorithm> algorithm;
    std::vector<std::string> hashes;
    for (std::size_t i = 2; i < words.size(); ++i) {
        // The digest list reads the algorithm's name and checks the length.
        std::optional<DigestList> one = DigestList::Parse(std::string(words[0]) + "=" + std::string(words[i]));
        if (!one || one->Empty()) {
            return std::nullopt;
        }
        algorithm = one->Digests().front().algorithm;
        hashes.push_back(one->Digests().front().bytes);
    }
    if (!algorithm) {
        return std::nullopt;
    }
    return Make(*algorithm, length, std::move(hashes));
}

std::string PieceHashes::Stored() const
{
    if (m_hashes.empty()) {
        return "";
    }
    static const char kHex[] = "0123456789abcdef";
    std::string out = std::string(DigestAlgorithmKey(m_algorithm)) + ' ' + std::to_string(m_length);
    out.reserve(out.size() + m_hashes.size() * (DigestLength(m_algorithm) * 2 + 1));
    for (const std::string& hash : m_hashes) {
        out += ' ';
        for (unsigned char c : hash) {
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

}  // namespace dromo
