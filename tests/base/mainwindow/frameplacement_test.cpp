#include "mainwindow/frameplacement.h"

#include <gtest/gtest.h>

#include "fakes/fakeprofile.h"

namespace dromo {
namespace {

TEST(FramePlacement, ReadingCorrectsAndCentres)
{
    struct Case {
        SavedPlacement saved;
        Placement expected;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, {(1920 - 600) / 2, (1080 - 400) / 2, 600, 400}},  // first start: 600 x 400, centred
        {{100, 50, 900, 650}, {100, 50, 800, 600}},
        {{1500, 100, 900, 500}, {200, 100, 700, 400}},   // left 1500 reads as 200
        {{100, 100, -5, 500}, {100, 100, 500, 400}},     // right -5 reads as 600
        {{700, 100, 300, 500}, {700, 100, 600, 400}},    // a negative width is no width
        {{0, 100, 600, 500}, {(1920 - 600) / 2, 100, 600, 400}},
    };
    for (const Case& c : cases) {
        const Placement p = PlacementFromSaved(c.saved, 1920, 1080);
        EXPECT_EQ(p.x, c.expected.x) << c.saved.left;
        EXPECT_EQ(p.y, c.expected.y) << c.saved.top;
        EXPECT_EQ(p.width, c.expected.width) << c.saved.right;
        EXPECT_EQ(p.height, c.expected.height) << c.saved.bottom;
    }
}

TEST(FramePlacement, SavingCapsOnlyFromAbove)
{
    const SavedPlacement s = PlacementToSave(1300, -20, 1250, 700);
    EXPECT_EQ(s.left, 200);
    EXPECT_EQ(s.top, -20);
    EXPECT_EQ(s.right, 600);
    EXPECT_EQ(s.bottom, 700);
    test::FakeProfile profile;
    WritePlacement(profile, s);
    const SavedPlacement back = ReadPlacement(profile);
    EXPECT_EQ(back.left, 200);
    EXPECT_EQ(back.top, -20);
    EXPECT_EQ(back.bottom, 700);
}

}  // namespace
}  // namespace dromo
