#include "mainwindow/cmainframe.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "mainwindow/cmainview.h"
#include "mainwindow/windowrig.h"

namespace dromo {
namespace {

using test::Window;

TEST(CMainFrame, FirstStartIs600By400Centred)
{
    Window w;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect g = w.frame->geometry();
    EXPECT_EQ(g.width(), 600);
    EXPECT_EQ(g.height(), 400);
    EXPECT_EQ(g.x(), (screen.width() - 600) / 2);
    EXPECT_EQ(g.y(), (screen.height() - 400) / 2);
    EXPECT_EQ(w.frame->windowTitle(), "Dromo 1.04");
}

TEST(CMainFrame, AddressBarAddsAndRemembers)
{
    Window w;
    w.settings.options.maxHistoryItem = 2;
    QLineEdit* edit = w.frame->AddressBox().lineEdit();
    EXPECT_EQ(edit->maxLength(), 511);
    for (const char* url : {"http://h/a.zip", "ftp://h/dir/", "http://h/b.txt", "HTTP://H/A.ZIP", "http://h/c"}) {
        edit->setText(QString::fromLatin1(url));
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QComboBox& box = w.frame->AddressBox();
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.itemText(0), "http://h/c");
    EXPECT_EQ(box.itemText(1), "HTTP://H/A.ZIP");
    EXPECT_FALSE(box.itemIcon(1).isNull());
    EXPECT_EQ(w.table.Count(), 4);  // the URL ending in "/" added nothing
    w.model.Flush();
    EXPECT_EQ(w.model.rowCount(), 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.frame->PaneText(2), "4 tasks is in queue");
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
    w.frame->View().SelectRows({1});
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
        w.state.activeCount = 1;
    }
    w.messages.answer = false;
    w.frame->RunCommand(CommandId::Exit);
    EXPECT_EQ(w.messages.shown, std::vector<std::string>{"There is task running, exit anyway?"});
    EXPECT_FALSE(w.state.stop);  // Cancel: everything goes on
    {
        auto guard = w.table.Lock();
        w.state.activeCount = 0;
    }
    w.frame->RunCommand(CommandId::Exit);
    EXPECT_EQ(w.messages.shown.size(), 1u);  // not asked again: nothing runs
    EXPECT_TRUE(w.state.stop);
    EXPECT_EQ(w.profile.Int("Settings", "MRU Num"), 0);  // saved on the way out
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
    const std::pair<const char*, bool> cases[] = {
        {"see http://h/a.zip for details", true}, {"ftp://h/f", true}, {"https://h/x", true},
        {"h/a.zip", false}, {"HTTP://H/A", false}, {"", false}};
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
        {"get this: http://127.0.0.1/a.zip please", false, true},
        {"127.0.0.1/a.zip", false, false},
        {"https://h/a.zip", true, true},
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
