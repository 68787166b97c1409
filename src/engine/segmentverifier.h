#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/values/taskid.h"
#include "base/values/transferoutcome.h"
#include "engine/curlhandles.h"
#include "engine/httpresponse.h"
#include "engine/piececheck.h"
#include "engine/rangewriters.h"

namespace dromo {

class DigestCheck;
class HostConnections;
class PartialFile;
class ProgressSink;
class RangeRecorder;
class SegmentScheduler;

// Whether the bytes a segmented transfer brought are the file's, and whose
// they are when not: each piece is checked once it is all there, against
// its digest (PieceCheck), a bad one reopened and its mirror left when it
// alone sent it; a complete file is checked against the whole file's
// digest, and when it fails and no piece digests said where, each mirror's
// bytes are asked of another mirror, a little of each first, and compared
// with the file (RangeWriters keeps who wrote which bytes): the mirror whose
// bytes differ (a third one decides between two) is left, its bytes
// reopened for the others, and the file checked again.
class SegmentVerifier {
public:
    // What the verifier asks of the transfer it checks.
    class Owner {
    public:
        // A copy of the first connection's handle that asks `mirror` for
        // bytes [first, last]; empty when none could be made.
        virtual EasyHandle CopyFirst(int mirror, std::int64_t first, std::int64_t last, HeaderList& headers,
                                     char* error) = 0;
        // `mirror` sent bytes that proved bad: it is left.
        virtual void LeaveMirror(int mirror, const std::string& why) = 0;
        // A probe brought `bytes` from `mirror`: they count as the transfer's.
        virtual void ProbeBytes(int mirror, std::int64_t bytes) = 0;
        // The call fails; with no outcome, it comes to what it would have.
        virtual void Fail(const std::string& why, std::optional<TransferOutcome> outcome) = 0;
        // Bytes in the file are of another version than the first answer's:
        // the file is fetched again from the start.
        virtual void Changed(const std::string& why) = 0;

    protected:
        ~Owner() = default;
    };

    // What it checks: the transfer's plan and mirrors, the file, the whole
    // file's running hash (may be null) and the pieces' digests (may be
    // empty); where its probes run and its status lines go.
    struct Context {
        Owner& owner;
        SegmentScheduler& schedule;
        PartialFile& file;
        RangeRecorder& recorder;
        DigestCheck* digest;
        PieceHashes pieces;
        ProgressSink& sink;
        TaskId taskId;
        CURLM* multi;
        HostConnections& hosts;
    };

    explicit SegmentVerifier(Context context);
    ~SegmentVerifier();
    SegmentVerifier(const SegmentVerifier&) = delete;
    SegmentVerifier& operator=(const SegmentVerifier&) = delete;

    std::int64_t PieceLength() const { return m_pieceHashes.Length(); }
    // The plan is made for a file of `total` bytes: every whole piece on
    // disk is checked before the transfer goes on.
    void Start(std::int64_t total);
    // Bytes [at, at + length) of `mirror` reached the file.
    void Wrote(std::int64_t at, std::int64_t length, int mirror);
    // The file is complete: it is checked, or its mirrors' bytes compared.
    void CheckWhole();
    // Bytes [from, to) on disk came under a validator other than the first
    // answer's (servers behind one name may each name the file their own
    // way): they are asked of the first server again and must come back the
    // same, or the file is of two versions. The file is not done before.
    // Safe inside libcurl's callbacks: the request starts at the next Ask.
    void ProveVersion(std::int64_t from, std::int64_t to);
    // Starts the requests asked for since the last call, outside libcurl's callbacks.
    void Ask();
    // Whether the complete file still waits for its check or an answer to it.
    bool Pending() const;
    // A transfer of the multi handle ended: true when it was a probe's.
    bool ProbeDone(CURL* easy, CURLcode code);
    // Every probe leaves the multi handle.
    void CloseProbes();

private:
    // A request for bytes already in the file, to compare them with
    // another mirror's.
    struct Probe {
        SegmentVerifier* owner = nullptr;
        EasyHandle easy;
        HeaderList headers;
        char error[CURL_ERROR_SIZE] = {};
        std::string hostPort;
        int source = 0;     // whose bytes in the file are in doubt
        int reference = 0;  // the mirror asked for them
        RangeWriters::Span span;
        HttpResponse response;
        bool accepted = false;
        std::vector<char> bytes;
        // A third mirror's answer decides between the file and these bytes,
        // which `rival` gave.
        std::vector<char> against;
        int rival = -1;
        bool version = false;  // asked by ProveVersion: any validator, the same bytes
    };
    // What the check of the whole file found.
    enum class Whole { Unchecked, Verified, Mismatch, NotAudited };

    static std::size_t ProbeHeader(char* data, std::size_t size, std::size_t count, void* user);
    static std::size_t ProbeWrite(char* data, std::size_t size, std::size_t count, void* user);
    void CheckPieces(std::int64_t from, std::int64_t to);
    bool Auditable() const;
    void Audit();
    int Reference(int source, int other) const;
    bool OpenProbe(int source, int reference, const RangeWriters::Span& span, std::vector<char> against, int rival,
                   bool version = false);
    static constexpr int kNoSource = RangeWriters::kBefore - 1;  // a version probe's: no mirror's bytes in doubt
    void Judge(Probe& p);
    void Blame(int source, const std::string& why);
    void CloseProbe(Probe& p);

    Owner& m_owner;
    SegmentScheduler& m_schedule;
    PartialFile& m_file;
    RangeRecorder& m_recorder;
    DigestCheck* const m_digest;  // the whole file's running hash; may be null
    const PieceHashes m_pieceHashes;
    ProgressSink& m_sink;
    const TaskId m_taskId;
    CURLM* const m_multi;
    HostConnections& m_hosts;
    std::unique_ptr<PieceCheck> m_pieces;  // while the file's pieces are checked
    RangeWriters m_writers;                // who wrote which bytes in this call
    Whole m_whole = Whole::Unchecked;
    std::vector<std::unique_ptr<Probe>> m_probes;
    std::map<int, std::int64_t> m_probeSize;    // how much of a writer's bytes the next probe asks for
    std::set<int> m_unasked;                    // mirrors that failed to give bytes to compare
    std::vector<RangeWriters::Span> m_toProve;  // ProveVersion's spans, not asked yet
};

}  // namespace dromo
