#include "gui/mainwindow/cmainframe.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <functional>

#include "gui/mainwindow/cmainview.h"
#include "gui/mainwindow/tasklistmodel.h"
#include "tests/gui/mainwindow/windowdriver.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

using test::WhenDialogShows;
using test::Window;

// A fresh profile opens a list a person can scan: centred, at least the
// classic 600 x 400, the file's name first, and each column wide enough for
// what it typically shows. A profile an earlier run left keeps its columns.
TEST(CMainFrame, FirstStartShowsTheFileFirstAndWholeTexts)
{
    Window w;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect g = w.frame->geometry();
    EXPECT_GE(g.width(), std::min(600, screen.width()));
    EXPECT_GE(g.height(), std::min(400, screen.height()));
    EXPECT_EQ(g.x(), (screen.width() - g.width()) / 2);
    EXPECT_EQ(g.y(), (screen.height() - g.height()) / 2);
    EXPECT_EQ(w.frame->windowTitle(), "Dromo 1.04");
    CMainView& view = w.frame->View();
    EXPECT_TRUE(view.FileColumnShown());
    EXPECT_TRUE(view.FileColumnFirst());

    w.adder.AddTask("http://mirror.example/iso/debian-12.5.0-amd64-netinst.iso", "");
    const std::pair<int, const char*> texts[] = {
        {kColSize, "654321 of 654321"}, {kColResume, "Yes"},
        {kColProgress, "100%"},         {kColSpeed, "12345.6KB/s"},
        {kColTime, "12:34:56"},         {kColEstTime, "0:0:0"},
        {kColRetry, "10 of 10"},        {kColStatus, "12:34:56 HTTP/1.1 206 Partial Content"},
    };
    for (const auto& [column, text] : texts) {
        w.table.SetText(0, static_cast<Column>(column), text);
    }
    w.model.Flush();
    for (int column = kColSize; column <= TaskListModel::kFileColumn; ++column) {
        const QString shown = view.model()->index(0, column).data().toString();
        EXPECT_LE(view.fontMetrics().horizontalAdvance(shown) + 8, view.columnWidth(column))
            << "cut: " << shown.toStdString();
    }

    for (const char* earlier : {"MRU Num", "Show File Column"}) {
        test::FakeProfile classic;
        classic.WriteInt("Settings", earlier, 0);
        Window old(classic);
        EXPECT_FALSE(old.frame->View().FileColumnShown()) << earlier;
        EXPECT_FALSE(old.frame->View().FileColumnFirst()) << earlier;
    }
}

// Typed as a person types: a click in the box, the keys to whatever has the
// focus then, Return or the keypad's Enter.
TEST(CMainFrame, AddressBarAddsAndRemembers)
{
    Window w;
    w.settings.options.maxHistoryItem = 2;
    ASSERT_TRUE(test::ShowActive(*w.frame));
    QComboBox& box = w.frame->AddressBox();
    EXPECT_EQ(box.lineEdit()->maxLength(), 511);
    const std::pair<const char*, Qt::Key> typed[] = {{"http://h/a.zip", Qt::Key_Return},
                                                     {"ftp://h/dir/", Qt::Key_Enter},
                                                     {"http://h/b.txt", Qt::Key_Enter},
                                                     {"HTTP://H/A.ZIP", Qt::Key_Return},
                                                     {"http://h/c", Qt::Key_Return}};
    for (auto [url, key] : typed) {
        QWidget* focus = test::TypeOver(&box, QString::fromLatin1(url));
        ASSERT_TRUE(focus == &box || focus == box.lineEdit()) << "the click puts the focus in the box";
        test::Press(key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    }
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.itemText(0), "http://h/c");
    EXPECT_EQ(box.itemText(1), "HTTP://H/A.ZIP");
    EXPECT_FALSE(box.itemIcon(1).isNull());
    EXPECT_EQ(w.table.Count(), 4);  // the URL ending in "/" added nothing
    EXPECT_EQ(w.addresses.Entries(), (std::vector<std::string>{"http://h/c", "HTTP://H/A.ZIP"}))
        << "one entry per key: the box adds none of its own";
    w.model.Flush();
    EXPECT_EQ(w.model.rowCount(), 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.frame->PaneText(2), "4 tasks is in queue");
}

// Hand-overs change the history one entry at a time; the box follows each
// change, whatever it was, with an icon for every entry, by the time the
// window's loop has passed.
TEST(CMainFrame, TheAddressBoxFollowsEveryChangeOfTheHistory)
{
    Window w;
    w.settings.options.maxHistoryItem = 3;
    QComboBox& box = w.frame->AddressBox();
    const char* const added[] = {
        "http://h/a.zip",  // into an empty box
        "http://h/b.iso", "http://h/c.mp3",
        "http://h/d.txt",  // the oldest goes
        "http://h/c.mp3",  // from the middle to the top
        "http://h/B.ISO",  // a copy in other letter case takes the old one's place
        "http://h/d.txt",  // already on top
        "http://h/c.mp3",  // from the bottom to the top
    };
    for (const char* url : added) {
        EXPECT_EQ(w.frame->Desk().AddUrl(QString::fromLatin1(url)), QString()) << url;
        QCoreApplication::processEvents();
        std::vector<std::string> shown;
        for (int i = 0; i < box.count(); ++i) {
            shown.push_back(box.itemText(i).toStdString());
            EXPECT_FALSE(box.itemIcon(i).isNull()) << url << ": entry " << i;
        }
        EXPECT_EQ(shown, w.addresses.Entries()) << "after " << url;
    }
    EXPECT_EQ(box.itemText(0), "http://h/c.mp3");
    EXPECT_EQ(box.count(), 3);
}

// Many URLs in one call (`dromo URL...`, a page's links): the first shows
// at once, the box catches up with the rest once the loop passes, and then
// holds the history with the last URL chosen; the count panes show the last
// counts, each wide enough for its text and never narrower than before.
TEST(CMainFrame, ABurstOfHandOversEndsWithTheBoxAndPanesUpToDate)
{
    Window w;
    w.settings.options.maxHistoryItem = 3;
    ASSERT_TRUE(test::ShowActive(*w.frame));
    QComboBox& box = w.frame->AddressBox();
    const int widthBefore = w.frame->Pane(1)->width();
    QStringList urls;
    for (int i = 1; i <= 12; ++i) {
        urls << QStringLiteral("http://h/f%1.zip").arg(i);
    }
    bool answered = false;
    w.frame->Desk().HandOverUrls(urls, [&](const QStringList&) { answered = true; });
    for (int i = 0; i < 50 && !answered; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(10);
    }
    ASSERT_TRUE(answered);
    QCoreApplication::processEvents();
    ASSERT_EQ(box.count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(box.itemText(i).toStdString(), w.addresses.Entries()[static_cast<std::size_t>(i)]);
        EXPECT_FALSE(box.itemIcon(i).isNull()) << i;
    }
    EXPECT_EQ(box.itemText(0), "http://h/f12.zip");
    EXPECT_EQ(box.currentText(), "http://h/f12.zip") << "the last URL added is chosen, as for one";
    w.model.Flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.frame->PaneText(2), "12 tasks is in queue");
    EXPECT_GE(w.frame->Pane(2)->width(), w.frame->Pane(2)->sizeHint().width()) << "the whole count shows";
    EXPECT_GE(w.frame->Pane(1)->width(), widthBefore);
    // Fewer tasks, a shorter text: the pane keeps its width.
    const int wide = w.frame->Pane(2)->width();
    w.frame->StatusTexts("", "", "9 tasks is in queue");
    QCoreApplication::processEvents();
    EXPECT_EQ(w.frame->PaneText(2), "9 tasks is in queue");
    EXPECT_EQ(w.frame->Pane(2)->width(), wide);
}

// The window is built after the address history is read, so the box
// offers the last run's addresses from the start.
TEST(CMainFrame, TheAddressBoxStartsWithTheSavedHistory)
{
    test::FakeProfile saved;
    saved.WriteInt("Settings", "MRU List Num", 2);
    saved.WriteString("History", "URL0", "http://h/new.zip");
    saved.WriteString("History", "URL1", "ftp://h/old.iso");
    Window w(saved);
    QComboBox& box = w.frame->AddressBox();
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.itemText(0), "http://h/new.zip");
    EXPECT_EQ(box.itemText(1), "ftp://h/old.iso");
}

TEST(CMainFrame, CommandsFollowTheEnablingRules)
{
    Window w;
    w.adder.AddTask("http://h/a.zip", "");
    w.adder.AddTask("http://h/b.zip", "");
    w.table.SetState(1, TaskState::Paused);
    w.model.Flush();
    w.frame->UpdateCommands();
    EXPECT_FALSE(w.frame->Action(CommandId::DeleteSelected)->isEnabled());
    EXPECT_TRUE(w.frame->Action(CommandId::SelectAll)->isEnabled());
    EXPECT_TRUE(w.frame->Action(CommandId::StopAll)->isEnabled());
    w.frame->View().SelectTasks({1});
    w.frame->UpdateCommands();
    EXPECT_TRUE(w.frame->Action(CommandId::Resume)->isEnabled());
    EXPECT_TRUE(w.frame->Action(CommandId::DeleteSelected)->isEnabled());
    EXPECT_FALSE(w.frame->Action(CommandId::HangUpWhenDone)->isEnabled());  // no modem
    EXPECT_FALSE(w.frame->Action(CommandId::GridLine)->isChecked());
    w.frame->RunCommand(CommandId::GridLine);
    EXPECT_TRUE(w.frame->Action(CommandId::GridLine)->isChecked());
    EXPECT_TRUE(w.frame->View().showGrid());
    w.frame->RunCommand(CommandId::DeleteSelected);
    EXPECT_EQ(w.table.Count(), 1);
}

TEST(CMainFrame, CloseHidesAndExitAsksOnlyWhileATaskRuns)
{
    Window w;
    w.frame->show();
    w.frame->close();
    EXPECT_TRUE(w.frame->isMinimized() || w.frame->isHidden());  // hidden to the tray, or minimised without one
    {
        auto guard = w.table.Lock();
        w.state.Counts(guard).activeCount = 1;
    }
    w.messages.answer = false;
    w.frame->RunCommand(CommandId::Exit);
    EXPECT_EQ(w.messages.shown, std::vector<std::string>{"There is task running, exit anyway?"});
    EXPECT_EQ(w.messages.askedAs, std::vector<Ask>{Ask::Stop});  // the stop icon, OK the default
    EXPECT_FALSE(w.state.stop);                                  // Cancel: everything goes on
    {
        auto guard = w.table.Lock();
        w.state.Counts(guard).activeCount = 0;
    }
    w.frame->RunCommand(CommandId::Exit);
    EXPECT_EQ(w.messages.shown.size(), 1u);  // not asked again: nothing runs
    EXPECT_TRUE(w.state.stop);
    EXPECT_EQ(w.profile.Int("Settings", "MRU Num"), 0);  // saved on the way out
}

// A profile that cannot be written: "Save Settings Now" says so, the status
// bar and the tray tip show it until a save works again (the one-second
// tick keeps trying), and the exit reports it.
TEST(CMainFrame, AFailedSaveIsShownRetriedAndReportedAtExit)
{
    Window w;
    w.profile.flushResult = false;
    w.profile.flushError = "Cannot write /c/Dromo.ini: No space left on device.";
    w.frame->Action(CommandId::SaveSettingsNow)->trigger();
    EXPECT_EQ(w.messages.shown, std::vector<std::string>{"The settings were not saved. Cannot write /c/Dromo.ini: No "
                                                         "space left on device. Dromo keeps trying."});
    const QString shown = "Not saved: Cannot write /c/Dromo.ini: No space left on device.";
    EXPECT_EQ(w.frame->statusBar()->currentMessage(), shown);
    EXPECT_TRUE(w.frame->TrayTip().endsWith("\n" + shown)) << w.frame->TrayTip().toStdString();

    w.profile.flushResult = true;
    EXPECT_TRUE(QTest::qWaitFor([&w] { return w.frame->statusBar()->currentMessage().isEmpty(); }, 5000));
    EXPECT_FALSE(w.frame->TrayTip().contains("Not saved"));
    EXPECT_EQ(w.messages.shown.size(), 1u);  // the ticks retry without boxes

    w.profile.flushResult = false;
    w.frame->RunCommand(CommandId::Exit);
    EXPECT_EQ(w.messages.shown.back(),
              "Dromo could not save its settings and task list before ending. Cannot write "
              "/c/Dromo.ini: No space left on device.");
}

// A task handed over from outside is saved before the caller hears
// success. A worker may start it and end it (a quick 404 pauses it) while
// that save is on its way to the disk: the next auto-save writes the new
// state, instead of the profile saying "queued" or "running" until exit.
TEST(CMainFrame, AChangeDuringAHandOversSaveReachesTheNextAutoSave)
{
    Window w;
    w.profile.duringFlush = [&w] { w.table.SetState(0, TaskState::Paused); };
    EXPECT_EQ(w.frame->Desk().AddUrl("http://h.example/gone.iso"), QString());
    EXPECT_EQ(w.profile.Int("URL", "URL0\\Status"), static_cast<int>(TaskState::Queued));
    EXPECT_TRUE(w.app.autoSaver.Tick());
    EXPECT_EQ(w.profile.Int("URL", "URL0\\Status"), static_cast<int>(TaskState::Paused));
    EXPECT_FALSE(w.app.autoSaver.Tick());
}

TEST(CMainFrame, TrayTipIsCutTo63Characters)
{
    Window w;
    w.frame->TrayStateChanged(TrayState{212, std::string(100, 'x')});
    QCoreApplication::processEvents();
    EXPECT_EQ(w.frame->TrayTip().size(), 63);
}

TEST(CMainView, DropsNeedAnHttpOrFtpUrl)
{
    const std::pair<const char*, bool> cases[] = {{"see http://h/a.zip for details", true},
                                                  {"ftp://h/f", true},
                                                  {"https://h/x", true},
                                                  {"h/a.zip", false},
                                                  {"HTTP://H/A", false},
                                                  {"", false}};
    for (auto [text, accepted] : cases) {
        EXPECT_EQ(CMainView::AcceptsDrop(QString::fromLatin1(text)), accepted) << text;
    }
}

}  // namespace
}  // namespace dromo

#include <QMimeData>
#include <QSignalSpy>

namespace dromo {
namespace {

TEST(CMainView, ADropHandsOverTheWholeText)
{
    test::Window w;
    CMainView& view = w.frame->View();
    QSignalSpy dropped(&view, &CMainView::TextDropped);
    const struct {
        QString text;
        bool urls;
        bool handed;
    } cases[] = {
        {.text = "get this: http://127.0.0.1/a.zip please", .urls = false, .handed = true},
        {.text = "127.0.0.1/a.zip", .urls = false, .handed = false},
        {.text = "https://h/a.zip", .urls = true, .handed = true},
    };
    for (const auto& c : cases) {
        QMimeData data;
        if (c.urls) {
            data.setUrls({QUrl(c.text)});
        } else {
            data.setText(c.text);
        }
        EXPECT_EQ(view.HandleDrop(&data), c.handed) << c.text.toStdString();
    }
    ASSERT_EQ(dropped.count(), 2);
    EXPECT_EQ(dropped.at(0).at(0).toString(), "get this: http://127.0.0.1/a.zip please");
    EXPECT_EQ(dropped.at(1).at(0).toString(), "https://h/a.zip");
    // The window adds what is handed over: the words make no valid URL
    // (the add says so), the URL list adds its task.
    EXPECT_EQ(w.messages.shown, std::vector<std::string>{"invalid url"});
    EXPECT_EQ(w.table.Count(), 1);
    // A dropped task is saved at once, not on the next auto-save tick.
    EXPECT_EQ(w.profile.Int("Settings", "MRU Num"), 1);
    EXPECT_EQ(w.profile.Text("URL", "URL0\\Target"), "https://h/a.zip");
}

}  // namespace
}  // namespace dromo

namespace dromo {
namespace {

using test::ClickRow;
using test::ClickToolButton;
using test::ShowActive;
using test::WaitForList;
using test::Window;

// The list shows "a", "b", "c", ... in the given states.
void AddTasks(Window& w, std::initializer_list<TaskState> states)
{
    for (TaskState s : states) {
        const int row = w.table.Count();
        w.adder.AddTask("http://h/" + std::string(1, static_cast<char>('a' + row)) + ".zip", "");
        w.table.SetState(row, s);
    }
}

std::vector<std::string> Urls(Window& w)
{
    std::vector<std::string> urls;
    for (int row = 0; row < w.table.Count(); ++row) {
        urls.push_back(w.table.CopyOut(row)->host + w.table.CopyOut(row)->remotePath);
    }
    return urls;
}

// Alt+Delete on the keyboard, after a click on a row put the focus there.
void PressDelete()
{
    test::Press(Qt::Key_Delete, Qt::AltModifier);
}

// The list the user sees lags the table by up to a flush; a command must hit
// the task the user pointed at, not whatever moved into its row meanwhile.
TEST(CMainFrameCommands, DeleteHitsTheTaskTheUserPointedAt)
{
    struct Case {
        const char* what;
        int clicked;
        std::function<void(Window&)> between;  // what happens before the list catches up
        int presses;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"Delete pressed twice within a flush", 0, [](Window&) {}, 2, {"h/b.zip", "h/c.zip"}},
        {"a worker removes a finished task just before Delete",
         1,
         [](Window& w) {
             w.settings.options.deleteIfDone = 1;
             w.commands.RemoveTaskRow(0, false);  // as a worker does when task "a" ends
         },
         1,
         {"h/c.zip"}},
    };
    for (const Case& c : cases) {
        Window w;
        AddTasks(w, {TaskState::Done, TaskState::Paused, TaskState::Paused});
        ASSERT_TRUE(ShowActive(*w.frame));
        ASSERT_TRUE(WaitForList(w.model, 3));
        ClickRow(w.frame->View(), c.clicked);
        c.between(w);
        for (int i = 0; i < c.presses; ++i) {
            PressDelete();
        }
        EXPECT_EQ(Urls(w), c.left) << c.what;
    }
}

TEST(CMainFrameCommands, SelectAllInProgressSelectsTheRunningTasksAsShown)
{
    Window w;
    AddTasks(w, {TaskState::Done, TaskState::Paused, TaskState::Running});
    ASSERT_TRUE(ShowActive(*w.frame));
    ASSERT_TRUE(WaitForList(w.model, 3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.frame->Action(CommandId::SelectAllInProgress)->isEnabled(); }));
    w.settings.options.deleteIfDone = 1;
    w.commands.RemoveTaskRow(0, false);  // "c" moves up in the table; the list still shows "a"
    w.frame->Action(CommandId::SelectAllInProgress)->trigger();
    EXPECT_EQ(w.frame->View().SelectedTaskIds(), std::vector<int>{2});
    // Stop now reaches "c", the task the user sees selected.
    EXPECT_TRUE(w.frame->Action(CommandId::Stop)->isEnabled());
}

// Enabling and check marks follow the selection, the tasks' states and the
// loaded options by themselves: no menu needs to open first.
TEST(CMainFrameCommands, CommandStatesAreLiveFromTheStart)
{
    Window w;
    const CommandId idle[] = {
        CommandId::SaveDownloadList, CommandId::DeleteSelected, CommandId::Resume,    CommandId::Stop,
        CommandId::StopAll,          CommandId::SelectAll,      CommandId::Properties};
    for (CommandId id : idle) {
        EXPECT_FALSE(w.frame->Action(id)->isEnabled()) << "at start-up: " << static_cast<int>(id);
    }
    EXPECT_TRUE(w.frame->Action(CommandId::Options)->isEnabled());
}

TEST(CMainFrameCommands, CheckMarksShowTheLoadedOptions)
{
    Window w;
    // As the start-up loads them, after the window is built and before it shows.
    w.settings.options.showGridLine = 1;
    w.settings.options.shutDownIfDone = 1;
    w.settings.options.redialIfDisconnected = 0;
    w.frame->show();
    EXPECT_TRUE(w.frame->Action(CommandId::GridLine)->isChecked());
    EXPECT_TRUE(w.frame->Action(CommandId::ShutDownWhenDone)->isChecked());
    EXPECT_FALSE(w.frame->Action(CommandId::AutoDialUp)->isChecked());
}

TEST(CMainFrameCommands, SelectingAPausedRowEnablesResumeOnTheToolbar)
{
    Window w;
    AddTasks(w, {TaskState::Queued, TaskState::Paused});
    ASSERT_TRUE(ShowActive(*w.frame));
    ASSERT_TRUE(WaitForList(w.model, 2));
    ClickRow(w.frame->View(), 1);
    EXPECT_TRUE(w.frame->Action(CommandId::Resume)->isEnabled());
    EXPECT_TRUE(w.frame->Action(CommandId::DeleteSelected)->isEnabled());
    ASSERT_TRUE(ClickToolButton(*w.frame, CommandId::Resume));
    EXPECT_EQ(w.table.CopyOut(1)->State(), TaskState::Queued);
    // Alt+Delete on the same selection, with no menu opened in between.
    PressDelete();
    EXPECT_EQ(Urls(w), std::vector<std::string>{"h/a.zip"});
}

TEST(CMainFrameCommands, StopCommandsFollowTasksThatStartRunning)
{
    Window w;
    AddTasks(w, {TaskState::Paused, TaskState::Paused, TaskState::Paused});
    ASSERT_TRUE(ShowActive(*w.frame));
    ASSERT_TRUE(WaitForList(w.model, 3));
    test::Click(w.frame->View().viewport(), QPoint(5, w.frame->View().viewport()->height() - 5));  // empty space
    ASSERT_EQ(QApplication::focusWidget(), &w.frame->View());
    test::Press(Qt::Key_A, Qt::ControlModifier);  // Select All
    EXPECT_FALSE(w.frame->Action(CommandId::Stop)->isEnabled());
    EXPECT_FALSE(w.frame->Action(CommandId::StopAll)->isEnabled());
    for (int row = 0; row < 3; ++row) {
        w.table.SetState(row, TaskState::Running);  // as the workers do
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.frame->Action(CommandId::StopAll)->isEnabled(); }));
    EXPECT_TRUE(w.frame->Action(CommandId::Stop)->isEnabled());
    EXPECT_FALSE(w.frame->Action(CommandId::Resume)->isEnabled());
}

}  // namespace
}  // namespace dromo

#include <QContextMenuEvent>
#include <QDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <filesystem>
#include <fstream>

#include <unistd.h>
#include <QToolButton>

#include "gui/mainwindow/cdropbasket.h"
#include "gui/mainwindow/cspeedbar.h"

namespace dromo {
namespace {

using test::MenuTexts;
using test::ShowActive;
using test::WhenMenuShows;
using test::Window;

QToolBar* Bar(Window& w, const char* name)
{
    return w.frame->findChild<QToolBar*>(QString::fromLatin1(name));
}

// "Tool Bar" and "Address Bar", from the View menu or the frame's own menu,
// show and hide their bars, and every check mark follows.
TEST(CMainFrameViews, BarsToggleFromTheViewMenuAndTheFrameMenu)
{
    Window w;
    w.adder.AddTask("http://h/a.zip", "");
    ASSERT_TRUE(ShowActive(*w.frame));
    ASSERT_TRUE(test::WaitForList(w.model, 1));
    QToolBar* tools = Bar(w, "toolbar");
    QToolBar* address = Bar(w, "address");
    EXPECT_FALSE(tools->isFloatable());
    EXPECT_FALSE(address->isFloatable());

    QAction* toolBar = w.frame->Action(CommandId::ToolBar);
    toolBar->trigger();
    EXPECT_TRUE(tools->isHidden());
    test::ClickRow(w.frame->View(), 0);  // anything that recomputes the command states
    EXPECT_TRUE(tools->isHidden()) << "the toolbar stays hidden";
    EXPECT_FALSE(toolBar->isChecked());
    toolBar->trigger();
    EXPECT_FALSE(tools->isHidden());
    EXPECT_TRUE(toolBar->isChecked());

    // A right-click beside the bars: the frame's menu of the two bars.
    QStringList texts;
    WhenMenuShows([&](QMenu& menu) {
        texts = MenuTexts(menu);
        for (QAction* action : menu.actions()) {
            if (action->text() == "Address Bar") {
                EXPECT_TRUE(action->isChecked());
                menu.close();
                action->trigger();
            }
        }
    });
    QWidget* status = w.frame->statusBar();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), status->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(status, &click);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !texts.isEmpty(); }));
    EXPECT_EQ(texts, (QStringList{"Tool Bar", "Address Bar"}));
    EXPECT_TRUE(address->isHidden());
    EXPECT_FALSE(w.frame->Action(CommandId::AddressBar)->isChecked());
    EXPECT_FALSE(w.addresses.Shown()) << "the option follows";
}

// Without a notification area the close button minimises, every time, also
// after the taskbar (not Dromo) restored the window.
TEST(CMainFrameViews, CloseMinimisesEveryTimeWithoutATray)
{
    Window w;
    if (w.frame->HasTray()) {
        GTEST_SKIP() << "this desktop has a notification area";
    }
    w.frame->show();
    for (int round = 0; round < 3; ++round) {
        w.frame->close();
        EXPECT_TRUE(w.frame->isMinimized()) << "round " << round;
        EXPECT_FALSE(w.frame->MainWindowShown());
        w.frame->setWindowState(w.frame->windowState() & ~Qt::WindowMinimized);  // the taskbar restores it
        EXPECT_TRUE(w.frame->MainWindowShown()) << "round " << round;
    }
    w.frame->RunCommand(CommandId::MainWindow);  // "Main Window" hides it too
    EXPECT_TRUE(w.frame->isMinimized());
    w.frame->RunCommand(CommandId::MainWindow);
    EXPECT_TRUE(w.frame->MainWindowShown());
}

// The small menus show their own plain texts: no accelerator marks and no
// shortcuts of the main menu ("E&xit  Ctrl+Q").
QStringList ShownTexts(const QMenu& menu)
{
    QStringList texts;
    for (QAction* action : menu.actions()) {
        QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
        if (!action->shortcut().isEmpty()) {
            text += QLatin1Char('\t') + action->shortcut().toString();
        }
        texts << text;
    }
    return texts;
}

TEST(CMainFrameTexts, TheSmallMenusShowTheirPlainTexts)
{
    Window w;
    w.frame->PlaceToolWindows();
    const QStringList window{"Main Window", "Speed Bar",  "Drop Basket", "-", "Add URL...", "Stop All",
                             "-",           "Options...", "About...",    "-", "Exit"};
    struct Case {
        QWidget* window;
        const char* leftOut;
    } cases[] = {{&w.frame->SpeedBar(), "Drop Basket"}, {&w.frame->DropBasket(), "Speed Bar"}};
    for (const Case& c : cases) {
        c.window->show();
        QStringList texts;
        WhenMenuShows([&](QMenu& menu) {
            texts = ShownTexts(menu);
            menu.close();
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(3, 3), c.window->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(c.window, &click);
        QStringList expected = window;
        expected.removeAll(QString::fromLatin1(c.leftOut));
        EXPECT_EQ(texts, expected) << c.leftOut;
    }
    // The list's own menus: on empty space the tray's list, on a row the
    // task's commands first.
    EXPECT_EQ(ShownTexts(*w.frame->TaskMenu(false)), window);
    EXPECT_EQ(ShownTexts(*w.frame->TaskMenu(true)),
              (QStringList{"Properties", "Open", "Open Containing Folder", "Refresh Address…", "-", "Speed Bar",
                           "Drop Basket", "-", "Add URL...", "Stop All", "Delete", "-", "Options...", "About...", "-",
                           "Exit"}));
    // Their items are the commands, with the commands' states.
    std::unique_ptr<QMenu> menu = w.frame->TaskMenu(false);
    QAction* speedBar = menu->actions().at(1);
    EXPECT_TRUE(speedBar->isChecked()) << "the speed bar is shown";
    speedBar->trigger();
    EXPECT_TRUE(w.frame->SpeedBar().isHidden());
    EXPECT_FALSE(w.frame->Action(CommandId::SpeedBar)->isChecked());
    EXPECT_FALSE(w.frame->TaskMenu(false)->actions().at(1)->isChecked());
    // The main menu keeps its own.
    EXPECT_EQ(w.frame->Action(CommandId::Exit)->text(), "E&xit");
    EXPECT_EQ(w.frame->Action(CommandId::StopAll)->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
}

TEST(CMainFrameTexts, HelpKeysAndTips)
{
    Window w;
    ASSERT_TRUE(ShowActive(*w.frame));
    // Wherever the focus is: in the address box, then in the list.
    test::Click(&w.frame->AddressBox());
    test::Press(Qt::Key_F1, Qt::ShiftModifier);  // context help
    test::Click(w.frame->View().viewport());
    test::Press(Qt::Key_F1);
    ASSERT_EQ(w.shell.opened.size(), 2u);
    EXPECT_NE(w.shell.opened[0].find("help/main-window.html#address-bar"), std::string::npos);
    EXPECT_NE(w.shell.opened[1].find("help/index.html"), std::string::npos);
    EXPECT_EQ(w.frame->Action(CommandId::Options)->statusTip(), "View or change the options");
    EXPECT_EQ(w.frame->Action(CommandId::LoadBrokenFile)->statusTip(), "Import a broken file to Dromo");
    EXPECT_EQ(w.frame->Action(CommandId::LoadBrokenFile)->toolTip(), "Import Broken File..");
}

TEST(CMainFrameTexts, TheAddressBoxShowsTheEntryJustAdded)
{
    Window w;
    ASSERT_TRUE(test::ShowActive(*w.frame));
    QComboBox& box = w.frame->AddressBox();
    const std::pair<const char*, const char*> cases[] = {
        {"http://h/a.zip", "http://h/a.zip"},
        {"https://user:pw@127.0.0.1/b.zip", "https://user:pw@127.0.0.1/b.zip"},
        {"http://h/folder/", "http://h/folder/"},  // not added: the text stays as typed
    };
    for (auto [typed, shown] : cases) {
        test::TypeOver(&box, QString::fromLatin1(typed));
        test::Press(Qt::Key_Return);
        EXPECT_EQ(box.currentText(), shown) << typed;
    }
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(w.table.Count(), 2) << "the login URL is a valid task";
    EXPECT_TRUE(w.messages.shown.empty());
}

TEST(CMainFrameTexts, WallpaperOkWithAnEmptyPathKeepsTheImage)
{
    Window w;
    const std::string image =
        std::filesystem::temp_directory_path() / ("dromo-wallpaper-" + std::to_string(::getpid()) + ".png");
    QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(image));
    w.settings.options.backgroundType = 1;
    w.settings.options.backgroundImagePath = image;
    w.frame->View().ApplyAppearance();
    ASSERT_FALSE(w.frame->View().BackgroundStyle().isEmpty());
    WhenDialogShows([](QDialog& dialog) {
        ASSERT_TRUE(test::ShowActive(dialog));
        test::TypeOver(dialog.findChild<QLineEdit*>(), QString());
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == "OK") {
                test::Click(button);
            }
        }
    });
    w.frame->Action(CommandId::WallpaperCustomize)->trigger();
    EXPECT_EQ(w.settings.options.backgroundType, 1);
    EXPECT_EQ(w.settings.options.backgroundImagePath, image);
    EXPECT_FALSE(w.frame->View().BackgroundStyle().isEmpty());
    EXPECT_TRUE(w.frame->Action(CommandId::WallpaperCustomize)->isChecked());
    std::filesystem::remove(image);
}

}  // namespace
}  // namespace dromo

#include <QHeaderView>

#include "gui/mainwindow/progressdelegate.h"

namespace dromo {
namespace {

using test::ShowActive;
using test::WaitForList;
using test::Window;

TEST(CMainFrameEveryday, EveryToolbarCommandHasABundledIconAndATip)
{
    Window w;
    QToolBar* bar = w.frame->findChild<QToolBar*>("toolbar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonIconOnly) << "no label cut in the middle";
    int buttons = 0;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        ++buttons;
        EXPECT_FALSE(action->icon().isNull()) << action->text().toStdString();
        EXPECT_FALSE(action->icon().pixmap(24, 24).isNull()) << action->text().toStdString() << ": the SVG renders";
        EXPECT_FALSE(action->toolTip().isEmpty());
        if (action->isCheckable()) {
            EXPECT_FALSE(action->isIconVisibleInMenu()) << action->text().toStdString() << " keeps its check mark";
        }
    }
    EXPECT_EQ(buttons, 12);
}

TEST(CMainFrameEveryday, DeleteAndCtrlQAreExtraKeys)
{
    Window w;
    w.adder.AddTask("http://h/a.zip", "");
    w.adder.AddTask("http://h/b.zip", "");
    ASSERT_TRUE(ShowActive(*w.frame));
    ASSERT_TRUE(WaitForList(w.model, 2));
    test::ClickRow(w.frame->View(), 0);
    test::Press(Qt::Key_Delete);
    ASSERT_EQ(w.table.Count(), 1);
    EXPECT_EQ(w.table.CopyOut(0)->remotePath, "/b.zip");
    EXPECT_EQ(w.frame->Action(CommandId::DeleteSelected)->shortcut(), QKeySequence(QStringLiteral("Alt+Del")))
        << "the menu still shows the classic key";
    test::Press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(w.state.stop) << "Ctrl+Q exits";
}

// A heading click orders the view, by value; the table keeps its order and
// commands still reach the task that was clicked.
TEST(CMainFrameEveryday, HeadingClickSortsTheViewNotTheTable)
{
    Window w;
    const char* sizes[] = {"100 of 2048", "9 of 20", "N/A", "10"};
    for (int i = 0; i < 4; ++i) {
        w.adder.AddTask("http://h/" + std::to_string(i) + ".zip", "");
        w.table.SetState(i, TaskState::Paused);
        w.table.SetText(i, kColSize, sizes[i]);
    }
    ASSERT_TRUE(ShowActive(*w.frame));
    CMainView& view = w.frame->View();
    ASSERT_TRUE(WaitForList(w.model, 4));
    QHeaderView* header = view.horizontalHeader();
    test::Click(header->viewport(), QPoint(header->sectionViewportPosition(kColSize) + 5, header->height() / 2));
    QStringList shown;
    for (int row = 0; row < 4; ++row) {
        shown << view.model()->index(row, kColSize).data().toString();
    }
    EXPECT_EQ(shown, (QStringList{"9 of 20", "10", "100 of 2048", "N/A"}));
    EXPECT_EQ(w.table.RowCopy(0).texts[kColSize], "100 of 2048") << "the table keeps its order";

    test::ClickRow(view, 0);  // "9 of 20": task 1
    test::Press(Qt::Key_Delete);
    ASSERT_EQ(w.table.Count(), 3);
    EXPECT_EQ(w.table.RowOf(1), -1) << "the task shown first went, not the table's first";
}

// The whole row, not a sliver of it under the bottom edge or the
// horizontal scroll bar: at once for a list of many, and for one more that
// arrives when the last row leaves part of a row free at the bottom (where
// a new row lands half shown when the scroll comes before the list has
// laid the new row out).
TEST(CMainFrameEveryday, ANewRowIsScrolledFullyIntoView)
{
    Window w;
    w.frame->resize(600, 300);
    ASSERT_TRUE(ShowActive(*w.frame));
    CMainView& view = w.frame->View();
    auto fullyShown = [&view](int row) {
        const QRect shown = view.visualRect(view.model()->index(row, 0));
        return shown.isValid() && shown.top() >= 0 && shown.bottom() < view.viewport()->height();
    };
    for (int i = 0; i < 40; ++i) {
        w.adder.AddTask("http://h/" + std::to_string(i) + ".zip", "");
    }
    ASSERT_TRUE(WaitForList(w.model, 40));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fullyShown(39); }));
    if (view.viewport()->height() % view.rowHeight(0) == 0) {
        w.frame->resize(600, 300 + view.rowHeight(0) / 2);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.viewport()->height() % view.rowHeight(0) != 0; }));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return fullyShown(39); }));

    // The list's flush, and its scroll handled before anything else waiting.
    w.adder.AddTask("http://h/late.zip", "");
    w.model.Flush();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fullyShown(40); }))
        << view.visualRect(view.model()->index(40, 0)).bottom() << " of " << view.viewport()->height();

    view.scrollToTop();
    test::TypeOver(&w.frame->AddressBox(), "http://h/typed.zip");
    test::Press(Qt::Key_Return);
    ASSERT_TRUE(WaitForList(w.model, 42));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fullyShown(41); }));
}

TEST(ProgressDelegate, TheBarFollowsThePercentage)
{
    const std::pair<const char*, double> cases[] = {{"0", 0}, {"N/A", 0}, {"45%", 0.45}, {"100%", 1}, {"250%", 1}};
    for (auto [text, fraction] : cases) {
        EXPECT_DOUBLE_EQ(ProgressDelegate::Fraction(text), fraction) << text;
    }
}

}  // namespace
}  // namespace dromo
