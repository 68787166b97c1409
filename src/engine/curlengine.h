#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <curl/curl.h>

#include "base/ports/enginefactory.h"
#include "base/ports/progresssink.h"
#include "base/ports/transferengine.h"
#include "base/text/mirrorlist.h"
#include "base/text/piecehashes.h"
#include "base/text/streamtypes.h"
#include "base/text/transferrequest.h"
#include "base/values/transferoutcome.h"
#include "base/values/transfersettings.h"
#include "engine/curlhandles.h"
#include "engine/digestcheck.h"
#include "engine/hostconnections.h"
#include "engine/mirrorpool.h"
#include "engine/taskcookies.h"

namespace dromo {

class LeadingMirrors;
class PartialFile;
class SegmentedTransfer;
struct Lead;
struct RunContext;
struct TransferRun;

// The transfer engine over libcurl, for HTTP, HTTPS and FTP. Each transfer
// runs on the calling thread through a multi handle, so Abort (from any
// thread) wakes it at once, even on a stalled connection. The check of a
// finished file against its digest lives in curlenginedigest.cpp, what one
// call knows while it runs in transferrun.cpp (TransferRun, which sees only
// the RunContext the engine lends it).
class CurlEngine : public TransferEngine {
public:
    // `hosts` counts the connections per host of every engine that shares
    // it; it outlives the engine.
    CurlEngine(ProgressSink& sink, HostConnections& hosts);
    ~CurlEngine() override;
    // False when libcurl could not make its handles.
    bool Ready() const;
    CurlEngine(const CurlEngine&) = delete;
    CurlEngine& operator=(const CurlEngine&) = delete;

    bool Transfer(const TransferRequest& request) override;
    bool IsResumable() override;
    std::string ErrorText() override;
    TransferOutcome Outcome() override;
    void Close() override;
    std::int64_t FileSize() override;
    void Abort() override;
    void SetFileClaims(FileClaims* claims) override;
    std::string SavedAs() override;
    std::int32_t RetryAfter() override;
    MirrorList AnnouncedMirrors() override;
    // The algorithm the last transfer's file was verified with ("SHA-256");
    // "" when it was not checked.
    std::string Verified() override { return m_verified; }
    std::string FoundStream() override { return m_foundStream; }
    bool TooLarge() const override { return m_tooLarge; }
    using TransferEngine::SampleAddress;
    AddressSample SampleAddress(const TransferRequest& request) override;

    // The task's mirrors a segmented HTTP transfer may take ranges from:
    // those of HTTP and HTTPS, in the engine's own form of a URL, but the
    // one the call itself fetches.
    static std::vector<MirrorSource> OtherMirrors(const MirrorList& list, const std::string& url);

protected:
    void NewSettings() override;

private:
    // What one transfer call (TransferRun) is lent of the engine.
    RunContext Lend();

    // What a transfer finds on disk before its first request.
    struct ResumePoint;
    // The engine's own form of a request's URL.
    static std::string UrlOf(const TransferRequest& request);
    // The partial file's side of SampleAddress (curlenginesample.cpp).
    static void ReadKeptTail(const PartialFile& file, AddressSample& sample);
    AddressSample SampleOf(const TransferRequest& request);
    // The task's own URL, then its mirrors: who may lead the transfer.
    std::vector<Lead> Leads(const TransferRequest& request) const;

    // A transfer whose file does not match its digest is made once more
    // from zero: a resume may have joined two versions of the file.
    bool CheckedTransfer(const TransferRequest& request);
    // A leader that refuses before a byte came is left and the next one leads.
    bool TransferByLeads(const TransferRequest& request);
    bool TransferFrom(const LeadingMirrors& leads, const TransferRequest& request, PartialFile& file,
                      ResumePoint& resume);
    // Compares the finished partial file with the digest it should have;
    // false when it does not match or cannot be read.
    bool CheckDigest(PartialFile& file);
    // A server's Retry-After, bounded: the longest wait it may ask for.
    static constexpr std::int64_t kMaxRetryAfter = 3600;
    void NoteRetryAfter(std::int64_t seconds);
    bool CheckTarget(const TransferRequest& request);
    // The first name beside `target` free on disk (for the file and its
    // partial file) that the task list lets this task claim; "" when none.
    std::string ClaimFreeName(const std::string& target);
    // Whether a partial file on disk is this task's to continue.
    bool OwnPartialFile(const PartialFile& file);
    bool CheckHeaderValues(const TransferRequest& request);
    void StartCookies(const TransferRequest& request);
    bool ReadResumePoint(const TransferRequest& request, PartialFile& file, ResumePoint& resume);
    bool Conclude(TransferRun& run, CURLcode code, std::unique_ptr<SegmentedTransfer>& segments,
                  const char* errorBuffer, const Lead& lead);
    bool SetUp(TransferRun& run, const std::string& url, const std::string& user, const std::string& password,
               char* errorBuffer);
    void SetUpPace(CURL* easy);
    void SetUpIdentity(CURL* easy, const TransferRun& run, const std::string& user, const std::string& password);
    CURLcode Perform(TransferRun& run);
    CURLcode RunFtp(TransferRun& run, std::int64_t& offset, const std::string& validator);
    CURLcode RunHttp(TransferRun& run, std::int64_t offset, const std::string& validator);
    std::string ServerFileName(const TransferRun& run);
    bool Finish(TransferRun& run, std::int64_t bytes);
    // A video stream's recording (curlenginestream.cpp): the URL names a
    // playlist, answered with one, or a recording of it is on disk.
    StreamKind StreamAt(const std::string& url, const std::string& target) const;
    bool RunStream(const TransferRequest& request, PartialFile& file, StreamKind kind, const std::string& url);
    void Status(const std::string& message, StatusTone tone = StatusTone::Plain);
    bool Fail(const std::string& message, TransferOutcome outcome = TransferOutcome::Failed);

    ProgressSink& m_sink;
    HostConnections& m_hosts;
    // The multi handle outlives the easy one it runs.
    MultiHandle m_multiOwner;
    EasyHandle m_easyOwner;
    CURLM* m_multi;
    CURL* m_easy;
    std::atomic<bool> m_abort{false};
    std::atomic<bool> m_resumable{false};
    std::atomic<std::int64_t> m_fileSize{-1};
    std::string m_error;
    TransferOutcome m_outcome = TransferOutcome::Failed;
    bool m_leaderRefused = false;                // the last failure was the leader's refusal
    const TransferRequest* m_request = nullptr;  // the running call's
    std::string m_savedAs;
    std::int32_t m_retryAfter = -1;
    // What the server of the first connection named as the file's other
    // places: the transfer's mirrors when the task brings none.
    MirrorList m_announcedMirrors;
    FileClaims* m_claims = nullptr;
    DigestCheck m_digest;
    bool m_refetchOnMismatch = false;
    std::string m_mismatchedFile;  // the partial file a first mismatch left
    bool m_wroteFromZero = false;  // the last round wrote the whole file, none of it resumed
    std::string m_verified;        // the algorithm the last file was verified with
    std::string m_foundStream;     // what the last transfer recorded: "", "HLS", "DASH"
    bool m_tooLarge = false;
    TaskCookies m_cookies;  // the running task's, with what its servers set
};

// Makes one CurlEngine per worker; its engines share one count of
// connections per host.
class CurlEngineFactory : public EngineFactory {
public:
    CurlEngineFactory();
    std::shared_ptr<TransferEngine> Create(ProgressSink& sink) override;

private:
    HostConnections m_hosts;
};

}  // namespace dromo
