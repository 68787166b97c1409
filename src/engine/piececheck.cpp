#include "engine/piececheck.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>

#include "engine/digestcheck.h"

namespace dromo {
namespace {

std::string Hex(const std::string& bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

}  // namespace

PieceCheck::PieceCheck(const PieceHashes& pieces, std::int64_t total) : m_total(total)
{
    if (pieces.Empty() || total <= 0) {
        return;
    }
    const std::int64_t count = (total + pieces.Length() - 1) / pieces.Length();
    if (count != static_cast<std::int64_t>(pieces.Hashes().size())) {
        return;  // digests of another file
    }
    m_algorithm = pieces.Algorithm();
    m_length = pieces.Length();
    m_hashes = pieces.Hashes();
    m_checked.assign(m_hashes.size(), false);
    m_senders.resize(m_hashes.size());
    const std::string list = pieces.Stored();
    m_mark =
        "pieces 1 " + std::to_string(m_length) + " " + Hex(DigestOf(DigestAlgorithm::Sha256, list.data(), list.size()));
}

PieceCheck::~PieceCheck()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::int64_t PieceCheck::End(int piece) const
{
    return std::min(m_total, (piece + 1) * m_length);
}

void PieceCheck::Wrote(std::int64_t from, std::int64_t length, int mirror)
{
    if (!Enabled() || length <= 0) {
        return;
    }
    for (int piece = PieceAt(from); piece <= PieceAt(from + length - 1) && piece < Count(); ++piece) {
        std::vector<int>& senders = m_senders[static_cast<std::size_t>(piece)];
        if (std::find(senders.begin(), senders.end(), mirror) == senders.end()) {
            senders.push_back(mirror);
        }
    }
}

PieceCheck::Result PieceCheck::Verify(int piece, const std::string& path)
{
    m_senders[static_cast<std::size_t>(piece)].clear();
    if (m_fd < 0 || m_path != path) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_path = path;
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0) {
            return Result::Unreadable;
        }
    }
    const std::int64_t begin = Begin(piece);
    const auto size = static_cast<std::size_t>(End(piece) - begin);
    m_buffer.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(m_fd, m_buffer.data() + done, size - done, static_cast<off_t>(begin + done));
        if (n <= 0) {
            return Result::Unreadable;
        }
        done += static_cast<std::size_t>(n);
    }
    if (DigestOf(m_algorithm, m_buffer.data(), size) != m_hashes[static_cast<std::size_t>(piece)]) {
        return Result::Bad;
    }
    MarkChecked(piece);
    return Result::Good;
}

}  // namespace dromo
