#include "engine/streamstore.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>
#include <cerrno>
#include <cstring>
#include <limits>

#include "engine/partialfile.h"

namespace dromo {
namespace {

// Each record's magic says how its checksum was made: "DRS2" zlib's CRC-32,
// "DRS1" (the first stores) FNV-1a, which is still read so a recording
// begun by an older Dromo goes on where it was. FNV-1a takes its input a
// byte at a time and cost a fifth of a recording's CPU time; libavutil's
// CRC-32, the same sum, a tenth.
constexpr char kMagic[4] = {'D', 'R', 'S', '2'};
constexpr char kMagicFnv[4] = {'D', 'R', 'S', '1'};
constexpr std::size_t kHeader = 28;
constexpr char kIdentity = 'I';
constexpr char kPiece = 'P';
constexpr char kLength = 'L';
// The longest record: a piece is a segment or a part of a resource, never
// more (the fetch refuses larger ones first).
constexpr std::uint32_t kMaxRecord = 512u * 1024 * 1024;

std::uint64_t Checksum(std::string_view bytes)
{
    return crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
}

std::uint64_t FnvChecksum(std::string_view bytes)
{
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : bytes) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

void Put(char* at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::uint64_t Get(const char* at, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(at[i]);
    }
    return value;
}

struct Header {
    char type = 0;
    int track = 0;
    std::uint32_t length = 0;
    std::int64_t sequence = 0;
    std::uint64_t checksum = 0;
    bool fnv = false;  // a record of the first stores
};

// A read-only descriptor, closed on every path.
class Reader {
public:
    explicit Reader(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~Reader()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    bool Ok() const { return m_fd >= 0; }

    // Exactly `length` bytes at `offset`; false at the end of the file or on an error.
    bool ReadAt(std::int64_t offset, char* into, std::size_t length) const
    {
        std::size_t done = 0;
        while (done < length) {
            const ssize_t n =
                ::pread(m_fd, into + done, length - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    bool ReadHeader(std::int64_t offset, Header& header) const
    {
        char raw[kHeader];
        if (!ReadAt(offset, raw, sizeof raw)) {
            return false;
        }
        header.fnv = std::memcmp(raw, kMagicFnv, sizeof kMagicFnv) == 0;
        if (!header.fnv && std::memcmp(raw, kMagic, sizeof kMagic) != 0) {
            return false;
        }
        header.type = raw[4];
        header.track = static_cast<unsigned char>(raw[5]);
        header.length = static_cast<std::uint32_t>(Get(raw + 8, 4));
        header.sequence = static_cast<std::int64_t>(Get(raw + 12, 8));
        header.checksum = Get(raw + 20, 8);
        return header.length <= kMaxRecord;
    }

    // A record's bytes, when they are all there and match their checksum.
    bool ReadBody(std::int64_t offset, const Header& header, std::string& body) const
    {
        body.resize(header.length);
        return ReadAt(offset + static_cast<std::int64_t>(kHeader), body.data(), body.size()) &&
               (header.fnv ? FnvChecksum(body) : Checksum(body)) == header.checksum;
    }

private:
    int m_fd;
};

}  // namespace

StreamStore::StreamStore(PartialFile& file) : m_file(file)
{
}

const std::string& StreamStore::Path() const
{
    return m_file.Path();
}

std::string StreamStore::IdentityOf(const std::string& path)
{
    const Reader reader(path);
    Header header;
    std::string identity;
    if (!reader.Ok() || !reader.ReadHeader(0, header) || header.type != kIdentity ||
        !reader.ReadBody(0, header, identity)) {
        return {};
    }
    return identity;
}

// Reads the records of a store of `identity`; `same` stays false for any
// other file, which is then started again.
std::string StreamStore::Scan(const std::string& identity, bool& same)
{
    same = false;
    const Reader reader(m_file.Path());
    Header header;
    std::string body;
    if (!reader.Ok() || !reader.ReadHeader(0, header) || header.type != kIdentity ||
        !reader.ReadBody(0, header, body) || body != identity) {
        return {};
    }
    same = true;
    std::int64_t at = static_cast<std::int64_t>(kHeader) + header.length;
    while (reader.ReadHeader(at, header) && reader.ReadBody(at, header, body)) {
        const Span span{at + static_cast<std::int64_t>(kHeader), header.length};
        if (header.type == kPiece && m_pieces.emplace(std::make_pair(header.track, header.sequence), span).second) {
            m_pieceBytes += header.length;
        } else if (header.type == kLength) {
            m_lengths[header.track] = header.sequence;
        }
        at = span.offset + span.length;
    }
    m_end = at;  // a torn or foreign record and what follows it are cut off
    m_resumedPieces = m_pieces.size();
    return {};
}

std::string StreamStore::Open(const std::string& identity)
{
    m_pieces.clear();
    m_lengths.clear();
    m_pieceBytes = 0;
    m_resumedPieces = 0;
    m_end = 0;
    bool same = false;
    if (m_file.SizeOnDisk() >= 0) {
        Scan(identity, same);
    }
    std::string error = m_file.Open(!same);
    if (!error.empty()) {
        return error;
    }
    if (same) {
        return m_file.Extend(m_end) ? std::string() : std::string(std::strerror(errno));
    }
    return Write(kIdentity, 0, 0, identity);
}

std::string StreamStore::Write(char type, int track, std::int64_t sequence, std::string_view bytes)
{
    if (bytes.size() > kMaxRecord || track < 0 || track > 255) {
        return "a piece of " + std::to_string(bytes.size()) + " bytes is too large to keep";
    }
    char header[kHeader] = {};
    std::memcpy(header, kMagic, sizeof kMagic);
    header[4] = type;
    header[5] = static_cast<char>(track);
    Put(header + 8, bytes.size(), 4);
    Put(header + 12, static_cast<std::uint64_t>(sequence), 8);
    Put(header + 20, Checksum(bytes), 8);
    // The bytes first, the header last: a crash in between leaves no magic
    // where the record begins, and the scan stops there.
    if (!m_file.WriteAt(m_end + static_cast<std::int64_t>(kHeader), bytes.data(), bytes.size()) ||
        !m_file.WriteAt(m_end, header, sizeof header)) {
        m_file.Extend(m_end);
        return m_file.WriteError();
    }
    m_end += static_cast<std::int64_t>(kHeader + bytes.size());
    return {};
}

bool StreamStore::Has(int track, std::int64_t sequence) const
{
    return m_pieces.count(std::make_pair(track, sequence)) != 0;
}

std::string StreamStore::Append(int track, std::int64_t sequence, std::string_view bytes)
{
    const std::int64_t at = m_end + static_cast<std::int64_t>(kHeader);
    std::string error = Write(kPiece, track, sequence, bytes);
    if (error.empty() &&
        m_pieces.emplace(std::make_pair(track, sequence), Span{at, static_cast<std::int64_t>(bytes.size())}).second) {
        m_pieceBytes += static_cast<std::int64_t>(bytes.size());
    }
    return error;
}

std::string StreamStore::NoteLength(int track, std::int64_t length)
{
    std::string error = Write(kLength, track, length, {});
    if (error.empty()) {
        m_lengths[track] = length;
    }
    return error;
}

std::int64_t StreamStore::Length(int track) const
{
    const auto found = m_lengths.find(track);
    return found == m_lengths.end() ? -1 : found->second;
}

std::string StreamStore::Sync()
{
    return m_file.SyncData();
}

std::vector<StreamStore::Span> StreamStore::TrackSpans(int track) const
{
    std::vector<Span> spans;
    for (auto it = m_pieces.lower_bound({track, std::numeric_limits<std::int64_t>::min()});
         it != m_pieces.end() && it->first.first == track; ++it) {
        spans.push_back(it->second);
    }
    return spans;
}

std::vector<std::int64_t> StreamStore::TrackSequences(int track) const
{
    std::vector<std::int64_t> sequences;
    for (auto it = m_pieces.lower_bound({track, std::numeric_limits<std::int64_t>::min()});
         it != m_pieces.end() && it->first.first == track; ++it) {
        sequences.push_back(it->first.second);
    }
    return sequences;
}

}  // namespace dromo
