// CurlEngine's hook into video streams: a URL that names or answers with a
// playlist is recorded by a StreamTransfer.

#include <sys/stat.h>
#include <unistd.h>

#include "base/ports/fileclaims.h"
#include "base/text/filenames.h"
#include "base/values/protocoltexts.h"
#include "engine/curlengine.h"
#include "engine/partialfile.h"
#include "engine/streamtransfer.h"

namespace dromo {

StreamKind CurlEngine::StreamAt(const std::string& url, const std::string& target) const
{
    const StreamKind named = StreamKindOfName(url);
    if (named != StreamKind::None) {
        return named;
    }
    // A recording begun from a URL that only its answer told for a playlist.
    return StreamTransfer::RecordingAt(StreamTransfer::OutputTarget(target) + PartialFile::kSuffix);
}

bool CurlEngine::RunStream(const TransferRequest& request, PartialFile& file, StreamKind kind, const std::string& url)
{
    // A playlist told by its first bytes left an empty partial file of its own name.
    if (file.SizeOnDisk() == 0 && file.Marked()) {
        file.Close();
        ::unlink(file.Path().c_str());
    }
    // The recording is kept and finished under the name of its file (".mp4"
    // for ".m3u8"): a name of our own recording goes on, another file's is
    // left alone for a free one beside it.
    const std::string output = StreamTransfer::OutputTarget(file.Target());
    const bool renamed = output != file.Target();
    if (renamed) {
        const std::string partial = output + PartialFile::kSuffix;
        std::string chosen = output;
        struct stat st {};
        const bool ours = StreamTransfer::RecordingAt(partial) != StreamKind::None;
        if (!ours && (::lstat(partial.c_str(), &st) == 0 || (m_claims != nullptr && !m_claims->Claim(output)))) {
            chosen = ClaimFreeName(output);
            if (chosen.empty()) {
                return Fail("Fail - no free file name beside " + output);
            }
        }
        file.Retarget(chosen);
        m_savedAs = chosen;
    }
    m_resumable = true;  // segment by segment
    StreamTransfer stream(StreamContext{Settings(), m_sink, m_multi, m_hosts, m_easy, url, kind, m_request->variant,
                                        m_abort, m_fileSize, m_claims, renamed},
                          file);
    const bool ok = stream.Run();
    m_foundStream = StreamKindName(stream.Kind());
    m_savedAs = file.Target();
    if (!ok) {
        if (stream.RetryAfter() >= 0) {
            NoteRetryAfter(stream.RetryAfter());
        }
        return Fail(stream.Failure(), stream.FailureOutcome());
    }
    m_outcome = TransferOutcome::Completed;
    if (file.Target() != request.saveAs) {
        Status("Saved as " + NameOfPath(file.Target()));
    }
    Status(texts::kFileDownloaded, StatusTone::Done);
    return true;
}

}  // namespace dromo
