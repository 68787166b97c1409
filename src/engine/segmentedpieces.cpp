// SegmentedTransfer's check of the file's pieces against their digests,
// apart from moving the bytes.
#include "base/text/trace.h"
#include "engine/partialfile.h"
#include "engine/segmentedtransfer.h"

namespace dromo {

// Every whole piece on disk is checked before the transfer goes on: at
// once, when the partial file carries the mark that they were checked
// against these digests; else by reading them (a file begun before the
// digests were known, or by one connection). A bad one is fetched again.
void SegmentedTransfer::StartPieceCheck()
{
    m_pieces = std::make_unique<PieceCheck>(m_pieceHashes, m_schedule.Plan().Total());
    if (!m_pieces->Enabled()) {
        m_pieces.reset();
        return;
    }
    const bool marked = m_file.StoredPieceMark() == m_pieces->Mark();
    for (int piece = 0; piece < m_pieces->Count(); ++piece) {
        if (!m_schedule.Plan().Holds(m_pieces->Begin(piece), m_pieces->End(piece))) {
            continue;
        }
        if (marked) {
            m_pieces->MarkChecked(piece);
        } else if (m_pieces->Verify(piece, m_file.Path()) != PieceCheck::Result::Good) {
            m_schedule.Plan().Reopen(m_pieces->Begin(piece), m_pieces->End(piece));
        }
    }
    // The ranges first: the mark never stands beside a record that calls
    // a bad piece present.
    if (m_file.StoreRanges(m_schedule.Plan().Serialize())) {
        m_file.StorePieceMark(m_pieces->Mark());
    }
}

// The pieces that bytes [from, to) completed are read back and checked. A
// bad one is missing again; its mirror is left when it alone sent it (with
// several, the piece comes again whole and the next check names one).
void SegmentedTransfer::CheckPieces(std::int64_t from, std::int64_t to)
{
    for (int piece = m_pieces->PieceAt(from); piece <= m_pieces->PieceAt(to - 1) && piece < m_pieces->Count();
         ++piece) {
        const std::int64_t begin = m_pieces->Begin(piece);
        const std::int64_t end = m_pieces->End(piece);
        if (m_pieces->Checked(piece) || !m_schedule.Plan().Holds(begin, end)) {
            continue;
        }
        const std::vector<int> senders = m_pieces->Senders(piece);
        switch (m_pieces->Verify(piece, m_file.Path())) {
        case PieceCheck::Result::Good: continue;
        case PieceCheck::Result::Unreadable:
            m_failure = "Error reading " + m_file.Path() + " to check its piece " + std::to_string(piece + 1);
            return;
        case PieceCheck::Result::Bad: break;
        }
        m_schedule.Plan().Reopen(begin, end);
        const std::string why = "piece " + std::to_string(piece + 1) + " does not match its digest";
        trace::Line("task " + std::to_string(m_settings.taskId), why + "; it is fetched again");
        if (senders.size() == 1) {
            DropMirror(senders.front(), why, Leaving::BadData);
        }
    }
}

}  // namespace dromo
