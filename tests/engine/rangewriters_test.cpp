// Which mirror wrote which bytes, what others vouched for, and the doubts
// left to compare: spans cut, joined and overwritten as writes come.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/rangewriters.h"

namespace dromo {
namespace {

constexpr int B = RangeWriters::kBefore;

// "from-to:source" for each span, a '+' after a vouched one.
std::string Shown(const RangeWriters& writers)
{
    std::string text;
    for (const RangeWriters::Span& s : writers.Spans()) {
        text += (text.empty() ? "" : " ") + std::to_string(s.from) + "-" + std::to_string(s.to) + ":" +
                std::to_string(s.source) + (s.vouched ? "+" : "");
    }
    return text;
}

struct Step {
    char what;  // 'w' wrote (from, length, source), 'v' vouched (from, to)
    std::int64_t a, b;
    int source = 0;
};

TEST(RangeWriters, WritesAndVouchesCutAndJoinTheSpans)
{
    const struct {
        const char* what;
        std::vector<Step> steps;
        std::string spans;
    } cases[] = {
        {"nothing written: all from before", {}, "0-100:-1"},
        {"one connection's writes in order join", {{'w', 0, 40, 0}, {'w', 40, 60, 0}}, "0-100:0"},
        {"two mirrors", {{'w', 0, 50, 0}, {'w', 50, 30, 1}}, "0-50:0 50-80:1 80-100:-1"},
        {"a write inside a span cuts it in three", {{'w', 0, 100, 0}, {'w', 30, 20, 2}}, "0-30:0 30-50:2 50-100:0"},
        {"rewritten bytes are the new writer's and in doubt again",
         {{'w', 0, 100, 1}, {'v', 0, 100}, {'w', 20, 10, 2}},
         "0-20:1+ 20-30:2 30-100:1+"},
        {"vouching across two writers keeps them apart",
         {{'w', 0, 50, 0}, {'w', 50, 50, 1}, {'v', 40, 60}},
         "0-40:0 40-50:0+ 50-60:1+ 60-100:1"},
        {"vouched neighbours of one writer join", {{'w', 0, 100, 3}, {'v', 0, 30}, {'v', 30, 100}}, "0-100:3+"},
        {"an empty write or vouch changes nothing", {{'w', 10, 0, 4}, {'v', 50, 50}}, "0-100:-1"},
    };
    for (const auto& c : cases) {
        RangeWriters writers(100);
        for (const Step& s : c.steps) {
            if (s.what == 'w') {
                writers.Wrote(s.a, s.b, s.source);
            } else {
                writers.Vouch(s.a, s.b);
            }
        }
        EXPECT_EQ(Shown(writers), c.spans) << c.what;
    }
}

TEST(RangeWriters, TheDoubtsAreEachWritersFirstUnvouchedBytes)
{
    RangeWriters writers(1000);
    writers.Wrote(0, 300, 0);
    writers.Wrote(300, 300, 1);
    writers.Wrote(600, 100, 0);
    writers.Wrote(700, 300, 2);
    EXPECT_EQ(writers.Doubtful(), (std::vector<int>{0, 1, 2}));
    const struct {
        int source;
        std::int64_t most, from, to;
    } doubts[] = {{0, 64, 0, 64}, {0, 1000, 0, 300}, {1, 100, 300, 400}, {2, 0, 700, 701}};
    for (const auto& d : doubts) {
        const auto doubt = writers.NextDoubt(d.source, d.most);
        ASSERT_TRUE(doubt.has_value()) << d.source;
        EXPECT_EQ(doubt->from, d.from) << d.source;
        EXPECT_EQ(doubt->to, d.to) << d.source;
    }
    writers.Vouch(0, 300);
    EXPECT_EQ(writers.NextDoubt(0, 1000)->from, 600) << "the next of its spans";
    writers.Vouch(600, 700);
    EXPECT_FALSE(writers.NextDoubt(0, 1000).has_value());
    EXPECT_EQ(writers.Doubtful(), (std::vector<int>{1, 2}));
    EXPECT_FALSE(writers.NextDoubt(B, 1000).has_value()) << "every byte was written in the call";
    const auto spans = writers.Unvouched(2);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].from, 700);
    EXPECT_EQ(spans[0].to, 1000);
}

}  // namespace
}  // namespace dromo
