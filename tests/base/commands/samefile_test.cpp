// The rule that lets a task whose address expired continue from another:
// each case changes one thing of an answer that proves the file, and only
// the proof itself may pass.

#include "base/commands/samefile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace dromo {
namespace {

constexpr std::int64_t kResume = 200000;
constexpr const char* kValidator = "etag=\"f300000\"\nlm=Tue, 01 Dec 2026 10:00:00 GMT\nsize=300000\n";

// Bytes as a file would have them at an offset: each differs from its
// neighbours, so a tail moved by one byte differs too.
std::string BytesAt(std::int64_t first, std::int64_t length)
{
    std::string out;
    for (std::int64_t i = first; i < first + length; ++i) {
        out += static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return out;
}

// A new address that serves the very file the partial one was begun from.
AddressSample Proof()
{
    AddressSample s;
    s.resumePoint = kResume;
    s.keptValidator = kValidator;
    s.keptTail = BytesAt(kResume - kSameFileTail, kSameFileTail);
    s.code = 206;
    s.rangeFirst = kResume - kSameFileTail;
    s.rangeLast = kResume - 1;
    s.total = 300000;
    s.validator = kValidator;
    s.tail = s.keptTail;
    return s;
}

TEST(SameFile, OnlyAnAnswerThatProvesTheFileLetsTheTaskContinue)
{
    const struct {
        const char* what;
        std::function<void(AddressSample&)> change;
        bool same;
    } cases[] = {
        {"the same length, validators and tail", [](AddressSample&) {}, true},
        {"no ETag nor Last-Modified on either side, the length and tail agree",
         [](AddressSample& s) { s.keptValidator = s.validator = "size=300000\n"; }, true},
        {"the new address names no validator but the length", [](AddressSample& s) { s.validator = "size=300000\n"; },
         true},
        {"a partial file shorter than the tail: all of it compared",
         [](AddressSample& s) {
             s.resumePoint = 1000;
             s.keptTail = s.tail = BytesAt(0, 1000);
             s.rangeFirst = 0;
             s.rangeLast = 999;
         },
         true},
        {"the length differs",
         [](AddressSample& s) {
             s.total = 300001;
             s.validator = "etag=\"f300000\"\nsize=300001\n";
         },
         false},
        {"the new address names no length", [](AddressSample& s) { s.total = -1; }, false},
        {"the partial file kept no length", [](AddressSample& s) { s.keptValidator = "etag=\"f300000\"\n"; }, false},
        {"the ETag differs",
         [](AddressSample& s) { s.validator = "etag=\"g300000\"\nlm=Tue, 01 Dec 2026 10:00:00 GMT\nsize=300000\n"; },
         false},
        {"the Last-Modified differs",
         [](AddressSample& s) { s.validator = "etag=\"f300000\"\nlm=Wed, 02 Dec 2026 10:00:00 GMT\nsize=300000\n"; },
         false},
        {"the last byte of the tail differs", [](AddressSample& s) { s.tail.back() ^= 1; }, false},
        {"the first byte of the tail differs", [](AddressSample& s) { s.tail.front() ^= 1; }, false},
        {"the tail comes from one byte further on",
         [](AddressSample& s) { s.tail = BytesAt(kResume - kSameFileTail + 1, kSameFileTail); }, false},
        {"the server ignores the range: the whole file from its start",
         [](AddressSample& s) {
             s.code = 200;
             s.rangeFirst = s.rangeLast = -1;
             s.tail = BytesAt(0, kSameFileTail + 1);
         },
         false},
        {"the server ignores the range, its first bytes happen to be the tail",
         [](AddressSample& s) {
             s.code = 200;
             s.rangeFirst = s.rangeLast = -1;
         },
         false},
        {"a range that starts elsewhere", [](AddressSample& s) { s.rangeFirst += 1; }, false},
        {"a range that runs on past the resume point", [](AddressSample& s) { s.rangeLast += 1; }, false},
        {"a short body", [](AddressSample& s) { s.tail.pop_back(); }, false},
        {"the new address refuses", [](AddressSample& s) { s.code = 403; }, false},
        {"the new address does not answer",
         [](AddressSample& s) {
             s.code = 0;
             s.error = "Connection refused";
         },
         false},
        {"no partial file", [](AddressSample& s) { s.resumePoint = -1; }, false},
        {"a partial file with nothing before its resume point", [](AddressSample& s) { s.resumePoint = 0; }, false},
        {"the bytes on disk could not all be read", [](AddressSample& s) { s.keptTail.pop_back(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AddressSample sample = Proof();
        c.change(sample);
        const SameFileVerdict verdict = JudgeSameFile(sample);
        EXPECT_EQ(verdict.same, c.same);
        EXPECT_EQ(verdict.reason.empty(), c.same) << verdict.reason;
    }
}

}  // namespace
}  // namespace dromo
