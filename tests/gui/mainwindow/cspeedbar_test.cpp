#include "gui/mainwindow/cspeedbar.h"

#include <gtest/gtest.h>

#include <QAction>

#include "base/view/speedsamples.h"
#include "gui/mainwindow/cdropbasket.h"
#include "tests/gui/mainwindow/windowrig.h"

namespace dromo {
namespace {

TEST(CSpeedBar, OneSampleOfTwoKilobytes)
{
    SpeedSamples samples;
    CSpeedBar bar(samples);
    EXPECT_EQ(bar.Text(), "0.0 KB/s");
    EXPECT_TRUE(CSpeedBar::GraphLines(samples, 270, 32).empty());
    samples.AddSample(2048);
    EXPECT_EQ(bar.Text(), "2.0 KB/s");
    // One line, from the sample at the top down to the initial 0 sample.
    const auto lines = CSpeedBar::GraphLines(samples, 270, 32);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], QLine(0, 0, 7, 31));
}

TEST(CSpeedBar, GridAndSkippedQuietSegments)
{
    EXPECT_EQ(CSpeedBar::GridLines(270, 32).size(), 3u + 34u);  // g = 7: three rows, 34 columns
    EXPECT_EQ(CSpeedBar::GridLines(340, 10).size(), 34u);       // g = 10: no row fits
    SpeedSamples samples;
    for (std::int64_t v : {100, 0, 0, 50}) {
        samples.AddSample(v);
    }
    // Newest first: 50, 0, 0, 100, 0 - the segment between the two zeros is skipped.
    const auto lines = CSpeedBar::GraphLines(samples, 340, 101);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], QLine(0, 50, 10, 100));
    EXPECT_EQ(lines[1], QLine(20, 100, 30, 0));
    EXPECT_EQ(lines[2], QLine(30, 0, 40, 100));
}

TEST(ToolWindows, ShownByTheirCommandsAndPlacedByTheOptions)
{
    test::Window w;
    w.settings.options.showSpeedBar = 1;
    w.settings.options.speedBarX = 300;
    w.settings.options.speedBarY = 40;
    w.frame->PlaceToolWindows();
    EXPECT_TRUE(w.frame->SpeedBar().isVisible());
    EXPECT_FALSE(w.frame->DropBasket().isVisible());
    w.frame->UpdateCommands();
    EXPECT_TRUE(w.frame->Action(CommandId::SpeedBar)->isChecked());
    EXPECT_FALSE(w.frame->Action(CommandId::DropBasket)->isChecked());
    w.frame->RunCommand(CommandId::DropBasket);
    w.frame->RunCommand(CommandId::SpeedBar);
    EXPECT_TRUE(w.frame->DropBasket().isVisible());
    EXPECT_FALSE(w.frame->SpeedBar().isVisible());
    EXPECT_EQ(w.settings.options.showDropBasket, 1);
    EXPECT_EQ(w.settings.options.showSpeedBar, 0);
    w.frame->DropBasket().move(12, 34);
    w.frame->SaveFrameSettings();
    EXPECT_EQ(w.settings.options.dropBasketX, 12);
    EXPECT_EQ(w.settings.options.dropBasketY, 34);
}

}  // namespace
}  // namespace dromo

#include <QImage>

#include "gui/mainwindow/cmainview.h"
#include "gui/widgets/cflatbutton.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

TEST(Wallpaper, BlankAndCustomizeCheckMarksAndTheImage)
{
    test::Window w;
    test::TempDir dir;
    const QString image = QString::fromStdString(dir.File("wall \"paper\".png"));
    QImage(8, 8, QImage::Format_RGB32).save(image, "PNG");
    w.settings.options.backgroundType = 0;
    w.settings.options.backgroundImagePath = image.toStdString();
    w.frame->UpdateCommands();
    EXPECT_TRUE(w.frame->Action(CommandId::WallpaperBlank)->isChecked());
    EXPECT_FALSE(w.frame->Action(CommandId::WallpaperCustomize)->isChecked());
    EXPECT_EQ(w.frame->View().BackgroundStyle(), "");

    w.settings.options.backgroundType = 1;
    w.settings.options.backgroundImageTiled = 0;
    w.frame->View().ApplyAppearance();
    w.frame->UpdateCommands();
    EXPECT_TRUE(w.frame->Action(CommandId::WallpaperCustomize)->isChecked());
    EXPECT_TRUE(w.frame->View().BackgroundStyle().contains("no-repeat"));
    EXPECT_TRUE(w.frame->View().BackgroundStyle().contains("wall \\\"paper\\\".png"));
    w.frame->RunCommand(CommandId::WallpaperBlank);
    EXPECT_EQ(w.settings.options.backgroundType, 0);
    EXPECT_EQ(w.frame->View().styleSheet(), "");

    w.settings.options.backgroundType = 1;
    w.settings.options.backgroundImagePath = dir.File("missing.gif");
    EXPECT_EQ(w.frame->View().BackgroundStyle(), "");  // nothing to show
}

TEST(CFlatButton, CaptionColours)
{
    CFlatButton button(QStringLiteral("OK"));
    EXPECT_EQ(button.CaptionColour(), QColor(0, 0, 0));
    button.setEnabled(false);
    EXPECT_EQ(button.CaptionColour(), QColor(150, 150, 150));
}

}  // namespace
}  // namespace dromo

#include <QSignalSpy>

namespace dromo {
namespace {

TEST(Wallpaper, AnImageUrlIsFetchedOnce)
{
    test::Window w;
    test::TempDir www;
    QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(www.File("wall.png")), "PNG");
    test::Nginx nginx(www.Path());
    w.settings.options.backgroundType = 1;
    w.settings.options.backgroundImagePath = nginx.Url("/wall.png");
    CMainView& view = w.frame->View();
    QSignalSpy fetched(&view, &CMainView::BackgroundFetched);
    view.ApplyAppearance();
    EXPECT_EQ(view.BackgroundStyle(), "");  // not there yet
    ASSERT_TRUE(fetched.wait(10000));
    EXPECT_TRUE(view.BackgroundStyle().contains("/Dromo/background.png"));
    view.ApplyAppearance();  // not fetched again
    EXPECT_FALSE(fetched.wait(300));
}

}  // namespace
}  // namespace dromo
