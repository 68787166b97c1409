// Pictures of the windows as users see them, for the documentation. Written
// only when DROMO_SCREENSHOTS names a folder.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

#include "base/capture/linkchoice.h"
#include "base/forms/taskpagevalues.h"
#include "gui/capture/linklistdialog.h"
#include "gui/dialogs/options/cpropsheet.h"
#include "gui/dialogs/task/caddprop.h"
#include "gui/dialogs/task/cdlgimport.h"
#include "gui/i18n/translations.h"
#include "gui/mainwindow/caboutdlg.h"
#include "gui/mainwindow/cdropbasket.h"
#include "gui/mainwindow/clegenddlg.h"
#include "gui/mainwindow/cmainview.h"
#include "gui/mainwindow/cspeedbar.h"
#include "gui/widgets/filechooser.h"
#include "tests/gui/mainwindow/windowrig.h"

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
        {"ftp://ftp.example/pub/tools.tar.gz", TaskState::Done, "5120 of 5120", "100%", "",
         "15:18:40 File has been downloaded"},
        {"http://files.example/music/track.mp3", TaskState::Paused, "800 of 3200", "25%", "",
         "15:10:02 Error - cancelled by user."},
        {"http://files.example/setup.exe", TaskState::Queued, "0", "0", "", ""},
        {"http://files.example/report.txt", TaskState::Error, "0", "0", "",
         "15:21:00 Fail to connect to files.example:80"},
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
    w.frame->View().SelectTasks({0});
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

    // The View menu: check marks beside the icons of the toolbar.
    for (QAction* action : w.frame->menuBar()->actions()) {
        if (action->text() == "&View") {
            QMenu* view = action->menu();
            view->popup(w.frame->mapToGlobal(QPoint(0, 0)));
            QCoreApplication::processEvents();
            ASSERT_TRUE(view->grab().save(folder + "/view-menu.png"));
            view->close();
        }
    }

    CLegendDlg legend(w.frame.get());
    legend.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(legend.grab().save(folder + "/legend.png"));

    std::vector<OfferedLink> offered;
    for (const char* url :
         {"https://files.example/release/dromo-1.04.tar.gz", "https://files.example/release/notes.html",
          "https://files.example/release/dromo-1.04.tar.gz.sig", "https://files.example/iso/netinst.iso",
          "https://files.example/music/album.zip"}) {
        offered.push_back({url, {}});
    }
    LinkListDialog links(
        LinkChoice(offered, "zip gz iso", false), [](const LinkChoice&) {}, w.frame.get());
    links.resize(640, 320);
    links.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(links.grab().save(folder + "/download-links.png"));

    CAboutDlg about(w.frame.get());
    about.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(about.grab().save(folder + "/about.png"));
}

// Every tab of a sheet, named after the sheet and the tab (its English
// caption, or its number when the sheet speaks another language).
void GrabTabs(CPropertySheet& sheet, const QString& folder, const QString& prefix, bool numbered = false)
{
    sheet.resize(sheet.sizeHint().expandedTo(QSize(520, 420)));
    sheet.show();
    for (int i = 0; i < sheet.PageCount(); ++i) {
        ASSERT_TRUE(sheet.SelectPage(i)) << prefix.toStdString() << " " << i;
        QCoreApplication::processEvents();
        const QString name = numbered ? QString::number(i + 1) : sheet.Page(i)->Caption().toLower().replace(' ', '-');
        ASSERT_TRUE(sheet.grab().save(QString("%1/%2-%3.png").arg(folder, prefix, name)));
    }
    sheet.reject();
}

void GrabSheets(const QString& folder, bool numbered)
{
    test::FakeMessages messages;
    test::FakeSound sound;
    FileChooser files;
    ViewSettings settings;
    settings.options = GlobalOptions::Defaults({"/home/user/Downloads/", "/usr/share/dromo/"});
    settings.proxies = {{"proxy.example", 3128, "", ""}, {"cache.example", 8080, "me", "pw"}};
    settings.categories = {{"Archives", "zip", "/home/user/Downloads/Archives/"},
                           {"Music", "mp3", "/home/user/Music/"}};
    settings.sites = {{"ftp.example", "me", "pw"}};
    settings.options.soundJobDone = "/usr/share/sounds/freedesktop/stereo/complete.oga";
    settings.options.enableProxy = settings.options.enableCategory = settings.options.enableSecurity = 1;
    settings.options.enableSound = 1;

    TaskPageValues values = TaskPageValues::FromOptions(settings.options, "https://mirror.example/iso/debian-12.iso");
    CAddProp add(QCoreApplication::translate("dromo::CMainFrame", "Add URL"), nullptr, CAddProp::kUrlPage, values,
                 settings.proxies, &settings.categories, messages, files);
    GrabTabs(add, folder, "task-sheet", numbered);

    TaskPageValues broken = TaskPageValues::FromOptions(settings.options, "");
    CAddProp import(QCoreApplication::translate("dromo::CMainFrame", "Import Broken File"), nullptr,
                    CAddProp::kFilePage, broken, settings.proxies, nullptr, messages, files);
    import.show();
    import.FilePage()->UrlEdit()->setText("http://files.example/big.iso");
    import.FilePage()->FileEdit()->setText("/home/user/Downloads/big.iso+++");
    QCoreApplication::processEvents();
    ASSERT_TRUE(import.grab().save(folder + "/import-file.png"));
    import.reject();

    CPropSheet options(nullptr, settings, messages, files, sound, [] {});
    GrabTabs(options, folder, "options", numbered);
}

// The first start with a fresh profile, a few downloads added: the window
// as it first opens on the screen (not resized), the file's name first.
TEST(Screenshots, FirstStartWithAFreshProfile)
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
        {"https://cdimage.example/debian-cd/12.5.0/amd64/iso-cd/debian-12.5.0-amd64-netinst.iso", TaskState::Running,
         "412160 of 645120", "63%", "2048.0KB/s", "15:20:04 HTTP/1.1 206 Partial Content"},
        {"https://files.example/download.php?id=7731&token=c2VjcmV0", TaskState::Done, "5120 of 5120", "100%", "",
         "15:18:40 File has been downloaded"},
        {"http://files.example/music/track.mp3", TaskState::Paused, "800 of 3200", "25%", "",
         "15:10:02 Error - cancelled by user."},
        {"http://files.example/setup.exe", TaskState::Queued, "0", "0", "", ""},
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
    // The server named the second file, which its URL does not tell.
    w.table.Update(1, [](TaskRecord& r) { r.saveAs = "/tmp/dl/report-2024.pdf"; });
    w.model.Flush();
    w.frame->show();
    w.frame->View().SelectTasks({0});
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.frame->grab().save(folder + "/first-start.png"));
}

TEST(Screenshots, EveryTabOfTheSheets)
{
    const QString folder = qEnvironmentVariable("DROMO_SCREENSHOTS");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "set DROMO_SCREENSHOTS to a folder to write them";
    }
    GrabSheets(folder, false);
}

// The same in German, the longest of the languages, to see that no label
// is cut.
TEST(Screenshots, EveryTabOfTheSheetsInGerman)
{
    const QString folder = qEnvironmentVariable("DROMO_SCREENSHOTS");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "set DROMO_SCREENSHOTS to a folder to write them";
    }
    const Translations german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(german.Loaded());
    ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("de")));
    GrabSheets(folder + QStringLiteral("/de"), true);
}

}  // namespace
}  // namespace dromo
