#include "engine/responsedecision.h"

#include <algorithm>

#include "base/values/protocoltexts.h"
#include "engine/validator.h"

namespace dromo {
namespace {

using Verdict = ResponseDecision::Verdict;

const char* const kChangedText = "The file changed on the server; downloading it again from the start";

ResponseDecision Restart(ResponseDecision d, const std::string& reason)
{
    d.verdict = Verdict::Restart;
    d.reason = reason;
    return d;
}

// The server's version of the file is not the one the bytes on disk came from.
ResponseDecision Changed(ResponseDecision d)
{
    d.changed = true;
    return Restart(std::move(d), kChangedText);
}

// A whole file to write from zero, unless the target is this file already.
ResponseDecision WriteWhole(ResponseDecision d, const ResumeState& resume, const std::string& serverVersion)
{
    const ExistingVerdict existing = JudgeExisting(resume.existing, d.total, serverVersion);
    d.verdict = existing == ExistingVerdict::Same ? Verdict::AlreadyExisted : Verdict::Write;
    d.moveAside = existing == ExistingVerdict::MoveAside;
    return d;
}

// A 206 continues our bytes only when it starts where they end, runs to the
// end of the same file (or to the last byte asked for) and brings exactly
// the bytes it announces; anything else (a short error page sent as 206,
// another file) is never appended.
ResponseDecision DecideRange(const HttpResponse& r, const ResumeState& resume, ResponseDecision d)
{
    const std::string now = SizeValidator(r, r.rangeTotal);
    const std::int64_t last = resume.last >= 0 ? std::min(resume.last, r.rangeTotal - 1) : r.rangeTotal - 1;
    const bool fits = r.rangeFirst == resume.offset && r.rangeTotal >= 0 && r.rangeLast == last &&
                      r.contentLength == r.rangeLast - r.rangeFirst + 1;
    if (!fits) {
        d.misfit = true;
        return Restart(d, "The server's partial answer does not fit the file; downloading it again from the start");
    }
    if (ServerFileChanged(resume.validator, now)) {
        return Changed(d);
    }
    d.total = r.rangeTotal;
    d.fileSize = d.total;
    d.truncate = resume.offset == 0 && !resume.keepContents;
    d.validator = now;
    if (resume.offset == 0) {
        return WriteWhole(d, resume, now);
    }
    d.verdict = Verdict::Write;
    return d;
}

// A 416 to a resume: bytes on disk as long as the file are the whole file
// only when Dromo's validator says which: a copy of a segmented partial file
// that lost its range record is as long, with holes.
ResponseDecision DecideRefusedResume(const HttpResponse& r, const ResumeState& resume, ResponseDecision d)
{
    if (r.rangeTotal == resume.offset && !resume.keepContents && !resume.validator.empty() &&
        !ServerFileChanged(resume.validator, SizeValidator(r, r.rangeTotal))) {
        d.fileSize = r.rangeTotal;
        d.verdict = Verdict::AlreadyComplete;
        return d;
    }
    if (resume.validator.empty() && r.rangeTotal == resume.offset) {
        return Restart(d, "Nothing tells what the bytes on disk are; downloading the file again from the start");
    }
    return Changed(d);
}

// Signed links of file hosts and CDNs answer a resume so once they expire:
// the bytes on disk are still good, but only another address of the same
// file can continue them, so no retry of this one is worth making.
bool AddressExpired(const HttpResponse& r, const ResumeState& resume)
{
    const bool keptBytes = resume.offset > 0 || resume.keepContents;
    return keptBytes && (r.code == 403 || r.code == 404 || r.code == 410);
}

ResponseDecision Refused(const HttpResponse& r, const ResumeState& resume, ResponseDecision d)
{
    if (r.code == 503 || r.code == 429) {
        d.retryAfter = r.retryAfter;
    }
    d.verdict = Verdict::Fail;
    if (AddressExpired(r, resume)) {
        d.reason = texts::kAddressExpired;
        d.failureOutcome = TransferOutcome::Expired;
    } else if (r.code == 0) {
        d.reason = "Error in the server's answer: no valid status line";
    } else if (r.code == 407) {
        d.reason = "Error 407 from proxy: " + r.reason;
    } else {
        d.reason = "Error " + std::to_string(r.code) + " from server: " + r.reason;
        if (r.code == 404) {
            d.failureOutcome = TransferOutcome::NotFound;
        } else if (r.code == 410) {
            d.failureOutcome = TransferOutcome::Gone;
        } else if (r.code == 401 || r.code == 403) {
            d.failureOutcome = TransferOutcome::AccessDenied;
        } else if (r.code >= 500 || r.code == 429) {
            d.failureOutcome = TransferOutcome::ServerError;
        }
    }
    return d;
}

}  // namespace

ExistingVerdict JudgeExisting(const ExistingFile& existing, std::int64_t total, const std::string& serverVersion)
{
    if (existing.size < 0) {
        return ExistingVerdict::None;
    }
    if (total < 0 || existing.size != total) {
        return ExistingVerdict::MoveAside;
    }
    if (!existing.record.empty()) {
        bool named = false;
        for (const char* name : {"etag", "lm", "mtime"}) {
            named = named ||
                    (!ValidatorField(existing.record, name).empty() && !ValidatorField(serverVersion, name).empty());
        }
        return named && !ServerFileChanged(existing.record, serverVersion) ? ExistingVerdict::Same
                                                                           : ExistingVerdict::MoveAside;
    }
    const std::int64_t serverTime = ValidatorTime(serverVersion);
    return serverTime >= 0 && serverTime == existing.modified ? ExistingVerdict::Same : ExistingVerdict::MoveAside;
}

ResponseDecision DecideHttpAnswer(const HttpResponse& r, const ResumeState& resume)
{
    ResponseDecision d;
    d.resumable = r.acceptRanges || r.code == 206;
    if (r.code == 206) {
        return DecideRange(r, resume, d);
    }
    if (r.code == 416 && resume.offset == 0 && !resume.keepContents && r.rangeTotal == 0) {
        // An empty file, asked for as a range: no range of it exists, and
        // what the answer carries is the server's words on that.
        d.total = 0;
        d.fileSize = 0;
        d.truncate = true;
        d.emptyBody = true;
        d.validator = SizeValidator(r, 0);
        return WriteWhole(d, resume, d.validator);
    }
    if (r.code == 416 && (resume.offset > 0 || resume.keepContents)) {
        return DecideRefusedResume(r, resume, d);
    }
    if (r.code >= 200 && r.code < 300) {
        // A whole body: never appended to what is on disk.
        d.total = r.contentLength;
        d.fileSize = d.total;
        d.truncate = true;
        d.validator = SizeValidator(r, d.total);
        return WriteWhole(d, resume, d.validator);
    }
    return Refused(r, resume, d);
}

ResponseDecision DecideRedirectedFtp(std::int64_t size, const ResumeState& resume)
{
    ResponseDecision d;
    d.resumable = true;
    if (resume.offset > 0) {
        return Restart(d, "The file moved to an FTP server; downloading it again from the start");
    }
    if (resume.last >= 0) {
        // libcurl takes the bounded range asked of the web server to the FTP
        // server too, and its length would pass for the file's: the file is
        // asked for whole, in one plain request.
        d.misfit = true;
        return Restart(d, "The file moved to an FTP server; asking it for the whole file");
    }
    d.total = size;
    d.fileSize = size;
    d.truncate = true;
    // The FTP server was asked nothing of its file: no version to compare.
    return WriteWhole(d, resume, std::string());
}

bool FtpReplyStartsTls(const std::string& reply)
{
    return (reply.rfind("234", 0) == 0 || reply.rfind("334", 0) == 0) &&
           (reply.size() == 3 || reply[3] == ' ' || reply[3] == '-');
}

}  // namespace dromo
