#include "base/view/columnsort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/values/taskrow.h"

namespace dromo {
namespace {

// Each case lists a column's texts in the order a heading click gives.
TEST(ColumnSort, NumbersByValueTimesBySecondsTextsIgnoringCase)
{
    struct Case {
        int column;
        std::vector<std::string> ordered;
    };
    const Case cases[] = {
        {kColSize, {"0", "9 of 20", "10", "100 of 2048", "4194304 of 4194304"}},
        {kColProgress, {"0", "5%", "45%", "100%", "N/A"}},
        {kColSpeed, {"0.5KB/s", "9.9KB/s", "12.5KB/s", "1024.0KB/s"}},
        {kColTime, {"0:0:9", "0:0:10", "0:1:0", "1:2:5", "10:0:0"}},
        {kColEstTime, {"<1s", "0:0:1", "0:59:59", "N/A"}},
        {kColRetry, {"1 of 5", "2 of 5", "10 of 5"}},
        {kColTarget, {"ftp://h/b", "HTTP://H/A", "http://h/c"}},
        {kColStatus, {"", "Connecting to h:80...", "file has been downloaded"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> shuffled(c.ordered.rbegin(), c.ordered.rend());
        std::rotate(shuffled.begin(), shuffled.begin() + 1, shuffled.end());
        std::stable_sort(shuffled.begin(), shuffled.end(),
                         [&](const std::string& a, const std::string& b) { return ColumnSort::Less(c.column, a, b); });
        EXPECT_EQ(shuffled, c.ordered) << "column " << c.column;
    }
}

TEST(ColumnSort, ValuesOfTheColumnTexts)
{
    EXPECT_EQ(ColumnSort::ValueOf(kColTime, "1:2:5"), 3725.0);
    EXPECT_EQ(ColumnSort::ValueOf(kColSize, "123 of 456"), 123.0);
    EXPECT_EQ(ColumnSort::ValueOf(kColProgress, "N/A"), std::nullopt);
    EXPECT_EQ(ColumnSort::ValueOf(kColEstTime, "N/A"), std::nullopt);
    EXPECT_EQ(ColumnSort::ValueOf(kColTarget, "123"), std::nullopt) << "a text column has no values";
}

}  // namespace
}  // namespace dromo
