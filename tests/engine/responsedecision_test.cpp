// The engine's decisions on a server's answer, without a server: each case
// is the head the server sent, what the request asked for and what lay on
// disk, and what the engine must make of it.

#include "engine/responsedecision.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/validator.h"

namespace dromo {
namespace {

using Verdict = ResponseDecision::Verdict;

constexpr const char* kChanged = "The file changed on the server; downloading it again from the start";
constexpr const char* kMisfit =
    "The server's partial answer does not fit the file; downloading it again from the start";
constexpr const char* kUnknownBytes =
    "Nothing tells what the bytes on disk are; downloading the file again from the start";
constexpr const char* kLastModified = "Tue, 01 Dec 2026 10:00:00 GMT";
constexpr std::int64_t kLastModifiedSeconds = 1796119200;
constexpr std::int64_t kUnset = -2;  // the decision leaves the engine's file size as it was

// A head as the server sends it, lines separated by '|'.
HttpResponse Head(const std::string& lines)
{
    HttpResponse r;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line, '|');) {
        r.AddLine(line);
    }
    return r;
}

std::string Name(Verdict v)
{
    switch (v) {
    case Verdict::Write: return "Write";
    case Verdict::AlreadyExisted: return "AlreadyExisted";
    case Verdict::AlreadyComplete: return "AlreadyComplete";
    case Verdict::Restart: return "Restart";
    case Verdict::Fail: return "Fail";
    }
    return "?";
}

struct HttpCase {
    const char* what;
    std::string head;
    ResumeState resume;
    Verdict verdict;
    std::int64_t total = -1;
    std::int64_t fileSize = kUnset;
    bool truncate = false;
    bool moveAside = false;
    std::string validator = {};
    std::string reason = {};
    bool resumable = false;
    bool misfit = false;
    bool emptyBody = false;
};

ResumeState From(std::int64_t offset, std::string validator = "", std::int64_t last = -1, bool keep = false)
{
    ResumeState r;
    r.offset = offset;
    r.validator = std::move(validator);
    r.last = last;
    r.keepContents = keep;
    return r;
}

ResumeState Beside(ExistingFile existing)
{
    ResumeState r;
    r.existing = std::move(existing);
    return r;
}

void Check(const HttpCase& c, const ResponseDecision& d)
{
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Name(d.verdict), Name(c.verdict));
    EXPECT_EQ(d.total, c.total);
    EXPECT_EQ(d.fileSize.value_or(kUnset), c.fileSize);
    EXPECT_EQ(d.resumable, c.resumable);
    EXPECT_EQ(d.misfit, c.misfit);
    EXPECT_EQ(d.reason, c.reason);
    EXPECT_EQ(d.changed, c.reason == kChanged) << "the engine tells a changed file by the flag, not the text";
    if (c.verdict == Verdict::Write) {
        EXPECT_EQ(d.truncate, c.truncate);
        EXPECT_EQ(d.moveAside, c.moveAside);
        EXPECT_EQ(d.validator, c.validator);
        EXPECT_EQ(d.emptyBody, c.emptyBody);
    }
}

TEST(ResponseDecision, AnHttpAnswerIsWrittenContinuedRestartedOrRefused)
{
    const std::vector<HttpCase> cases = {
        {"a whole body is written from zero", "HTTP/1.1 200 OK|Content-Length: 10|ETag: \"v1\"", From(0),
         Verdict::Write, 10, 10, true, false, "etag=\"v1\"\nsize=10\n"},
        {"a whole body to a resume is never appended", "HTTP/1.1 200 OK|Content-Length: 10|Accept-Ranges: bytes",
         From(5, "size=10\n"), Verdict::Write, 10, 10, true, false, "size=10\n", "", true},
        {"a whole body of unknown length", "HTTP/1.1 200 OK", From(0), Verdict::Write, -1, -1, true, false, ""},
        {"a 204 is a whole, empty body", "HTTP/1.1 204 No Content|Content-Length: 0", From(0), Verdict::Write, 0, 0,
         true, false, "size=0\n"},
        {"a range that continues our bytes",
         "HTTP/1.1 206 Partial Content|Content-Range: bytes 5-9/10|Content-Length: 5|ETag: \"v1\"",
         From(5, "etag=\"v1\"\nsize=10\n"), Verdict::Write, 10, 10, false, false, "etag=\"v1\"\nsize=10\n", "", true},
        {"a range from another place", "HTTP/1.1 206 Partial Content|Content-Range: bytes 0-9/10|Content-Length: 10",
         From(5, "size=10\n"), Verdict::Restart, -1, kUnset, false, false, "", kMisfit, true, true},
        {"a range shorter than it says", "HTTP/1.1 206 Partial Content|Content-Range: bytes 5-9/10|Content-Length: 3",
         From(5), Verdict::Restart, -1, kUnset, false, false, "", kMisfit, true, true},
        {"a range short of the end when the rest was asked for",
         "HTTP/1.1 206 Partial Content|Content-Range: bytes 5-8/10|Content-Length: 4", From(5), Verdict::Restart, -1,
         kUnset, false, false, "", kMisfit, true, true},
        {"a range of unknown total", "HTTP/1.1 206 Partial Content|Content-Range: bytes 5-9/*|Content-Length: 5",
         From(5), Verdict::Restart, -1, kUnset, false, false, "", kMisfit, true, true},
        {"the bounded first piece, as asked",
         "HTTP/1.1 206 Partial Content|Content-Range: bytes 0-2097151/10000000|Content-Length: 2097152",
         From(0, "", 2097151), Verdict::Write, 10000000, 10000000, true, false, "size=10000000\n", "", true},
        {"a bounded request the file is shorter than",
         "HTTP/1.1 206 Partial Content|Content-Range: bytes 0-99/100|Content-Length: 100", From(0, "", 2097151),
         Verdict::Write, 100, 100, true, false, "size=100\n", "", true},
        {"a range past the last byte asked for",
         "HTTP/1.1 206 Partial Content|Content-Range: bytes 0-2097152/10000000|Content-Length: 2097153",
         From(0, "", 2097151), Verdict::Restart, -1, kUnset, false, false, "", kMisfit, true, true},
        {"a range of another version (ETag)",
         "HTTP/1.1 206 Partial Content|Content-Range: bytes 5-9/10|Content-Length: 5|ETag: \"v2\"",
         From(5, "etag=\"v1\"\nsize=10\n"), Verdict::Restart, -1, kUnset, false, false, "", kChanged, true},
        {"a range of another length", "HTTP/1.1 206 Partial Content|Content-Range: bytes 5-10/11|Content-Length: 6",
         From(5, "size=10\n"), Verdict::Restart, -1, kUnset, false, false, "", kChanged, true},
        {"a sparse partial file is never emptied by its first range",
         "HTTP/1.1 206 Partial Content|Content-Range: bytes 0-9/10|Content-Length: 10", From(0, "size=10\n", -1, true),
         Verdict::Write, 10, 10, false, false, "size=10\n", "", true},
        {"416: our bytes are the whole file", "HTTP/1.1 416 Range Not Satisfiable|Content-Range: bytes */10",
         From(10, "size=10\n"), Verdict::AlreadyComplete, -1, 10},
        {"416: as long as the file, but nothing says they are it",
         "HTTP/1.1 416 Range Not Satisfiable|Content-Range: bytes */10", From(10), Verdict::Restart, -1, kUnset, false,
         false, "", kUnknownBytes},
        {"416: the file changed length", "HTTP/1.1 416 Range Not Satisfiable|Content-Range: bytes */20",
         From(10, "size=10\n"), Verdict::Restart, -1, kUnset, false, false, "", kChanged},
        {"416: the file changed version", "HTTP/1.1 416 Range Not Satisfiable|Content-Range: bytes */10|ETag: \"v2\"",
         From(10, "etag=\"v1\"\n"), Verdict::Restart, -1, kUnset, false, false, "", kChanged},
        {"416: a sparse file as long as the file may have holes",
         "HTTP/1.1 416 Range Not Satisfiable|Content-Range: bytes */10", From(10, "size=10\n", -1, true),
         Verdict::Restart, -1, kUnset, false, false, "", kChanged},
        {"416 to a first range: the file is empty",
         "HTTP/1.1 416 Range Not Satisfiable|Content-Range: bytes */0|Content-Length: 20", From(0, "", 2097151),
         Verdict::Write, 0, 0, true, false, "size=0\n", "", false, false, true},
        {"404", "HTTP/1.1 404 Not Found", From(0), Verdict::Fail, -1, kUnset, false, false, "",
         "Error 404 from server: Not Found"},
        {"500", "HTTP/1.1 500 Internal Server Error", From(0), Verdict::Fail, -1, kUnset, false, false, "",
         "Error 500 from server: Internal Server Error"},
        {"a proxy's login", "HTTP/1.1 407 Proxy Authentication Required", From(0), Verdict::Fail, -1, kUnset, false,
         false, "", "Error 407 from proxy: Proxy Authentication Required"},
        {"no status line", "", From(0), Verdict::Fail, -1, kUnset, false, false, "",
         "Error in the server's answer: no valid status line"},
        {"416 with nothing to resume", "HTTP/1.1 416 Range Not Satisfiable|Content-Range: bytes */10", From(0),
         Verdict::Fail, -1, kUnset, false, false, "", "Error 416 from server: Range Not Satisfiable"},
    };
    for (const HttpCase& c : cases) {
        Check(c, DecideHttpAnswer(Head(c.head), c.resume));
    }
}

TEST(ResponseDecision, RefusalsTellTheWorkerWhatToDoNext)
{
    const struct {
        const char* head;
        TransferOutcome outcome;
        std::int64_t retryAfter;  // kUnset: none noted
    } cases[] = {
        {"HTTP/1.1 404 Not Found", TransferOutcome::NotFound, kUnset},
        {"HTTP/1.1 401 Unauthorized", TransferOutcome::AccessDenied, kUnset},
        {"HTTP/1.1 403 Forbidden", TransferOutcome::AccessDenied, kUnset},
        {"HTTP/1.1 410 Gone", TransferOutcome::Gone, kUnset},
        {"HTTP/1.1 500 Internal Server Error|Retry-After: 30", TransferOutcome::ServerError, kUnset},
        {"HTTP/1.1 503 Service Unavailable|Retry-After: 120", TransferOutcome::ServerError, 120},
        {"HTTP/1.1 429 Too Many Requests|Retry-After: 7", TransferOutcome::ServerError, 7},
        // Noted as unknown: an earlier answer's wait is not kept.
        {"HTTP/1.1 503 Service Unavailable", TransferOutcome::ServerError, -1},
        {"HTTP/1.1 429 Too Many Requests|Retry-After: soon", TransferOutcome::ServerError, -1},
        {"HTTP/1.1 418 I'm a teapot", TransferOutcome::Failed, kUnset},
    };
    for (const auto& c : cases) {
        const ResponseDecision d = DecideHttpAnswer(Head(c.head), From(0));
        EXPECT_EQ(Name(d.verdict), "Fail") << c.head;
        EXPECT_EQ(d.failureOutcome, c.outcome) << c.head;
        EXPECT_EQ(d.retryAfter.value_or(kUnset), c.retryAfter) << c.head;
    }
}

// A resume of kept bytes refused as a signed link refuses once it expired:
// the task waits for a new address, however the server words it; the same
// refusals of a fresh start, or other refusals of a resume, keep their own.
TEST(ResponseDecision, AResumeRefusedAsAnExpiredLinkIsTold)
{
    const struct {
        const char* head;
        ResumeState resume;
        TransferOutcome outcome;
        std::string reason;
    } cases[] = {
        {"HTTP/1.1 403 Forbidden", From(4096, "etag=\"v1\"\n"), TransferOutcome::Expired, "The address has expired"},
        {"HTTP/1.1 404 Not Found", From(4096), TransferOutcome::Expired, "The address has expired"},
        {"HTTP/1.1 410 Gone", From(1), TransferOutcome::Expired, "The address has expired"},
        {"HTTP/1.1 403 Forbidden", From(0, "", -1, true), TransferOutcome::Expired, "The address has expired"},
        {"HTTP/1.1 403 Forbidden", From(0), TransferOutcome::AccessDenied, "Error 403 from server: Forbidden"},
        {"HTTP/1.1 404 Not Found", From(0), TransferOutcome::NotFound, "Error 404 from server: Not Found"},
        {"HTTP/1.1 410 Gone", From(0), TransferOutcome::Gone, "Error 410 from server: Gone"},
        {"HTTP/1.1 401 Unauthorized", From(4096), TransferOutcome::AccessDenied, "Error 401 from server: Unauthorized"},
        {"HTTP/1.1 500 Internal Server Error", From(4096), TransferOutcome::ServerError,
         "Error 500 from server: Internal Server Error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.head) + " from " + std::to_string(c.resume.offset));
        const ResponseDecision d = DecideHttpAnswer(Head(c.head), c.resume);
        EXPECT_EQ(Name(d.verdict), "Fail");
        EXPECT_EQ(d.failureOutcome, c.outcome);
        EXPECT_EQ(d.reason, c.reason);
    }
}

TEST(ResponseDecision, AFileOfTheTargetsNameIsKeptOnlyWhenItIsKnownToBeThisFile)
{
    const std::string lm = std::string("lm=") + kLastModified + "\n";
    const struct {
        const char* what;
        ExistingFile existing;
        std::int64_t total;
        std::string server;
        ExistingVerdict verdict;
    } cases[] = {
        {"none there", {}, 10, "size=10\n", ExistingVerdict::None},
        {"another length", {9, "etag=\"v1\"\n", -1}, 10, "etag=\"v1\"\nsize=10\n", ExistingVerdict::MoveAside},
        {"the length unknown", {10, "etag=\"v1\"\n", -1}, -1, "etag=\"v1\"\n", ExistingVerdict::MoveAside},
        {"our record names the server's ETag",
         {10, "etag=\"v1\"\nsize=10\n", -1},
         10,
         "etag=\"v1\"\nsize=10\n",
         ExistingVerdict::Same},
        {"our record names another ETag",
         {10, "etag=\"v1\"\nsize=10\n", -1},
         10,
         "etag=\"v2\"\nsize=10\n",
         ExistingVerdict::MoveAside},
        {"our record names its Last-Modified", {10, lm, -1}, 10, lm + "size=10\n", ExistingVerdict::Same},
        {"our record holds only the length", {10, "size=10\n", -1}, 10, "size=10\n", ExistingVerdict::MoveAside},
        {"our record and the server name different things",
         {10, "etag=\"v1\"\n", -1},
         10,
         lm,
         ExistingVerdict::MoveAside},
        {"an FTP server's time in our record",
         {10, "size=10\nmtime=1700000000\n", -1},
         10,
         "size=10\nmtime=1700000000\n",
         ExistingVerdict::Same},
        {"no record, dated as the server dates it", {10, "", kLastModifiedSeconds}, 10, lm, ExistingVerdict::Same},
        {"no record, another date", {10, "", kLastModifiedSeconds + 1}, 10, lm, ExistingVerdict::MoveAside},
        {"no record, no date set by a program", {10, "", -1}, 10, lm, ExistingVerdict::MoveAside},
        {"no record, the server names no time",
         {10, "", kLastModifiedSeconds},
         10,
         "etag=\"v1\"\n",
         ExistingVerdict::MoveAside},
        {"no record, an FTP server's time",
         {10, "", 1700000000},
         10,
         "size=10\nmtime=1700000000\n",
         ExistingVerdict::Same},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<int>(JudgeExisting(c.existing, c.total, c.server)), static_cast<int>(c.verdict))
            << c.what;
    }
}

TEST(ResponseDecision, AWholeAnswerMovesAsideFromAnotherFileOrEndsAtTheSameOne)
{
    const std::vector<HttpCase> cases = {
        {"the same file, by our record", "HTTP/1.1 200 OK|Content-Length: 10|ETag: \"v1\"",
         Beside({10, "etag=\"v1\"\n", -1}), Verdict::AlreadyExisted, 10, 10},
        {"another file", "HTTP/1.1 200 OK|Content-Length: 10|ETag: \"v2\"", Beside({10, "etag=\"v1\"\n", -1}),
         Verdict::Write, 10, 10, true, true, "etag=\"v2\"\nsize=10\n"},
        {"a first range of the same file",
         "HTTP/1.1 206 Partial Content|Content-Range: bytes 0-9/10|Content-Length: 10|"
         "ETag: \"v1\"",
         Beside({10, "etag=\"v1\"\n", -1}), Verdict::AlreadyExisted, 10, 10, false, false, "", "", true},
        {"a first range of another file", "HTTP/1.1 206 Partial Content|Content-Range: bytes 0-9/10|Content-Length: 10",
         Beside({10, "", -1}), Verdict::Write, 10, 10, true, true, "size=10\n", "", true},
        {"an empty file where an empty file of ours is",
         "HTTP/1.1 416 Range Not Satisfiable|Content-Range: bytes */0|"
         "Last-Modified: Tue, 01 Dec 2026 10:00:00 GMT",
         Beside({0, "", kLastModifiedSeconds}), Verdict::AlreadyExisted, 0, 0},
    };
    for (const HttpCase& c : cases) {
        Check(c, DecideHttpAnswer(Head(c.head), c.resume));
    }
}

TEST(ResponseDecision, ARedirectToFtpStartsAfreshAndNeverKeepsAFileItCannotCompare)
{
    const struct {
        const char* what;
        std::int64_t size;
        ResumeState resume;
        Verdict verdict;
        bool moveAside;
        const char* reason = "";
        bool misfit = false;  // asked again without a range
    } cases[] = {
        {"a fresh download", 7, From(0), Verdict::Write, false},
        {"a resume", 7, From(3, "size=7\n"), Verdict::Restart, false,
         "The file moved to an FTP server; downloading it again from the start"},
        {"a file of the same length already there", 7, Beside({7, "", 1700000000}), Verdict::Write, true},
        // The FTP server's size of the range it was asked for is no file's.
        {"the first range of several connections", 2097152, From(0, "", 2097151), Verdict::Restart, false,
         "The file moved to an FTP server; asking it for the whole file", true},
        {"the first open range of a resumed plan", 1048576, From(0, "", 1048575, true), Verdict::Restart, false,
         "The file moved to an FTP server; asking it for the whole file", true},
    };
    for (const auto& c : cases) {
        const ResponseDecision d = DecideRedirectedFtp(c.size, c.resume);
        EXPECT_EQ(Name(d.verdict), Name(c.verdict)) << c.what;
        EXPECT_TRUE(d.resumable) << c.what;
        if (c.verdict == Verdict::Write) {
            EXPECT_EQ(d.total, c.size) << c.what;
            EXPECT_EQ(d.fileSize.value_or(kUnset), c.size) << c.what;
            EXPECT_TRUE(d.truncate) << c.what;
            EXPECT_EQ(d.validator, "") << c.what;
            EXPECT_EQ(d.moveAside, c.moveAside) << c.what;
        } else {
            EXPECT_EQ(d.reason, c.reason) << c.what;
        }
        EXPECT_EQ(d.misfit, c.misfit) << c.what;
    }
}

// Only the yes to AUTH says the control connection went into TLS: a reply
// that merely names TLS, or another code, does not.
TEST(ResponseDecision, OnlyAYesToAuthStartsTls)
{
    const struct {
        const char* reply;
        bool starts;
    } cases[] = {
        {"234 Proceed with negotiation.", true},
        {"234 AUTH TLS OK.", true},
        {"234-multi-line", true},
        {"334 ADAT must follow", true},
        {"234", true},
        {"2345 not a code", false},
        {"530 Please login with USER and PASS.", false},
        {"500 AUTH not understood", false},
        {"230 Login successful; TLS is available", false},
        {"220 (vsFTPd 3.0.3)", false},
        {"23", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FtpReplyStartsTls(c.reply), c.starts) << c.reply;
    }
}

TEST(Validator, ValuesAreReadByTheirWholeNameAndCompareOnlyWhenBothAreKnown)
{
    EXPECT_EQ(ValidatorField("etag=\"a\"\nsize=10\n", "size"), "10");
    EXPECT_EQ(ValidatorField("xsize=9\nsize=10\n", "size"), "10");  // never a name's tail
    EXPECT_EQ(ValidatorField("size=10", "size"), "10");
    EXPECT_EQ(ValidatorField("etag=\"a\"\n", "lm"), "");

    const struct {
        const char* stored;
        const char* now;
        bool changed;
    } comparisons[] = {
        {"etag=\"a\"\nsize=10\n", "etag=\"a\"\nsize=10\n", false},
        {"etag=\"a\"\n", "etag=\"b\"\n", true},
        {"size=10\n", "size=11\n", true},
        {"etag=\"a\"\n", "size=11\n", false},  // nothing named by both
        {"", "etag=\"b\"\nsize=11\n", false},
        {"mtime=1\n", "mtime=2\n", true},
    };
    for (const auto& c : comparisons) {
        EXPECT_EQ(ServerFileChanged(c.stored, c.now), c.changed) << c.stored << " / " << c.now;
    }

    EXPECT_EQ(ValidatorTime(std::string("lm=") + kLastModified + "\n"), kLastModifiedSeconds);
    EXPECT_EQ(ValidatorTime("mtime=1700000000\nlm=whatever\n"), 1700000000);
    EXPECT_EQ(ValidatorTime("mtime=17x\n"), -1);
    EXPECT_EQ(ValidatorTime("mtime=-5\n"), -1);
    EXPECT_EQ(ValidatorTime("etag=\"a\"\n"), -1);
}

}  // namespace
}  // namespace dromo
