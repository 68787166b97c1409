#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/text/digestlist.h"
#include "base/text/mirrorlist.h"
#include "base/text/piecehashes.h"

namespace dromo {

// What a browser knew of the download, sent with the transfer's requests:
// the Cookie header (to the URL's own host only) and the Referer, and the
// cookies it would send to the file's site and its redirects as lines of
// libcurl's cookie file (CookieJar's text).
struct BrowserRequestDetails {
    std::string cookie;
    std::string referrer;
    std::string cookieJar;

    bool operator==(const BrowserRequestDetails&) const = default;
};

// One transfer: the file's address, where it goes, the login, what the
// browser knew, and what the file is known to be (other places that hold it,
// its pieces' and its whole digests). Typed as their readings made them;
// the stored forms are the task record's, read once where the worker takes
// the task (RequestFor).
struct TransferRequest {
    bool ftp = false;
    bool secure = false;  // HTTPS, or FTP over TLS from the first byte (ftps://)
    std::string host;
    std::uint16_t port = 0;
    std::string remotePath;
    std::string saveAs;
    std::string user;
    std::string password;
    BrowserRequestDetails details;
    // The servers the file may also be taken from; the URL of the request
    // itself is always the first connection's.
    MirrorList mirrors;
    PieceHashes pieces;
    // The digests the file must have (empty: the server's announced digest,
    // if any, is checked); `digestsUnreadable` says why the task's stored
    // digests could not be read, and the transfer then fails at once.
    DigestList digests;
    std::string digestsUnreadable;
    // Takes DigestList's stored form ("sha-256=HEX"; "" for none).
    void ReadDigests(std::string_view stored)
    {
        std::string error;
        std::optional<DigestList> read = DigestList::Parse(stored, &error);
        digests = read ? std::move(*read) : DigestList();
        digestsUnreadable = read ? std::string() : error;
    }
    // Whether the file may finish under the name the server gives instead
    // of the target's own.
    bool serverNameAllowed = false;
    // The variant a stream is recorded in, in VariantChoice's stored form.
    std::string variant;
    // The most bytes the file of a one-connection transfer may have; -1: no limit.
    std::int64_t maxFileSize = -1;
};

}  // namespace dromo
