#include "base/view/frameplacement.h"

#include <gtest/gtest.h>

#include "tests/base/fakes/fakeprofile.h"

namespace dromo {
namespace {

TEST(FramePlacement, TheSavedRectangleFittedToTheScreen)
{
    struct Case {
        const char* what;
        SavedPlacement saved;
        ScreenArea screen;
        Placement expected;
    };
    const ScreenArea wide{0, 0, 1920, 1080};
    const Case cases[] = {
        {"first start: three fifths of the screen, centred",
         {0, 0, 0, 0},
         wide,
         {(1920 - 1152) / 2, (1080 - 648) / 2, 1152, 648}},
        {"kept as left", {100, 50, 900, 650}, wide, {100, 50, 800, 600}},
        {"wider than 1200 stays so", {200, 100, 1790, 900}, wide, {200, 100, 1590, 800}},
        {"a left of 0 is a place, not 'unsaved'", {0, 100, 600, 500}, wide, {0, 100, 600, 400}},
        {"no width is nothing saved", {700, 100, 300, 500}, wide, {(1920 - 1152) / 2, (1080 - 648) / 2, 1152, 648}},
        {"taller than the screen is cut to it (scale 2: 1000 pixels)",
         {398, 0, 600, 1200},
         {0, 0, 1000, 1000},
         {398, 0, 202, 1000}},
        {"off the right edge moves back", {1500, 100, 2300, 700}, wide, {1920 - 800, 100, 800, 600}},
        {"above and left of the screen moves in", {-300, -50, 500, 550}, wide, {0, 0, 800, 600}},
        {"bigger than the screen fills it", {10, 10, 3000, 2000}, {0, 0, 1280, 720}, {0, 0, 1280, 720}},
        {"a sliver grows to the least size", {100, 100, 120, 110}, wide, {100, 100, kMinWidth, kMinHeight}},
        {"a second screen to the right", {2100, 200, 2900, 800}, {1920, 0, 1280, 1024}, {2100, 200, 800, 600}},
        {"a panel at the top", {100, 0, 900, 600}, {0, 32, 1920, 1048}, {100, 32, 800, 600}},
    };
    for (const Case& c : cases) {
        const Placement p = PlacementFromSaved(c.saved, c.screen);
        EXPECT_EQ(p.x, c.expected.x) << c.what;
        EXPECT_EQ(p.y, c.expected.y) << c.what;
        EXPECT_EQ(p.width, c.expected.width) << c.what;
        EXPECT_EQ(p.height, c.expected.height) << c.what;
    }
}

// Nothing saved: sized to the screen, wide enough for every column of the
// list within nine tenths of it, never below the classic 600 x 400; a saved
// size wins.
TEST(FramePlacement, TheFirstWindowIsSizedToTheScreenAndShowsEveryColumn)
{
    struct Case {
        const char* what;
        SavedPlacement saved;
        ScreenArea screen;
        int firstWidth;
        Placement expected;
    };
    const Case cases[] = {
        {"three fifths of 1920 x 1080", {}, {0, 0, 1920, 1080}, 950, {384, 216, 1152, 648}},
        {"the columns want more", {}, {0, 0, 1920, 1080}, 1400, {260, 216, 1400, 648}},
        {"cut to nine tenths of 1280", {}, {0, 0, 1280, 1024}, 1400, {64, 205, 1152, 614}},
        {"never smaller than 600 x 400", {}, {0, 0, 800, 600}, 500, {100, 100, 600, 400}},
        {"all columns of a small screen within nine tenths", {}, {0, 0, 800, 600}, 950, {40, 100, 720, 400}},
        {"a screen narrower than 600", {}, {0, 0, 500, 500}, 950, {0, 50, 500, 400}},
        {"on a second screen", {}, {1920, 0, 1500, 900}, 950, {1920 + 275, 180, 950, 540}},
        {"a saved size wins", {100, 100, 700, 500}, {0, 0, 1920, 1080}, 950, {100, 100, 600, 400}},
    };
    for (const Case& c : cases) {
        const Placement p = PlacementFromSaved(c.saved, c.screen, c.firstWidth);
        EXPECT_EQ(p.x, c.expected.x) << c.what;
        EXPECT_EQ(p.y, c.expected.y) << c.what;
        EXPECT_EQ(p.width, c.expected.width) << c.what;
        EXPECT_EQ(p.height, c.expected.height) << c.what;
    }
}

TEST(FramePlacement, SavingKeepsTheRectangleAndTheMaximisedState)
{
    for (const bool maximized : {false, true}) {
        const SavedPlacement s = PlacementToSave(1300, -20, 2890, 700, maximized);
        test::FakeProfile profile;
        WritePlacement(profile, s);
        const SavedPlacement back = ReadPlacement(profile);
        EXPECT_EQ(back.left, 1300);
        EXPECT_EQ(back.top, -20);
        EXPECT_EQ(back.right, 2890);
        EXPECT_EQ(back.bottom, 700);
        EXPECT_EQ(back.maximized, maximized);
        EXPECT_EQ(profile.Int("Settings", "MainWnd Maximized"), maximized ? 1 : 0);
    }
    test::FakeProfile classic;  // a profile from before the maximised state
    classic.WriteInt("Settings", "MainWnd Right", 800);
    EXPECT_FALSE(ReadPlacement(classic).maximized);
}

// Bottom right, side by side, each wholly on the screen, the one clear of
// the other; a screen too small for both still keeps them on it.
TEST(FramePlacement, ToolWindowsFirstOpenApartInTheBottomRightCorner)
{
    struct Case {
        const char* what;
        ScreenArea screen;
        ToolWindowPlaces expected;
    } cases[] = {
        {"1920 x 1080", {0, 0, 1920, 1080}, {1920 - 8 - 270, 1080 - 8 - 32, 1920 - 8 - 270 - 8 - 36, 1080 - 8 - 36}},
        {"a second screen with a panel",
         {1920, 0, 1280, 990},
         {1920 + 1280 - 278, 990 - 40, 1920 + 1280 - 322, 990 - 44}},
        {"a screen narrower than both", {0, 0, 250, 20}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const ToolWindowPlaces p = FirstToolWindowPlaces(c.screen, 270, 32, 36, 36);
        EXPECT_EQ(p.speedBarX, c.expected.speedBarX) << c.what;
        EXPECT_EQ(p.speedBarY, c.expected.speedBarY) << c.what;
        EXPECT_EQ(p.basketX, c.expected.basketX) << c.what;
        EXPECT_EQ(p.basketY, c.expected.basketY) << c.what;
    }
}

TEST(FramePlacement, ASavedCornerNeedsBothValues)
{
    test::FakeProfile profile;
    EXPECT_FALSE(HasSavedCorner(profile, "SpeedBar X", "SpeedBar Y"));
    profile.WriteInt("Settings", "SpeedBar X", 0);
    EXPECT_FALSE(HasSavedCorner(profile, "SpeedBar X", "SpeedBar Y"));
    profile.WriteInt("Settings", "SpeedBar Y", 1);
    EXPECT_TRUE(HasSavedCorner(profile, "SpeedBar X", "SpeedBar Y")) << "0 and 1 are places like any other";
}

}  // namespace
}  // namespace dromo
