// CurlEngine's check of a finished file against the digest it should have,
// apart from the transfer itself.
#include <cstdio>

#include "engine/curlengine.h"
#include "engine/partialfile.h"

namespace dromo {

bool CurlEngine::CheckedTransfer(const TransferRequest& request)
{
    m_verified.clear();
    m_mismatchedFile.clear();
    m_refetchOnMismatch = true;
    m_wroteFromZero = false;
    const bool ok = TransferByLeads(request);
    m_cookies.TakeFrom(m_easy);  // what the servers set, for the task's next attempt
    if (ok || m_mismatchedFile.empty() || m_abort) {
        return ok;
    }
    // Bytes spliced from two versions of the file, or spoilt on the way:
    // a second transfer from zero tells which, and its file is kept.
    m_refetchOnMismatch = false;
    if (std::remove(m_mismatchedFile.c_str()) != 0) {
        return Fail("Error removing " + m_mismatchedFile + " to download it again");
    }
    const bool again = TransferByLeads(request);
    m_cookies.TakeFrom(m_easy);
    return again;
}

bool CurlEngine::CheckDigest(PartialFile& file)
{
    const Digest* wanted = m_digest.Wanted();
    if (wanted == nullptr) {
        return true;
    }
    const std::string name = DigestAlgorithmName(wanted->algorithm);
    if (!file.Flush()) {
        return Fail("Error writing " + file.Path() + ": " + file.WriteError(), TransferOutcome::LocalFileError);
    }
    const std::int64_t size = file.SizeOnDisk();
    if (m_digest.MustRead(size)) {
        Status("Verifying\u2026");
    }
    switch (m_digest.Verify(file.Path(), size)) {
    case DigestCheck::Result::NotChecked: return true;
    case DigestCheck::Result::Verified: m_verified = name; return true;
    case DigestCheck::Result::Unreadable:
        return Fail("Error reading " + file.Path() + " to verify it: " + m_digest.ReadError());
    case DigestCheck::Result::Mismatch: break;
    }
    file.Close();
    const std::string failure = "Fail - the file does not match its " + name + " checksum";
    if (m_refetchOnMismatch && !m_wroteFromZero && !m_abort) {
        m_mismatchedFile = file.Path();
        m_error = failure;
        m_outcome = TransferOutcome::Failed;
        Status("The file does not match its " + name + " checksum: downloading it again from zero");
        return false;
    }
    // Downloaded whole from zero and still wrong: another try brings the same bytes.
    return Fail(failure, TransferOutcome::ChecksumMismatch);
}

}  // namespace dromo
