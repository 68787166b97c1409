#include "base/mainwindow/filetypeicon.h"

#include <gtest/gtest.h>

#include "base/mainwindow/textcolortable.h"

namespace dromo {
namespace {

TEST(FileTypeIcon, ByExtensionIgnoringCase)
{
    const std::pair<const char*, int> cases[] = {
        {"/a/b.zip", kIconArchive},  {"/x.CAB", kIconArchive},   {"/x.tar.gz", kIconUnknown},
        {"/readme.TxT", kIconDocument}, {"/s.rm", kIconAudio},  {"/p.shtml", kIconWebPage},
        {"/setup.exe", kIconProgram}, {"/i.PCX", kIconImage},   {"/m.avi", kIconVideo},
        {"/", kIconUnknown},         {"/noext", kIconUnknown},  {"/trailing.", kIconUnknown},
        {"/dir.zip/file", kIconUnknown}, {"/cgi?id=1.exe", kIconProgram}, {"", kIconUnknown},
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

}  // namespace
}  // namespace dromo
