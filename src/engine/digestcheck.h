#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/text/digestlist.h"

namespace dromo {

struct HttpResponse;

// Checks a downloaded file against the digest it should have: the task's
// own (strongest first), else the one the server announced for the file.
// Data is hashed as it is written while it comes in order from the first
// byte; as a segmented transfer's ranges complete, CatchUp reads back (from
// the page cache) what lines up behind the hash, so a finished file is read
// again only where the hash has not taken it yet. A resume over one
// connection, or data written again below what the hash took, leaves the
// whole file to be read after its last byte. Hashing is OpenSSL's EVP, on a
// thread of its own, so it overlaps the transfer instead of adding to it.
class DigestCheck {
public:
    enum class Result { NotChecked, Verified, Mismatch, Unreadable };

    DigestCheck();
    ~DigestCheck();
    DigestCheck(const DigestCheck&) = delete;
    DigestCheck& operator=(const DigestCheck&) = delete;

    // The task's digests, for the transfers to come.
    void Expect(DigestList digests);
    // Forgets what the server said and what was hashed: a new transfer.
    void Begin();
    // The digests a response head announced for the file it answers with.
    void TakeServerDigests(const HttpResponse& response);
    // The digest the file is checked against; nullptr when there is none.
    const Digest* Wanted() const;

    // Data written at `offset` of the file; offset 0 starts over. Data past
    // what the hash has taken waits for CatchUp; data written again below
    // it gives up the running hash (the file is then read at the end).
    void Feed(std::int64_t offset, const char* data, std::size_t length);
    // Starts the running hash at the file's first byte, for a transfer whose
    // file may already hold bytes it will not write again (a resume).
    void StartOver();
    // Bytes [0, complete) of the file at `path` are on disk for good: the
    // running hash reads what it has not taken of them (from the page cache,
    // a few MiB a call). A file whose ranges came out of order is then not
    // read again whole after its last byte.
    void CatchUp(const std::string& path, std::int64_t complete);
    // Whether Verify will read the file instead of using the running hash.
    bool MustRead(std::int64_t size) const;
    // Compares the file of `size` bytes at `path` with the wanted digest.
    // Asked again before anything new was fed, it answers as before
    // without reading the file again.
    Result Verify(const std::string& path, std::int64_t size);
    // The system's reason when the file could not be read.
    const std::string& ReadError() const { return m_readError; }

private:
    class Hasher;
    bool Start();
    Result VerifyNow(const std::string& path, std::int64_t size, const Digest& wanted);
    // Reads [m_hashed, end) of the open file into the hash; false with
    // m_readError on a read error or an early end.
    bool ReadUpTo(int fd, std::int64_t end);
    void CloseFile();

    DigestList m_expected;
    DigestList m_server;
    std::unique_ptr<Hasher> m_hasher;
    std::int64_t m_hashed = 0;  // bytes the running hash has taken, from 0
    bool m_running = false;     // the running hash still follows the file
    std::string m_readError;
    // The last Verify's answer, while nothing was fed since.
    std::optional<Result> m_verdict;
    std::string m_verdictPath;
    std::int64_t m_verdictSize = -1;
    int m_fd = -1;  // the file CatchUp reads, kept open between calls
    std::string m_fdPath;
};

// The digest of a piece of data in memory, by OpenSSL's EVP; "" when
// hashing failed.
std::string DigestOf(DigestAlgorithm algorithm, const char* data, std::size_t length);

}  // namespace dromo
