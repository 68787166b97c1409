#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dromo {

class PartialFile;

// The partial file of a recording: every piece that arrived, in the order
// it arrived, each as a record of its own (its track, its number, its
// length and a checksum before its bytes), after one record that names the
// recording. A record counts once it is all on disk, so a resume after a
// crash keeps every piece whose record is whole and cuts off a torn last
// one: no finished piece is ever fetched again. The index lives in the file
// itself rather than in an attribute beside it: a long recording has more
// pieces than an extended attribute holds (4 KiB on ext4), and a copy of
// the file keeps them.
class StreamStore {
public:
    // Where a piece's bytes are in the file.
    struct Span {
        std::int64_t offset = 0;
        std::int64_t length = 0;
    };

    explicit StreamStore(PartialFile& file);
    StreamStore(const StreamStore&) = delete;
    StreamStore& operator=(const StreamStore&) = delete;

    // Whether a file of this path starts as a store does, and the name of
    // the recording it holds ("" when it does not).
    static std::string IdentityOf(const std::string& path);

    // Opens the partial file for `identity` (what the recording is: its
    // kind and tracks): a store of the same identity goes on with the
    // pieces it holds; anything else there starts again, empty. "" or the
    // system's reason for a failure.
    std::string Open(const std::string& identity);
    // How many pieces and bytes of pieces a resume found.
    std::size_t ResumedPieces() const { return m_resumedPieces; }

    bool Has(int track, std::int64_t sequence) const;
    // Appends a piece; "" or the system's reason for a failure (the store
    // then holds what it held before).
    std::string Append(int track, std::int64_t sequence, std::string_view bytes);
    // Notes the whole length of a track that is one resource fetched in
    // parts; -1 when none was noted.
    std::string NoteLength(int track, std::int64_t length);
    std::int64_t Length(int track) const;
    // Writes what was appended through to the disk.
    std::string Sync();

    // The pieces of a track in their order (the init section, numbered -1,
    // first), and the numbers they have.
    std::vector<Span> TrackSpans(int track) const;
    std::vector<std::int64_t> TrackSequences(int track) const;
    // Bytes of every piece held.
    std::int64_t PieceBytes() const { return m_pieceBytes; }
    std::size_t PieceCount() const { return m_pieces.size(); }
    const std::string& Path() const;

private:
    std::string Scan(const std::string& identity, bool& same);
    std::string Write(char type, int track, std::int64_t sequence, std::string_view bytes);

    PartialFile& m_file;
    std::int64_t m_end = 0;  // where the next record goes
    std::map<std::pair<int, std::int64_t>, Span> m_pieces;
    std::map<int, std::int64_t> m_lengths;
    std::int64_t m_pieceBytes = 0;
    std::size_t m_resumedPieces = 0;
};

}  // namespace dromo
