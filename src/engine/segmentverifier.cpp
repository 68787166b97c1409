// What a segmented transfer's bytes are checked against, and the search
// for the mirror to blame when the whole file fails its digest.
#include "engine/segmentverifier.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/ports/progresssink.h"
#include "base/text/digestlist.h"
#include "base/text/progresstexts.h"
#include "base/text/textutil.h"
#include "base/text/trace.h"
#include "engine/digestcheck.h"
#include "engine/hostconnections.h"
#include "engine/partialfile.h"
#include "engine/rangerecorder.h"
#include "engine/segmentscheduler.h"

namespace dromo {
namespace {

// A writer's first probe is small: a mirror that spoils what it sends
// mostly spoils every answer, and shows it in the first bytes compared.
// Each agreement doubles the next one, so comparing all of a good mirror's
// bytes takes few requests.
constexpr std::int64_t kFirstProbe = 256 * 1024;
constexpr std::int64_t kLargestProbe = 8 << 20;

// Bytes [from, to) of the file; empty when they cannot be read.
std::vector<char> ReadBytes(const std::string& path, std::int64_t from, std::int64_t to)
{
    std::vector<char> bytes(static_cast<std::size_t>(to - from));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(from + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    bytes.resize(done == bytes.size() ? done : 0);
    return bytes;
}

std::string Bytes(const RangeWriters::Span& span)
{
    return "bytes " + std::to_string(span.from) + "-" + std::to_string(span.to - 1);
}

}  // namespace

SegmentVerifier::SegmentVerifier(Context context)
    : m_owner(context.owner), m_schedule(context.schedule), m_file(context.file), m_recorder(context.recorder),
      m_digest(context.digest), m_pieceHashes(std::move(context.pieces)), m_sink(context.sink),
      m_taskId(context.taskId), m_multi(context.multi), m_hosts(context.hosts)
{
}

SegmentVerifier::~SegmentVerifier()
{
    CloseProbes();
}

void SegmentVerifier::CloseProbes()
{
    for (auto& p : m_probes) {
        CloseProbe(*p);
    }
}

void SegmentVerifier::Wrote(std::int64_t at, std::int64_t length, int mirror)
{
    m_writers.Wrote(at, length, mirror);
    if (m_pieces) {
        // Before the record: a piece it calls present has been checked.
        m_pieces->Wrote(at, length, mirror);
        CheckPieces(at, at + length);
    }
}

bool SegmentVerifier::Pending() const
{
    // A whole file is checked here when its mirrors may have to answer for it.
    return (m_whole == Whole::Unchecked && Auditable()) || m_whole == Whole::Mismatch || !m_toProve.empty() ||
           std::any_of(m_probes.begin(), m_probes.end(), [](const auto& p) { return p->version; });
}

void SegmentVerifier::ProveVersion(std::int64_t from, std::int64_t to)
{
    if (to > from) {
        m_toProve.push_back(RangeWriters::Span{from, to, kNoSource, false});
    }
}

void SegmentVerifier::Ask()
{
    const std::vector<RangeWriters::Span> spans = std::move(m_toProve);
    m_toProve.clear();
    for (const RangeWriters::Span& span : spans) {
        // Mirror 0 is the task's own server; the probe names no source mirror.
        if (!OpenProbe(kNoSource, 0, span, {}, -1, true)) {
            m_owner.Changed(Bytes(span) + " taken under another validator could not be asked again");
        }
    }
}

// Every whole piece on disk is checked before the transfer goes on: at
// once, when the partial file carries the mark that they were checked
// against these digests; else by reading them (a file begun before the
// digests were known, or by one connection). A bad one is fetched again.
void SegmentVerifier::Start(std::int64_t total)
{
    m_writers = RangeWriters(total);
    m_pieces = std::make_unique<PieceCheck>(m_pieceHashes, total);
    if (!m_pieces->Enabled()) {
        m_pieces.reset();
        return;
    }
    const bool marked = m_file.StoredPieceMark() == m_pieces->Mark();
    for (int piece = 0; piece < m_pieces->Count(); ++piece) {
        if (!m_schedule.Plan().Holds(m_pieces->Begin(piece), m_pieces->End(piece))) {
            // Bytes an earlier run kept in a piece it did not finish are
            // nobody's here: whoever ends the piece did not send them all.
            if (m_schedule.Plan().HoldsSome(m_pieces->Begin(piece), m_pieces->End(piece))) {
                m_pieces->Wrote(m_pieces->Begin(piece), 1, RangeWriters::kBefore);
            }
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
void SegmentVerifier::CheckPieces(std::int64_t from, std::int64_t to)
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
            m_owner.Fail("Error reading " + m_file.Path() + " to check its piece " + std::to_string(piece + 1),
                         std::nullopt);
            return;
        case PieceCheck::Result::Bad: break;
        }
        m_schedule.Plan().Reopen(begin, end);
        const std::string why = "piece " + std::to_string(piece + 1) + " does not match its digest";
        trace::Line("task " + std::to_string(m_taskId), why + "; it is fetched again");
        if (senders.size() == 1 && senders.front() != RangeWriters::kBefore) {
            m_owner.LeaveMirror(senders.front(), why);
        }
    }
}

std::size_t SegmentVerifier::ProbeHeader(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* p = static_cast<Probe*>(user);
    const std::size_t length = size * count;
    std::string line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    if (!line.empty()) {
        p->response.AddLine(line);
        return p->response.headBytes > 256 * 1024 ? 0 : length;
    }
    const HttpResponse& r = p->response;
    if ((r.code >= 100 && r.code < 200) || (r.code >= 300 && r.code < 400 && r.hasLocation)) {
        return length;
    }
    // The range asked for, of a file of the same length, in the version
    // the mirror gave before.
    const MirrorPool::Mirror& m = p->owner->m_schedule.Pool().At(p->reference);
    const auto differs = [](const std::string& a, const std::string& b) { return !a.empty() && !b.empty() && a != b; };
    p->accepted = r.code == 206 && r.rangeFirst == p->span.from && r.rangeLast == p->span.to - 1 &&
                  r.rangeTotal == p->owner->m_schedule.Plan().Total() && r.contentLength == p->span.to - p->span.from &&
                  (p->version || !(m.answered && (differs(r.etag, m.etag) || differs(r.lastModified, m.lastModified))));
    return p->accepted ? length : 0;
}

std::size_t SegmentVerifier::ProbeWrite(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* p = static_cast<Probe*>(user);
    const std::size_t length = size * count;
    const std::size_t room = static_cast<std::size_t>(p->span.to - p->span.from) - p->bytes.size();
    if (!p->accepted || length > room) {
        return 0;
    }
    p->bytes.insert(p->bytes.end(), data, data + length);
    p->owner->m_owner.ProbeBytes(p->reference, static_cast<std::int64_t>(length));
    return length;
}

// Only a file whose bytes came from more than one place, whose digest is
// known and whose mirrors can be asked again.
bool SegmentVerifier::Auditable() const
{
    return m_digest != nullptr && m_digest->Wanted() != nullptr && m_schedule.Pool().Count() > 1;
}

void SegmentVerifier::CheckWhole()
{
    if (m_whole == Whole::Unchecked) {
        if (!Auditable()) {
            m_whole = Whole::NotAudited;  // the engine checks it as any file
            return;
        }
        switch (m_digest->Verify(m_file.Path(), m_schedule.Plan().Total())) {
        case DigestCheck::Result::Verified: m_whole = Whole::Verified; return;
        case DigestCheck::Result::Mismatch: break;
        default: m_whole = Whole::NotAudited; return;
        }
        m_whole = Whole::Mismatch;
        const std::string name = DigestAlgorithmName(m_digest->Wanted()->algorithm);
        m_sink.OnProgress(Progress::Status(m_taskId, StatusTimeStamp() + "The file does not match its " + name +
                                                         " checksum: comparing what each mirror gave with the others"));
    }
    if (m_whole == Whole::Mismatch) {
        Audit();
    }
}

// A mirror to ask for bytes `source` wrote, other than `other`: the one
// with the fewest connections and probes; -1 when there is none.
int SegmentVerifier::Reference(int source, int other) const
{
    int best = -1;
    int bestLoad = 0;
    for (int mirror = 0; mirror < m_schedule.Pool().Count(); ++mirror) {
        if (mirror == source || mirror == other || m_schedule.Pool().At(mirror).dropped ||
            m_unasked.count(mirror) > 0) {
            continue;
        }
        const int load = m_schedule.Pool().At(mirror).live +
                         static_cast<int>(std::count_if(m_probes.begin(), m_probes.end(),
                                                        [mirror](const auto& p) { return p->reference == mirror; }));
        if (best < 0 || load < bestLoad) {
            best = mirror;
            bestLoad = load;
        }
    }
    return best;
}

// In rounds: a probe for each writer in doubt, the next round when every
// probe of this one is judged (a writer that agreed does not run ahead of
// one whose bytes a third mirror is being asked about). When nobody is in
// doubt any more, every byte is as the other mirrors give it: the digest
// itself is wrong, or every mirror has the same other file, and fetching
// it again cannot help.
void SegmentVerifier::Audit()
{
    if (!m_probes.empty()) {
        return;
    }
    const std::vector<int> doubtful = m_writers.Doubtful();
    if (doubtful.empty()) {
        m_owner.Fail(std::string("Fail - the file does not match its ") +
                         DigestAlgorithmName(m_digest->Wanted()->algorithm) +
                         " checksum; its mirrors all give the same bytes",
                     TransferOutcome::ChecksumMismatch);
        return;
    }
    for (const int source : doubtful) {
        const int reference = Reference(source, -1);
        auto size = m_probeSize.try_emplace(source, kFirstProbe).first;
        const std::optional<RangeWriters::Span> span = m_writers.NextDoubt(source, size->second);
        if (reference >= 0 && span) {
            OpenProbe(source, reference, *span, {}, -1);
        }
    }
    if (m_probes.empty()) {
        m_whole = Whole::NotAudited;  // no mirror left to ask
    }
}

bool SegmentVerifier::OpenProbe(int source, int reference, const RangeWriters::Span& span, std::vector<char> against,
                                int rival, bool version)
{
    auto p = std::make_unique<Probe>();
    p->easy = m_owner.CopyFirst(reference, span.from, span.to - 1, p->headers, p->error);
    if (!p->easy) {
        return false;
    }
    p->owner = this;
    p->hostPort = m_schedule.Pool().At(reference).hostPort;
    p->source = source;
    p->reference = reference;
    p->span = span;
    p->against = std::move(against);
    p->rival = rival;
    p->version = version;
    p->bytes.reserve(static_cast<std::size_t>(span.to - span.from));
    CURL* e = p->easy.get();
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, ProbeHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, p.get());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, ProbeWrite);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, p.get());
    if (version) {
        // Its own TCP connection: the answer says nothing of any data
        // connection's validator, nor takes one over afterwards.
        curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
    }
    m_hosts.Take(p->hostPort, true);  // short, and what the task waits for
    if (curl_multi_add_handle(m_multi, e) != CURLM_OK) {
        m_hosts.Give(p->hostPort);
        return false;
    }
    trace::Line(
        "task " + std::to_string(m_taskId),
        Bytes(span) +
            (version ? std::string(" asked again of ") : " of mirror " + std::to_string(source) + " asked of ") +
            m_schedule.Pool().At(reference).url);
    m_probes.push_back(std::move(p));
    return true;
}

void SegmentVerifier::CloseProbe(Probe& p)
{
    if (p.easy) {
        curl_multi_remove_handle(m_multi, p.easy.get());
        p.easy.reset();
        m_hosts.Give(p.hostPort);
    }
}

// A probe ended: its bytes are judged, or its mirror, which failed to
// give them, is asked no more and another one is.
bool SegmentVerifier::ProbeDone(CURL* easy, CURLcode code)
{
    const auto it =
        std::find_if(m_probes.begin(), m_probes.end(), [easy](const auto& p) { return p->easy.get() == easy; });
    if (it == m_probes.end()) {
        return false;
    }
    std::unique_ptr<Probe> p = std::move(*it);
    m_probes.erase(it);
    CloseProbe(*p);
    const bool whole = p->bytes.size() == static_cast<std::size_t>(p->span.to - p->span.from);
    if (code == CURLE_OK && whole) {
        Judge(*p);
        return true;
    }
    const std::string why = !p->accepted && p->response.code != 0
                                ? "Error " + std::to_string(p->response.code) + " from server: " + p->response.reason
                                : std::string(p->error[0] != '\0' ? p->error : curl_easy_strerror(code));
    if (p->version) {
        m_owner.Changed(Bytes(p->span) + " taken under another validator could not be asked again: " + why);
        return true;
    }
    trace::Line("task " + std::to_string(m_taskId),
                "no comparison with " + m_schedule.Pool().At(p->reference).url + " from now on: " + why);
    m_unasked.insert(p->reference);
    return true;
}

// The file's bytes of the probe's writer against another mirror's. When
// they differ, a third mirror, where there is one, says which of the two
// is wrong.
void SegmentVerifier::Judge(Probe& p)
{
    const std::vector<char> disk = ReadBytes(m_file.Path(), p.span.from, p.span.to);
    if (disk.empty()) {
        m_owner.Fail("Error reading " + m_file.Path() + " to compare it with its mirrors",
                     TransferOutcome::LocalFileError);
        return;
    }
    if (p.version) {
        if (disk != p.bytes) {
            m_owner.Changed("the server's " + Bytes(p.span) + " differ from those taken under another validator");
        }
        return;
    }
    const std::string there = UrlWithoutLogin(m_schedule.Pool().At(p.reference).url);
    if (p.rival < 0) {
        if (disk == p.bytes) {
            m_writers.Vouch(p.span.from, p.span.to);
            auto& size = m_probeSize[p.source];
            size = std::min(size * 2, kLargestProbe);
            return;
        }
        const int third = Reference(p.source, p.reference);
        if (third >= 0 && OpenProbe(p.source, third, p.span, std::move(p.bytes), p.reference)) {
            return;
        }
        Blame(p.source, "its " + Bytes(p.span) + " differ from those of " + there);
        return;
    }
    if (p.bytes == disk) {
        m_writers.Vouch(p.span.from, p.span.to);
        Blame(p.rival, "its " + Bytes(p.span) + " differ from those of two other mirrors");
    } else {
        Blame(p.source,
              "its " + Bytes(p.span) + " differ from those of " + (p.bytes == p.against ? "two other mirrors" : there));
    }
}

// The bytes a mirror wrote and nobody vouched for are fetched again from
// the others, the mirror left; then the whole file is checked again.
void SegmentVerifier::Blame(int source, const std::string& why)
{
    if (source == RangeWriters::kBefore) {
        trace::Line("task " + std::to_string(m_taskId), "the bytes on disk before differ: " + why);
    } else {
        m_owner.LeaveMirror(source, why);
    }
    for (const RangeWriters::Span& span : m_writers.Unvouched(source)) {
        if (m_schedule.Plan().Holds(span.from, span.to)) {
            m_schedule.Plan().Reopen(span.from, span.to);
        }
    }
    for (auto& p : m_probes) {
        if (p->source == source || p->reference == source) {
            CloseProbe(*p);
        }
    }
    m_probes.erase(std::remove_if(m_probes.begin(), m_probes.end(), [](const auto& p) { return !p->easy; }),
                   m_probes.end());
    m_recorder.Offer(m_schedule.Plan().Serialize());
    m_digest->StartOver();
    m_whole = Whole::Unchecked;
}

}  // namespace dromo
