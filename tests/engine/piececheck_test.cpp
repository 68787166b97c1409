// A file's pieces against their digests: which pieces a write touches, who
// sent each, what a bad one and a torn file read as; and the plan's side
// (cuts on piece boundaries, a bad piece missing again).

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include "engine/piececheck.h"
#include "engine/segmentplan.h"
#include "tests/support/hexdigest.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::TempDir;
using test::WriteFile;

constexpr std::int64_t kLength = 1000;

PieceHashes HashesOf(const std::string& data, std::int64_t length, const std::string& algorithm = "sha-1")
{
    std::string stored = algorithm + " " + std::to_string(length);
    for (std::size_t at = 0; at < data.size(); at += static_cast<std::size_t>(length)) {
        stored += " " + test::HexDigest(data.substr(at, static_cast<std::size_t>(length)),
                                        algorithm == "sha-1" ? EVP_sha1() : EVP_sha256());
    }
    return *PieceHashes::Parse(stored);
}

TEST(PieceCheck, DigestsThatDoNotCoverTheFileAreNotUsed)
{
    const std::string data = test::RandomBytes(3500, 1);
    const PieceHashes hashes = HashesOf(data, kLength);  // four pieces, the last of 500 bytes
    const struct {
        std::int64_t total;
        bool enabled;
    } cases[] = {{3500, true}, {3001, true}, {4000, true}, {3000, false}, {4001, false}, {0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        EXPECT_EQ(PieceCheck(hashes, c.total).Enabled(), c.enabled);
    }
    EXPECT_FALSE(PieceCheck(PieceHashes(), 3500).Enabled());
    EXPECT_EQ(PieceCheck(hashes, 3500).End(3), 3500);
}

TEST(PieceCheck, ABadPieceNamesWhoWroteItAndAGoodOneIsCheckedForGood)
{
    TempDir dir;
    const std::string data = test::RandomBytes(3500, 2);
    for (const char* algorithm : {"sha-1", "sha-256"}) {
        SCOPED_TRACE(algorithm);
        PieceCheck check(HashesOf(data, kLength, algorithm), 3500);
        std::string held = data;
        held[1500] ^= 1;  // piece 1 is bad
        WriteFile(dir.File("f"), held);
        check.Wrote(0, 1200, 7);    // pieces 0 and 1
        check.Wrote(1200, 800, 3);  // pieces 1 (and up to its end)
        check.Wrote(2000, 1500, 3);
        EXPECT_EQ(check.Senders(0), std::vector<int>{7});
        EXPECT_EQ(check.Senders(1), (std::vector<int>{7, 3}));
        EXPECT_EQ(check.Senders(3), std::vector<int>{3});
        EXPECT_EQ(check.Verify(0, dir.File("f")), PieceCheck::Result::Good);
        EXPECT_EQ(check.Verify(1, dir.File("f")), PieceCheck::Result::Bad);
        EXPECT_EQ(check.Verify(3, dir.File("f")), PieceCheck::Result::Good) << "the short last piece";
        EXPECT_TRUE(check.Checked(0));
        EXPECT_FALSE(check.Checked(1));
        EXPECT_TRUE(check.Senders(1).empty()) << "forgotten once checked";
        WriteFile(dir.File("f"), held.substr(0, 2500));  // cut short under it
        EXPECT_EQ(check.Verify(2, dir.File("f")), PieceCheck::Result::Unreadable);
    }
}

TEST(PieceCheck, TheMarkNamesTheDigestsItWasCheckedAgainst)
{
    const std::string data = test::RandomBytes(3500, 3);
    const std::string mark = PieceCheck(HashesOf(data, kLength), 3500).Mark();
    EXPECT_EQ(mark.rfind("pieces 1 1000 ", 0), 0u) << mark;
    EXPECT_EQ(PieceCheck(HashesOf(data, kLength), 3500).Mark(), mark);
    EXPECT_NE(PieceCheck(HashesOf(data, kLength, "sha-256"), 3500).Mark(), mark);
    EXPECT_NE(PieceCheck(HashesOf(test::RandomBytes(3500, 4), kLength), 3500).Mark(), mark);
}

TEST(SegmentPlan, CutsFallOnPieceBoundariesAndABadPieceIsMissingAgain)
{
    constexpr std::int64_t kMiB = 1 << 20;
    constexpr std::int64_t kPiece = 256 * 1024;
    SegmentPlan plan(10 * kMiB + 5, 0);
    plan.AlignCuts(kPiece);
    const int first = plan.Assign(0, kMiB);
    const int rest = plan.Cut(first, 2 * kMiB);
    plan.Divide(rest, 3, kMiB);
    for (int connection = 1; connection <= 3; ++connection) {
        plan.Assign(connection, kMiB);
    }
    const int split = plan.Assign(9, kMiB);  // no unowned range is left: half of the largest
    EXPECT_EQ(plan.RangeCount(), 5);
    for (int i = 0; i < plan.RangeCount(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(plan.At(i).next % kPiece, 0);
        EXPECT_TRUE(plan.At(i).end % kPiece == 0 || plan.At(i).end == plan.Total());
    }
    EXPECT_GE(split, 0);
    plan.Advance(first, 2 * kMiB);
    EXPECT_TRUE(plan.Holds(0, 2 * kMiB));
    EXPECT_FALSE(plan.Holds(kMiB, 2 * kMiB + 1));
    const int again = plan.Reopen(kPiece, 2 * kPiece);
    EXPECT_FALSE(plan.Holds(0, 2 * kMiB));
    EXPECT_TRUE(plan.Holds(0, kPiece));
    EXPECT_EQ(plan.Present(), 2 * kMiB - kPiece);
    EXPECT_EQ(plan.Assign(10, kMiB), again) << "the bad piece waits for the next connection";
    const auto back = SegmentPlan::Parse(plan.Serialize());
    ASSERT_TRUE(back.has_value()) << plan.Serialize();
    EXPECT_EQ(back->Present(), plan.Present());
}

// Whether a piece holds some bytes on disk, with the open ranges touching,
// overlapping (a piece reopened inside an open range) or leaving a gap.
TEST(SegmentPlanTest, HoldsSomeFindsAnyByteOnDiskBetweenTheOpenRanges)
{
    const struct {
        const char* stored;
        std::int64_t reopenFrom, reopenTo;  // a piece missing again; none when equal
        bool some;                          // of bytes [10, 20)
    } cases[] = {
        {"ranges 1 100\n0-100\n", 0, 0, false},         // nothing on disk
        {"ranges 1 100\n", 0, 0, true},                 // all there
        {"ranges 1 100\n15-100\n", 0, 0, true},         // the start of the piece
        {"ranges 1 100\n0-15\n", 0, 0, true},           // its end
        {"ranges 1 100\n0-12\n13-100\n", 0, 0, true},   // one byte between two ranges
        {"ranges 1 100\n0-12\n12-100\n", 0, 0, false},  // touching ranges
        {"ranges 1 100\n0-50\n", 10, 20, false},        // reopened inside an open range
        {"ranges 1 100\n16-100\n", 10, 17, false},      // reopened over an open range's start
        {"ranges 1 100\n20-100\n", 0, 10, true},        // open on both sides only
        {"ranges 1 100\n", 10, 20, false},              // the piece reopened
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " reopened " + std::to_string(c.reopenFrom));
        std::optional<SegmentPlan> plan = SegmentPlan::Parse(c.stored);
        ASSERT_TRUE(plan.has_value());
        if (c.reopenFrom < c.reopenTo) {
            plan->Reopen(c.reopenFrom, c.reopenTo);
        }
        EXPECT_EQ(plan->HoldsSome(10, 20), c.some);
        if (!c.some) {
            EXPECT_FALSE(plan->Holds(10, 20));
        }
    }
}

// A file of two versions is forgotten whole: the stored form calls nothing
// present, a range a connection still holds takes no more bytes, and the
// plan reads back as a file with nothing on disk.
TEST(SegmentPlanTest, AForgottenPlanCallsNothingPresentAndItsOldRangesTakeNoBytes)
{
    std::optional<SegmentPlan> plan = SegmentPlan::Parse("ranges 1 100\n10-40\n60-100\n");
    ASSERT_TRUE(plan.has_value());
    const int held = plan->Assign(1, 1);
    ASSERT_GE(held, 0);
    plan->Forget();
    EXPECT_EQ(plan->Present(), 0);
    EXPECT_EQ(plan->Serialize(), "ranges 1 100\n0-100\n");
    EXPECT_FALSE(plan->HoldsSome(0, 100));
    plan->Advance(held, 5);
    EXPECT_EQ(plan->Present(), 0);
    const auto back = SegmentPlan::Parse(plan->Serialize());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->Present(), 0);
}

}  // namespace
}  // namespace dromo
