#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/values/transferoutcome.h"
#include "engine/httpresponse.h"

namespace dromo {

// A file of the target's name that is not our partial file.
struct ExistingFile {
    std::int64_t size = -1;      // -1: there is none
    std::string record;          // what Dromo recorded of it when it finished it
    std::int64_t modified = -1;  // its time when a program set it, else -1
};

// What a request was asked from and what lies on disk before it.
struct ResumeState {
    std::int64_t offset = 0;    // where the request asked the data to start
    std::int64_t last = -1;     // the last byte it asked for; -1 up to the end
    bool keepContents = false;  // a sparse partial file with its ranges: never emptied
    std::string validator;      // the server's version the bytes on disk came from
    ExistingFile existing;
};

// What to do with a file of the target's name found there before.
enum class ExistingVerdict {
    None,       // there is none: write the target
    Same,       // it is this download done before: nothing to write
    MoveAside,  // another file: write under the first free name beside it
};

// A file of the target's name is this download done before only when Dromo
// can tell it is the same file; its length alone never tells. With Dromo's
// record of the version it finished: the server still names that version
// (ETag, Last-Modified or an FTP server's time) and nothing contradicts it.
// Without one (a file another tool left, or a file system that keeps no
// attributes): its length and its time are the server's, the time set as
// Dromo dates every file it finishes, not merely that of a write in the
// same second. `serverVersion` is what the server says now, as a validator.
ExistingVerdict JudgeExisting(const ExistingFile& existing, std::int64_t total, const std::string& serverVersion);

// What the engine does with the server's answer to its request.
struct ResponseDecision {
    enum class Verdict {
        Write,            // the body is the file's data from the offset asked for
        AlreadyExisted,   // the target is this file already
        AlreadyComplete,  // the bytes on disk are the whole file
        Restart,          // the bytes on disk cannot be continued: from zero
        Fail,
    };
    Verdict verdict = Verdict::Fail;
    bool resumable = false;                // the server serves ranges
    std::optional<std::int64_t> fileSize;  // the size the engine reports from now on
    std::int64_t total = -1;               // the file's length the data must reach; -1 unknown
    bool moveAside = false;                // written under a free name beside the target
    bool truncate = false;                 // the partial file is emptied first
    bool emptyBody = false;                // the body is not the file's (the file is empty)
    bool misfit = false;                   // a range answer that does not fit what was asked
    bool changed = false;                  // a restart because the server now has another version
    std::string validator;                 // stored with the partial file when written
    std::string reason;                    // a restart's reason or a failure's text
    TransferOutcome failureOutcome = TransferOutcome::Failed;
    std::optional<std::int64_t> retryAfter;  // a refusing server's Retry-After
};

// The decision on an HTTP answer's head. A partial answer continues our
// bytes only when it fits the range asked for and the server's version of
// the file is still theirs; a whole body is never appended to them.
ResponseDecision DecideHttpAnswer(const HttpResponse& response, const ResumeState& resume);

// An HTTP address that redirected to FTP: the FTP server's data, of `size`
// bytes (-1 unknown), is the file. A resume cannot be checked against
// anything there, so it starts afresh; a request for a bounded range (the
// first of several connections) is made again without one, since the FTP
// server answers with that range alone and its size then is the range's.
ResponseDecision DecideRedirectedFtp(std::int64_t size, const ResumeState& resume);

// An FTP server's yes to AUTH TLS ("234 Proceed with negotiation.", or
// 334 when security data follows): the control connection goes on in TLS.
// 234 answers nothing but AUTH.
bool FtpReplyStartsTls(const std::string& reply);

}  // namespace dromo
