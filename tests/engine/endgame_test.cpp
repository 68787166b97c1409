// The end-game of a download over several connections: which range a free
// connection takes over, where it is cut and whether its mirror is left
// (the engine against a trickling mirror is in mirrors_test).

#include "engine/endgame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dromo {
namespace {

constexpr std::int64_t kMiB = 1 << 20;
constexpr double kFast = 4e6;  // bytes a second

TEST(EndGame, TheRangeThatHoldsTheDownloadUpIsCutOrTakenWhole)
{
    const struct {
        const char* what;
        std::vector<RunningRange> running;
        std::vector<double> mirrorSpeeds;
        int which;
        std::int64_t cutAt;
        bool leave;
    } cases[] = {
        {"a trickle beside a fast mirror: taken whole, its mirror left",
         {{1, 5 * kMiB, 6 * kMiB, 0, 1}, {2, 8 * kMiB, 9 * kMiB, 0, kFast}},
         {-1, -1, kFast},
         0,
         5 * kMiB,
         true},
        {"what it holds goes to the file when it is left: the cut is still at its next byte",
         {{1, 5 * kMiB, 6 * kMiB, 700, 1}},
         {-1, -1, kFast},
         0,
         5 * kMiB,
         true},
        {"a mirror's past speed counts when its connections are done", {{0, 0, kMiB, 0, 1}}, {-1, kFast}, 0, 0, true},
        {"the first connection's mirror is judged as any other",
         {{0, 10, 2 * kMiB, 0, 0}, {1, 3 * kMiB, 4 * kMiB, 0, kFast}},
         {-1, -1},
         0,
         10,
         true},
        {"ten times slower: cut after what it has on its way, its mirror kept",
         {{1, kMiB, 2 * kMiB, 30000, kFast / 10}},
         {-1, -1, kFast},
         0,
         kMiB + 30000,
         false},
        {"nothing on its way: it keeps a byte, so the rest is not handed straight back to it",
         {{1, kMiB, 2 * kMiB, 0, kFast / 10}},
         {-1, -1, kFast},
         0,
         kMiB + 1,
         false},
        {"slower than another connection of its own server: cut, its mirror kept",
         {{0, 0, kMiB, 4096, kFast / 20}, {0, 2 * kMiB, 3 * kMiB, 0, kFast}},
         {-1},
         0,
         4096,
         false},
        {"slower, but not four times", {{1, 0, kMiB, 0, kFast / 3}}, {-1, -1, kFast}, -1, -1, false},
        {"its own mirror's speed is no standard", {{1, 0, kMiB, 0, 1}}, {-1, kFast}, -1, -1, false},
        {"not yet watched for a whole window", {{1, 0, kMiB, 0, -1}}, {-1, -1, kFast}, -1, -1, false},
        {"no mirror measured yet", {{1, 0, kMiB, 0, 0}, {2, 2 * kMiB, 3 * kMiB, 0, -1}}, {-1, -1, -1}, -1, -1, false},
        {"done within a second: left to it", {{1, 0, 300000, 200000, kFast / 10}}, {-1, -1, kFast}, -1, -1, false},
        {"all of it on its way", {{1, 0, 300000, 300000, 1}}, {-1, -1, kFast}, -1, -1, false},
        {"of two laggards, the one that would take longest",
         {{1, 0, 20000, 0, 1000}, {2, kMiB, 2 * kMiB, 0, 10000}, {3, 3 * kMiB, 4 * kMiB, 0, kFast}},
         {-1, -1, -1, kFast},
         1,
         kMiB,
         true},
        {"of two that never end, the one with more left",
         {{1, 0, 20000, 0, 0}, {2, kMiB, 2 * kMiB, 0, 0}},
         {kFast, -1, -1},
         1,
         kMiB,
         true},
        {"a finished range is no laggard", {{1, kMiB, kMiB, 0, 0}}, {-1, -1, kFast}, -1, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TakeOver take = ChooseTakeOver(c.running, c.mirrorSpeeds);
        EXPECT_EQ(take.which, c.which);
        if (c.which >= 0) {
            EXPECT_EQ(take.cutAt, c.cutAt);
            EXPECT_EQ(take.leave, c.leave);
            const RunningRange& r = c.running[static_cast<std::size_t>(c.which)];
            EXPECT_GE(take.cutAt, r.next);
            EXPECT_LT(take.cutAt, r.end) << "the free connection gets a byte at least";
            EXPECT_GT(take.against, r.pace * kLagFactor);
        }
    }
}

}  // namespace
}  // namespace dromo
