#pragma once

#include <cstdint>
#include <string>

#include "base/text/mirrorlist.h"
#include "base/text/piecehashes.h"
#include "base/values/addresssample.h"
#include "base/values/taskid.h"
#include "base/values/transferoutcome.h"

namespace dromo {

class FileClaims;

// Moves the bytes of one task at a time. Each worker owns one engine; its
// transfer calls run on that worker's thread, and only Abort may be called
// from another thread. Operations are in their classic order.
class TransferEngine {
public:
    virtual ~TransferEngine() = default;

    // True when the server said it can resume the file being transferred.
    virtual bool IsResumable() = 0;
    // The whole FTP transfer on the calling thread; true on success.
    virtual bool FtpGet(const std::string& host, std::uint16_t port, const std::string& remotePath,
                        const std::string& saveAs, const std::string& user, const std::string& password) = 0;
    // The text of the last failure, or "File has already existed".
    virtual std::string ErrorText() = 0;
    // What the last transfer call came to.
    virtual TransferOutcome Outcome() = 0;
    // Called after every transfer call and before the worker ends.
    virtual void Close() = 0;
    // Total size in bytes; negative when unknown.
    virtual std::int64_t FileSize() = 0;
    virtual void SetSpeedLimit(std::int32_t kbPerSecond) = 0;  // -1: none
    // From any thread; returns at once. The running transfer then fails with
    // a text containing "cancelled by user.".
    virtual void Abort() = 0;
    virtual void SetTaskId(TaskId taskId) = 0;
    virtual void SetAutoSave(std::int32_t kilobytes) = 0;
    virtual void SetRefresh(std::int32_t milliseconds) = 0;
    virtual void SetIdleTime(std::int32_t seconds) = 0;
    // The same as FtpGet for HTTP and HTTPS.
    virtual bool HttpGet(const std::string& host, std::uint16_t port, const std::string& remotePath,
                         const std::string& saveAs, const std::string& user, const std::string& password) = 0;
    virtual void SetPasvMode(std::int32_t passive) = 0;
    virtual void SetUserAgent(const std::string& userAgent) = 0;
    virtual void SetHttpVersion(const std::string& version) = 0;         // "2", "1.1", "1.0", "0.9"
    virtual void SetProxyServer1(const std::string& hostColonPort) = 0;  // "" = no proxy
    virtual void SetProxyServer2(const std::string& hostColonPort) = 0;
    virtual void SetCookies(std::int32_t enabled) = 0;
    virtual void SetProxyUser1(const std::string& user) = 0;
    virtual void SetProxyUser2(const std::string& user) = 0;
    virtual void SetProxyPassword1(const std::string& password) = 0;
    virtual void SetProxyPassword2(const std::string& password) = 0;

    // Beyond the classic operations: the next HttpGet speaks HTTPS (TLS
    // verified against the system's certificates) instead of plain HTTP.
    virtual void SetSecure(bool secure) = 0;
    // FTP takes TLS whenever the server offers it; with this on (the option
    // "Require TLS for FTP") a plain ftp:// server that offers none is
    // refused before the login is sent, and the call fails at once
    // (SecureFailure). ftps:// speaks TLS whatever this says.
    virtual void SetFtpTlsRequired(bool required) = 0;
    // Whether the next transfer may finish under the name the server gives
    // (Content-Disposition, or the last URL of a redirect chain) instead of
    // the target's own: on when the target's name was taken from the URL.
    virtual void SetServerNameAllowed(bool allowed) = 0;
    // The file the last transfer call wrote into or finished: the target it
    // was given, a free numbered name beside an unrelated file of the
    // target's name, or the server's name. "" before any transfer.
    virtual std::string SavedAs() = 0;
    // Seconds the server asked the client to wait (Retry-After of a 503 or
    // 429) in the last transfer; -1 when it asked nothing.
    virtual std::int32_t RetryAfter() = 0;
    // What a browser knew of the download, sent with the next transfers'
    // requests: the Cookie header (to the URL's own host only, never to a
    // host a redirect leads to) and the Referer. "" sends none.
    virtual void SetRequestDetails(const std::string& cookie, const std::string& referrer) = 0;
    // The cookies a browser would send to the file's site and its
    // redirects, as lines of libcurl's cookie file (CookieJar's text; ""
    // for none). Every request of the next transfers (each connection, each
    // hop of a redirect) sends those that match it as a browser would: by
    // domain, path and Secure flag. What the servers set joins them for the
    // task's later connections and attempts, until this or
    // SetRequestDetails or SetTaskId is called again: the next task starts
    // from its own cookies alone. A jar CookieJar refuses sends nothing.
    virtual void SetCookieJar(const std::string& lines) = 0;
    // How many connections the next HTTP transfers may open for one file
    // (1..16); 1 moves the file over one connection as always.
    virtual void SetConnections(std::int32_t connections) = 0;
    // What the task list says of the files the next transfers may write:
    // the engine claims every name it moves to there, and continues a
    // partial file without Dromo's mark only when the list says it is the
    // task's. nullptr: the engine alone, for whom every free name is free
    // and no unmarked partial file is its own. Not owned; it outlives the
    // transfers it is set for.
    virtual void SetFileClaims(FileClaims* claims) = 0;
    // The digests the next transfers' file must have, in DigestList's
    // stored form ("sha-256=HEX"; "" for none: then the server's announced
    // digest, if any, is checked). A file that does not match is fetched
    // once more from zero when it was continued from bytes on disk; a file
    // fetched whole from zero that does not match fails the call at once
    // (ChecksumMismatch) and the partial file stays.
    virtual void SetExpectedDigests(const std::string& checksum) = 0;
    // The other places that hold the file, as the server of the last
    // transfer named them with its answer (HTTP's Link field); empty when
    // it named none.
    virtual MirrorList AnnouncedMirrors() = 0;
    // The servers the next transfers' file may also be taken from (empty
    // for none): a file moved over several connections takes its ranges
    // from them too, and a mirror that fails is left for the rest of the
    // call. The URL of the call itself is always the first connection's.
    // Typed, as a Metalink file's reading made them: their stored form is
    // the task record's, read back once where the worker takes the task.
    virtual void SetMirrors(const MirrorList& mirrors) = 0;
    // The digests of the file's pieces (empty for none): each piece of a
    // file moved over several connections is checked once it is all
    // there, and one that does not match is fetched again from another
    // mirror.
    virtual void SetPieceHashes(const PieceHashes& pieces) = 0;
    // The digest the last transfer's finished file was found to match
    // ("SHA-256"); "" when none was checked.
    virtual std::string Verified() = 0;
    // The most bytes the file of a one-connection transfer may have (-1:
    // no limit); a larger one ends the call before its bytes are written
    // (TooLarge), at its announced length or once more bytes came: what a
    // document read whole afterwards, a Metalink file, needs.
    virtual void SetMaxFileSize(std::int64_t bytes) = 0;
    virtual bool TooLarge() const = 0;

    // Video streams. The variant the next transfers record when their URL
    // answers with a stream's playlist, in VariantChoice's stored form
    // ("" for the best).
    virtual void SetStreamVariant(const std::string& variant) = 0;
    // What the last transfer found at its URL: "" a file, "HLS" or "DASH" a
    // video stream it recorded (StreamKindName).
    virtual std::string FoundStream() = 0;

    // A task whose address expired: what lies on disk for `saveAs` (its
    // partial file's resume point, validator and the kSameFileTail bytes
    // before the resume point) and what the HTTP(S) address answers to a
    // range request for those bytes, sent with the request details, cookie
    // jar, user agent, proxy and TLS set for the next transfers. Reads only:
    // nothing on disk changes. Abort ends it as it ends a transfer.
    virtual AddressSample SampleAddress(const std::string& host, std::uint16_t port, const std::string& remotePath,
                                        const std::string& saveAs) = 0;
};

}  // namespace dromo
