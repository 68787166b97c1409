#include "base/view/filetypeicon.h"

#include <gtest/gtest.h>

#include "base/view/textcolortable.h"

namespace dromo {
namespace {

TEST(FileTypeIcon, ByExtensionIgnoringCase)
{
    const std::pair<const char*, int> cases[] = {
        {"/a/b.zip", kIconArchive},
        {"/x.CAB", kIconArchive},
        {"/x.tar.gz", kIconUnknown},
        {"/readme.TxT", kIconDocument},
        {"/s.rm", kIconAudio},
        {"/p.shtml", kIconWebPage},
        {"/setup.exe", kIconProgram},
        {"/i.PCX", kIconImage},
        {"/m.avi", kIconVideo},
        {"/", kIconUnknown},
        {"/noext", kIconUnknown},
        {"/trailing.", kIconUnknown},
        {"/dir.zip/file", kIconUnknown},
        {"/cgi?id=1.exe", kIconProgram},
        {"", kIconUnknown},
    };
    for (auto [path, icon] : cases) {
        EXPECT_EQ(FileTypeIcon(path), icon) << path;
    }
}

TEST(TextColorTable, SixteenNamedColoursAndASafeLookup)
{
    const auto table = TextColorTable();
    ASSERT_EQ(table.size(), 16u);
    EXPECT_STREQ(table[1].name, "Blue");
    EXPECT_EQ(table[1].blue, 255);
    EXPECT_STREQ(table[15].name, "Gray-25%");
    EXPECT_EQ(table[15].red, 192);
    EXPECT_STREQ(TextColorAt(9).name, "Teal");
    EXPECT_STREQ(TextColorAt(-1).name, "Black");
    EXPECT_STREQ(TextColorAt(16).name, "Black");
}

// The default (index 0, never picked) is the desktop's colour; a picked
// one, or any other index (the classic program started at 0), is drawn.
TEST(TextColorTable, OnlyTheUnpickedDefaultFollowsTheDesktop)
{
    const struct {
        int index;
        bool chosen;
        const char* drawn;  // nullptr: the desktop's own
    } cases[] = {{0, false, nullptr}, {0, true, "Black"}, {5, false, "Red"}, {5, true, "Red"}, {99, false, "Black"}};
    for (const auto& c : cases) {
        const std::optional<TextColor> colour = ListTextColor(c.index, c.chosen);
        EXPECT_EQ(colour.has_value(), c.drawn != nullptr) << c.index << " " << c.chosen;
        if (colour && c.drawn) {
            EXPECT_STREQ(colour->name, c.drawn) << c.index << " " << c.chosen;
        }
    }
}

}  // namespace
}  // namespace dromo
