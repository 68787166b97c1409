// Where the windows open: the tool windows on a first start and as saved,
// and a maximised main window across an exit and a start.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "gui/mainwindow/cdropbasket.h"
#include "gui/mainwindow/cspeedbar.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

// Nothing saved: the speed bar and the basket each have a place of their
// own on the screen, clear of each other and of the main window (its menu
// bar above all), and those places are what the next save keeps.
TEST(WindowPlaces, ToolWindowsFirstOpenApartAndClearOfTheMainWindow)
{
    test::Window w;
    w.settings.options.showSpeedBar = 1;
    w.settings.options.showDropBasket = 1;
    ASSERT_TRUE(test::ShowActive(*w.frame));
    w.frame->PlaceToolWindows();
    const QRect bar = w.frame->SpeedBar().frameGeometry();
    const QRect basket = w.frame->DropBasket().frameGeometry();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_FALSE(bar.intersects(basket));
    EXPECT_TRUE(screen.contains(bar));
    EXPECT_TRUE(screen.contains(basket));
    EXPECT_FALSE(bar.intersects(w.frame->frameGeometry()));
    EXPECT_FALSE(basket.intersects(w.frame->frameGeometry()));

    w.frame->SaveFrameSettings();
    EXPECT_EQ(QPoint(w.settings.options.speedBarX, w.settings.options.speedBarY), bar.topLeft());
    EXPECT_EQ(QPoint(w.settings.options.dropBasketX, w.settings.options.dropBasketY), basket.topLeft());
}

TEST(WindowPlaces, SavedToolWindowPlacesAreKept)
{
    test::FakeProfile saved;
    const std::pair<const char*, int> values[] = {
        {"DropBasket X", 120}, {"DropBasket Y", 100}, {"SpeedBar X", 40}, {"SpeedBar Y", 300}};
    for (auto [name, value] : values) {
        saved.WriteInt("Settings", name, value);
    }
    test::Window w(saved);
    // As the options' load left them.
    w.settings.options.dropBasketX = 120;
    w.settings.options.dropBasketY = 100;
    w.settings.options.speedBarX = 40;
    w.settings.options.speedBarY = 300;
    w.frame->PlaceToolWindows();
    EXPECT_EQ(w.frame->DropBasket().pos(), QPoint(120, 100));
    EXPECT_EQ(w.frame->SpeedBar().pos(), QPoint(40, 300));
}

// "MainWnd Maximized" remembers the state; "MainWnd Left/Top/Right/Bottom"
// keep the normal rectangle the window comes back to.
TEST(WindowPlaces, AMaximisedWindowComesBackMaximised)
{
    test::FakeProfile profile;
    {
        test::Window w;
        w.frame->setGeometry(150, 120, 500, 300);
        w.frame->showMaximized();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.frame->isMaximized(); }));
        // Hidden to the tray and back: still maximised.
        w.frame->ToggleMainWindow();
        w.frame->ToggleMainWindow();
        EXPECT_TRUE(w.frame->isMaximized());
        w.frame->SaveFrameSettings();
        profile = w.profile;
    }
    EXPECT_EQ(profile.Int("Settings", "MainWnd Maximized"), 1);
    EXPECT_EQ(profile.Int("Settings", "MainWnd Left"), 150);
    EXPECT_EQ(profile.Int("Settings", "MainWnd Top"), 120);
    EXPECT_EQ(profile.Int("Settings", "MainWnd Right"), 650);
    EXPECT_EQ(profile.Int("Settings", "MainWnd Bottom"), 420);

    test::Window again(profile);
    again.frame->ShowAtStart(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return again.frame->isMaximized(); }));
    again.frame->showNormal();
    EXPECT_EQ(again.frame->geometry(), QRect(150, 120, 500, 300)) << "the normal rectangle as it was";
    again.frame->SaveFrameSettings();
    EXPECT_EQ(again.profile.Int("Settings", "MainWnd Maximized"), 0);
}

}  // namespace
}  // namespace dromo
