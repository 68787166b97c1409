#include "base/view/listcolumns.h"

#include <gtest/gtest.h>

#include "tests/base/fakes/fakeprofile.h"

namespace dromo {
namespace {

// A fresh profile opens with the file's name first; one an earlier run
// left keeps what it had, a classic one (no column settings yet) the
// classic columns; what is written is read back.
TEST(ListColumns, AFreshProfileShowsTheFileFirstAndAnOldOneKeepsItsColumns)
{
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, int>> stored;
        ListColumnLayout expected;
    };
    const Case cases[] = {
        {"fresh", {}, {true, true}},
        {"classic, with tasks", {{"MRU Num", 3}}, {false, false}},
        {"classic, with a window placement", {{"MainWnd Right", 900}}, {false, false}},
        {"a run that showed the file after the URL", {{"Show File Column", 1}}, {true, false}},
        {"a run that hid it", {{"Show File Column", 0}, {"File Column First", 1}}, {false, true}},
        {"a run that kept the first layout", {{"Show File Column", 1}, {"File Column First", 1}}, {true, true}},
    };
    for (const Case& c : cases) {
        test::FakeProfile profile;
        for (const auto& [name, value] : c.stored) {
            profile.WriteInt("Settings", name, value);
        }
        EXPECT_EQ(ReadListColumns(profile), c.expected) << c.what;
    }
    for (const ListColumnLayout layout : {ListColumnLayout{false, false}, ListColumnLayout{true, false},
                                          ListColumnLayout{false, true}, ListColumnLayout{true, true}}) {
        test::FakeProfile profile;
        WriteListColumns(profile, layout);
        EXPECT_EQ(ReadListColumns(profile), layout);
    }
}

}  // namespace
}  // namespace dromo
