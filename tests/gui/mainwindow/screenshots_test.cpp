// Pictures of the windows as users see them, for the documentation. Written
// only when DROMO_SCREENSHOTS names a folder.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMenu>
#include <QPixmap>

#include "core/caboutdlg.h"
#include "mainwindow/cdropbasket.h"
#include "mainwindow/cmainview.h"
#include "mainwindow/cspeedbar.h"
#include "mainwindow/windowrig.h"

namespace dromo {
namespace {

TEST(Screenshots, MainWindowWithTasks)
{
    const QString folder = qEnvironmentVariable("DROMO_SCREENSHOTS");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "set DROMO_SCREENSHOTS to a folder to write them";
    }
    test::Window w;
    struct Shown {
        const char* url;
        TaskState state;
        const char* size;
        const char* progress;
        const char* speed;
        const char* status;
    };
    const Shown tasks[] = {
        {"https://mirror.example/iso/debian-12.iso", TaskState::Running, "412160 of 645120", "63%", "2048.0KB/s",
         "15:20:04 HTTP/1.1 206 Partial Content"},
        {"ftp://ftp.example/pub/tools.tar.gz", TaskState::Done, "5120 of 5120", "100%", "", "15:18:40 File has been downloaded"},
        {"http://files.example/music/track.mp3", TaskState::Paused, "800 of 3200", "25%", "", "15:10:02 Error - cancelled by user."},
        {"http://files.example/setup.exe", TaskState::Queued, "0", "0", "", ""},
        {"http://files.example/report.txt", TaskState::Error, "0", "0", "", "15:21:00 Fail to connect to files.example:80"},
        {"http://files.example/nightly.zip", TaskState::Scheduled, "0", "0", "", ""},
    };
    for (const Shown& t : tasks) {
        w.adder.AddTask(t.url, "");
        const int row = w.table.Count() - 1;
        w.table.SetState(row, t.state);
        w.table.SetText(row, kColSize, t.size);
        w.table.SetText(row, kColProgress, t.progress);
        w.table.SetText(row, kColSpeed, t.speed);
        w.table.SetText(row, kColStatus, t.status);
        w.table.SetText(row, kColResume, t.state == TaskState::Queued ? "N/A" : "Yes");
    }
    w.model.Flush();
    w.frame->resize(960, 360);
    w.frame->show();
    w.frame->View().SelectRows({0});
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.frame->grab().save(folder + "/main-window.png"));

    for (std::int64_t v : {300000, 900000, 1500000, 1200000, 2100000, 1800000, 2400000, 2097152}) {
        w.samples.AddSample(v);
    }
    w.frame->SpeedBar().show();
    w.frame->DropBasket().show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.frame->SpeedBar().grab().save(folder + "/speed-bar.png"));
    ASSERT_TRUE(w.frame->DropBasket().grab().save(folder + "/drop-basket.png"));

    for (bool onRow : {true, false}) {
        auto menu = w.frame->TaskMenu(onRow);
        menu->popup(QPoint(0, 0));
        QCoreApplication::processEvents();
        ASSERT_TRUE(menu->grab().save(folder + (onRow ? "/task-menu.png" : "/window-menu.png")));
        menu->close();
    }

    CAboutDlg about(w.frame.get());
    about.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(about.grab().save(folder + "/about.png"));
}

}  // namespace
}  // namespace dromo
