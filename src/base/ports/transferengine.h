#pragma once

#include <cstdint>
#include <string>

#include "base/text/mirrorlist.h"
#include "base/text/piecehashes.h"
#include "base/text/transferrequest.h"
#include "base/values/addresssample.h"
#include "base/values/globaloptions.h"
#include "base/values/taskid.h"
#include "base/values/transferoutcome.h"
#include "base/values/transfersettings.h"

namespace dromo {

class FileClaims;

// Moves the bytes of one task at a time. Each worker owns one engine; its
// transfer calls run on that worker's thread, and only Abort may be called
// from another thread.
//
// The engine is given two values: the settings of the next transfers
// (Configure) and the request of each transfer (Transfer). The classic
// operations (SetSpeedLimit, HttpGet and the rest) stay for callers that set
// one thing at a time: each writes its part of the same two values.
class TransferEngine {
public:
    virtual ~TransferEngine() = default;

    // The settings of the next transfers, whole. A new task's cookies start
    // afresh: what its servers set is kept for its later transfers until
    // the next Configure.
    void Configure(const TransferSettings& settings)
    {
        m_settings = settings;
        NewSettings();
    }
    const TransferSettings& Settings() const { return m_settings; }
    // One transfer, whole, on the calling thread; true on success.
    virtual bool Transfer(const TransferRequest& request) = 0;

    // True when the server said it can resume the file being transferred.
    virtual bool IsResumable() = 0;
    // The text of the last failure, or "File has already existed".
    virtual std::string ErrorText() = 0;
    // What the last transfer call came to.
    virtual TransferOutcome Outcome() = 0;
    // Called after every transfer call and before the worker ends.
    virtual void Close() = 0;
    // Total size in bytes; negative when unknown.
    virtual std::int64_t FileSize() = 0;
    // From any thread; returns at once. The running transfer then fails with
    // a text containing "cancelled by user.".
    virtual void Abort() = 0;
    // What the task list says of the files the next transfers may write:
    // the engine claims every name it moves to there, and continues a
    // partial file without Dromo's mark only when the list says it is the
    // task's. nullptr: the engine alone, for whom every free name is free
    // and no unmarked partial file is its own. Not owned; it outlives the
    // transfers it is set for.
    virtual void SetFileClaims(FileClaims* claims) = 0;
    // The file the last transfer call wrote into or finished: the target it
    // was given, a free numbered name beside an unrelated file of the
    // target's name, or the server's name. "" before any transfer.
    virtual std::string SavedAs() = 0;
    // Seconds the server asked the client to wait (Retry-After of a 503 or
    // 429) in the last transfer; -1 when it asked nothing.
    virtual std::int32_t RetryAfter() = 0;
    // The other places that hold the file, as the server of the last
    // transfer named them with its answer (HTTP's Link field); empty when
    // it named none.
    virtual MirrorList AnnouncedMirrors() = 0;
    // The digest the last transfer's finished file was found to match
    // ("SHA-256"); "" when none was checked.
    virtual std::string Verified() = 0;
    // Whether the last transfer ended because its file passed the request's
    // maxFileSize (at its announced length or once more bytes came): what
    // a document read whole afterwards, a Metalink file, needs.
    virtual bool TooLarge() const = 0;
    // What the last transfer found at its URL: "" a file, "HLS" or "DASH" a
    // video stream it recorded (StreamKindName).
    virtual std::string FoundStream() = 0;
    // A task whose address expired: what lies on disk for the request's
    // saveAs (its partial file's resume point, validator and the
    // kSameFileTail bytes before the resume point) and what the HTTP(S)
    // address answers to a range request for those bytes, sent with the
    // request's details and the settings' user agent and proxy. Reads only:
    // nothing on disk changes. Abort ends it as it ends a transfer.
    virtual AddressSample SampleAddress(const TransferRequest& request) = 0;

    // The classic operations, in their classic order. Each sets one part of
    // the next transfers' settings; SetTaskId starts the task's cookies
    // afresh as Configure does.
    void SetSpeedLimit(std::int32_t kbPerSecond) { m_settings.speedLimit = kbPerSecond; }  // -1: none
    void SetTaskId(TaskId taskId)
    {
        m_settings.taskId = taskId;
        NewSettings();
    }
    void SetAutoSave(std::int32_t kilobytes) { m_settings.autoSaveKB = kilobytes; }
    void SetRefresh(std::int32_t milliseconds) { m_settings.refreshMs = milliseconds; }
    void SetIdleTime(std::int32_t seconds) { m_settings.idleSeconds = seconds; }
    void SetPasvMode(std::int32_t passive) { m_settings.passive = passive; }
    void SetUserAgent(const std::string& userAgent) { m_settings.userAgent = userAgent; }
    void SetHttpVersion(const std::string& version) { m_settings.httpVersion = version; }  // "2", "1.1", "1.0", "0.9"
    // Both proxy operations get one value: "host:port", "" for no proxy.
    void SetProxyServer1(const std::string& hostColonPort) { m_settings.proxy.server = hostColonPort; }
    void SetProxyServer2(const std::string& hostColonPort) { m_settings.proxy.server = hostColonPort; }
    void SetCookies(std::int32_t enabled) { m_settings.cookies = enabled; }
    void SetProxyUser1(const std::string& user) { m_settings.proxy.user = user; }
    void SetProxyUser2(const std::string& user) { m_settings.proxy.user = user; }
    void SetProxyPassword1(const std::string& password) { m_settings.proxy.password = password; }
    void SetProxyPassword2(const std::string& password) { m_settings.proxy.password = password; }
    // The whole transfer, with the request's other parts as the setters
    // below left them.
    bool FtpGet(const std::string& host, std::uint16_t port, const std::string& remotePath, const std::string& saveAs,
                const std::string& user, const std::string& password)
    {
        return Transfer(NextRequest(true, host, port, remotePath, saveAs, user, password));
    }
    bool HttpGet(const std::string& host, std::uint16_t port, const std::string& remotePath, const std::string& saveAs,
                 const std::string& user, const std::string& password)
    {
        return Transfer(NextRequest(false, host, port, remotePath, saveAs, user, password));
    }

    // Beyond the classic operations, the same for callers that set one
    // part at a time (see TransferSettings and TransferRequest for each).
    void SetFtpTlsRequired(bool required) { m_settings.ftpTlsRequired = required; }
    void SetConnections(std::int32_t connections) { m_settings.connections = ClampConnections(connections); }
    void SetSecure(bool secure) { m_next.secure = secure; }
    void SetServerNameAllowed(bool allowed) { m_next.serverNameAllowed = allowed; }
    // A browser's Cookie and Referer; a new pair (or jar) starts the task's
    // cookies afresh.
    void SetRequestDetails(const std::string& cookie, const std::string& referrer)
    {
        m_next.details.cookie = cookie;
        m_next.details.referrer = referrer;
        NewSettings();
    }
    void SetCookieJar(const std::string& lines)
    {
        m_next.details.cookieJar = lines;
        NewSettings();
    }
    // DigestList's stored form ("sha-256=HEX"); a text that cannot be read
    // fails the next transfers at once.
    void SetExpectedDigests(const std::string& checksum) { m_next.ReadDigests(checksum); }
    void SetMirrors(const MirrorList& mirrors) { m_next.mirrors = mirrors; }
    void SetPieceHashes(const PieceHashes& pieces) { m_next.pieces = pieces; }
    void SetStreamVariant(const std::string& variant) { m_next.variant = variant; }
    void SetMaxFileSize(std::int64_t bytes) { m_next.maxFileSize = bytes; }
    AddressSample SampleAddress(const std::string& host, std::uint16_t port, const std::string& remotePath,
                                const std::string& saveAs)
    {
        return SampleAddress(NextRequest(false, host, port, remotePath, saveAs, "", ""));
    }

protected:
    // The settings changed as a whole (Configure, SetTaskId) or the
    // browser's details did: the task's cookies start afresh.
    virtual void NewSettings() {}

private:
    TransferRequest NextRequest(bool ftp, const std::string& host, std::uint16_t port, const std::string& remotePath,
                                const std::string& saveAs, const std::string& user, const std::string& password) const
    {
        TransferRequest request = m_next;
        request.ftp = ftp;
        request.host = host;
        request.port = port;
        request.remotePath = remotePath;
        request.saveAs = saveAs;
        request.user = user;
        request.password = password;
        return request;
    }

    TransferSettings m_settings;
    TransferRequest m_next;  // what the classic setters gave the next HttpGet or FtpGet
};

}  // namespace dromo
