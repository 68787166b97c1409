// Finding a task as a person does: Ctrl+F, the text typed into whatever has
// the focus then, the state chosen beside it; commands reach only the rows
// the user selected among those shown, and the filter and the File column
// come back at the next start.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolTip>

#include "base/tasks/tasktable.h"
#include "gui/mainwindow/taskfilterbar.h"
#include "tests/gui/mainwindow/windowdriver.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

using test::ClickRow;
using test::Press;
using test::ShowActive;
using test::Type;
using test::WaitForList;
using test::Window;

// Tasks "a.zip", "b.iso", "c.zip", ... in the given states.
void AddTasks(Window& w, std::initializer_list<std::pair<const char*, TaskState>> tasks)
{
    for (const auto& [name, state] : tasks) {
        const int row = w.table.Count();
        w.adder.AddTask(std::string("http://h/") + name, "");
        w.table.SetState(row, state);
    }
}

std::vector<std::string> TableNames(Window& w)
{
    std::vector<std::string> names;
    for (int row = 0; row < w.table.Count(); ++row) {
        names.push_back(w.table.CopyOut(row)->remotePath);
    }
    return names;
}

QStringList ShownTargets(CMainView& view)
{
    QStringList shown;
    for (int row = 0; row < view.model()->rowCount(); ++row) {
        shown << view.model()->index(row, kColTarget).data().toString();
    }
    return shown;
}

// The tool tip a person sees resting the pointer on a cell.
QString TipAt(CMainView& view, int row, int column)
{
    const QRect cell = view.visualRect(view.model()->index(row, column));
    const QPoint at = cell.center();
    QHelpEvent hover(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
    QApplication::sendEvent(view.viewport(), &hover);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

TEST(TaskFilterBar, CtrlFThenTypingNarrowsTheListAndEscapeBringsItBack)
{
    Window w;
    AddTasks(w, {{"report.zip", TaskState::Paused}, {"movie.iso", TaskState::Paused}, {"photos.zip", TaskState::Done}});
    ASSERT_TRUE(ShowActive(*w.frame));
    ASSERT_TRUE(WaitForList(w.model, 3));
    CMainView& view = w.frame->View();
    ClickRow(view, 1);
    Press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), &w.frame->FilterBar().TextField()) << "Ctrl+F goes to the filter";
    Type("ZIP");
    EXPECT_EQ(ShownTargets(view), (QStringList{"http://h/report.zip", "http://h/photos.zip"}));
    EXPECT_EQ(w.frame->FilterBar().CountText(), "2 of 3 shown");
    EXPECT_EQ(TableNames(w), (std::vector<std::string>{"/report.zip", "/movie.iso", "/photos.zip"}))
        << "the table keeps every task and its order";

    // On to the state beside it, by the keyboard: the last choice is "Failed".
    Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &w.frame->FilterBar().StateBox());
    Press(Qt::Key_End);
    EXPECT_EQ(ShownTargets(view), QStringList{});
    Press(Qt::Key_Up);  // "Done"
    EXPECT_EQ(ShownTargets(view), QStringList{"http://h/photos.zip"});
    Press(Qt::Key_Home);  // "All"

    test::Click(&w.frame->FilterBar().TextField());
    Press(Qt::Key_Escape);
    EXPECT_EQ(w.frame->FilterBar().TextField().text(), "");
    EXPECT_EQ(ShownTargets(view).size(), 3);
    EXPECT_EQ(w.frame->FilterBar().CountText(), "") << "no count while nothing is hidden";
    EXPECT_TRUE(w.frame->isVisible()) << "Escape in the filter does not hide the window";
}

TEST(TaskFilterBar, CommandsReachOnlyTheSelectedRowsAmongThoseShown)
{
    struct Case {
        const char* what;
        std::function<void(Window&)> act;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"Ctrl+A then Delete deletes the shown rows only",
         [](Window&) {
             Press(Qt::Key_Return);  // from the filter to the list
             Press(Qt::Key_A, Qt::ControlModifier);
             Press(Qt::Key_Delete);
         },
         {"/b.iso"}},
        {"a selected row the filter hid is out of reach",
         [](Window& w) {
             Press(Qt::Key_Delete, Qt::AltModifier);  // from the filter field: the window's key
             ClickRow(w.frame->View(), 1);            // "c.zip"
             Press(Qt::Key_Delete);
         },
         {"/a.zip", "/b.iso"}},
    };
    for (const Case& c : cases) {
        Window w;
        AddTasks(w, {{"a.zip", TaskState::Paused}, {"b.iso", TaskState::Paused}, {"c.zip", TaskState::Paused}});
        ASSERT_TRUE(ShowActive(*w.frame));
        ASSERT_TRUE(WaitForList(w.model, 3));
        ClickRow(w.frame->View(), 1);  // "b.iso", selected before the filter hides it
        Press(Qt::Key_F, Qt::ControlModifier);
        Type(".zip");
        ASSERT_EQ(ShownTargets(w.frame->View()).size(), 2) << c.what;
        EXPECT_TRUE(w.frame->View().SelectedTaskIds().empty()) << c.what;
        EXPECT_EQ(w.frame->View().ClickedTaskId(), -1) << c.what << ": the clicked task is hidden";
        c.act(w);
        EXPECT_EQ(TableNames(w), c.left) << c.what;
    }
}

TEST(TaskFilterBar, ARowComesAndGoesAsItsTaskChanges)
{
    Window w;
    AddTasks(w, {{"a.zip", TaskState::Running}, {"b.zip", TaskState::Paused}});
    ASSERT_TRUE(ShowActive(*w.frame));
    ASSERT_TRUE(WaitForList(w.model, 2));
    test::Click(&w.frame->FilterBar().StateBox());
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; })) << "the list opens";
    Press(Qt::Key_Escape);  // the open list closes; the choice by keys
    Press(Qt::Key_Down);    // "Running"
    CMainView& view = w.frame->View();
    EXPECT_EQ(ShownTargets(view), QStringList{"http://h/a.zip"});
    w.table.SetState(0, TaskState::Done);
    w.table.SetState(1, TaskState::Running);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShownTargets(view) == QStringList{"http://h/b.zip"}; }));
    EXPECT_EQ(w.frame->FilterBar().CountText(), "1 of 2 shown");
    w.adder.AddTask("http://h/new.zip", "");  // queued: hidden, and counted
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.frame->FilterBar().CountText() == "1 of 3 shown"; }));
}

// The name on disk, which a server's answer may have chosen: in the Target
// tool tip and the File column the heading's menu turns on; a failure's
// reason in the tool tip of every cell of its row.
TEST(TaskFilterBar, TheFileNameAndTheReasonOfAFailureShowWhereThePointerRests)
{
    test::FakeProfile classic;  // the columns of a run before the File column came first
    classic.WriteInt("Settings", "Show File Column", 0);
    Window w(classic);
    AddTasks(w, {{"get?id=7", TaskState::Paused}, {"caf%C3%A9.zip", TaskState::Error}});
    w.table.Update(0, [](TaskRecord& r) { r.saveAs = "/tmp/dl/Report 2024.pdf"; });  // the server's name
    w.table.SetText(1, kColStatus, "12:00:01 Error 404 Not Found");
    ASSERT_TRUE(ShowActive(*w.frame));
    ASSERT_TRUE(WaitForList(w.model, 2));
    CMainView& view = w.frame->View();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return view.model()->index(0, TaskListModel::kFileColumn).data() == "Report 2024.pdf"; }));
    EXPECT_EQ(TipAt(view, 0, kColTarget), "http://h/get?id=7\nFile: /tmp/dl/Report 2024.pdf");
    EXPECT_EQ(TipAt(view, 1, kColTarget),
              "http://h/caf\u00e9.zip\nFile: /tmp/dl/caf\u00e9.zip\nFailed: 12:00:01 Error 404 Not Found");
    EXPECT_EQ(TipAt(view, 1, kColSize), "0\nFailed: 12:00:01 Error 404 Not Found");

    ASSERT_FALSE(view.FileColumnShown());
    QHeaderView* header = view.horizontalHeader();
    test::WhenMenuShows([](QMenu& menu) {
        EXPECT_EQ(test::MenuTexts(menu), QStringList{"File"});
        test::Click(&menu, menu.actionGeometry(menu.actions().front()).center());
    });
    QTest::mouseClick(w.frame->windowHandle(), Qt::RightButton, {},
                      header->viewport()->mapTo(
                          w.frame.get(), QPoint(header->sectionViewportPosition(kColSize) + 5, header->height() / 2)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.FileColumnShown(); })) << "turned on from the heading's menu";
    EXPECT_EQ(header->visualIndex(TaskListModel::kFileColumn), kColTarget + 1) << "beside the URL";
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.columnWidth(TaskListModel::kFileColumn) > 0; }));

    // The File column's name is found too, as the filter's text. Back in
    // the window first, as a person is once the heading's menu closed.
    ASSERT_TRUE(ShowActive(*w.frame));
    test::Click(view.viewport(), QPoint(5, 5));
    Press(Qt::Key_F, Qt::ControlModifier);
    Type("report 2024");
    EXPECT_EQ(ShownTargets(view), QStringList{"http://h/get?id=7"});
}

TEST(TaskFilterBar, TheFilterAndTheFileColumnComeBackAtTheNextStart)
{
    test::FakeProfile saved;
    {
        Window w;
        AddTasks(w, {{"a.zip", TaskState::Paused}, {"b.iso", TaskState::Done}});
        ASSERT_TRUE(ShowActive(*w.frame));
        ASSERT_TRUE(WaitForList(w.model, 2));
        Press(Qt::Key_F, Qt::ControlModifier);
        Type("iso");
        Press(Qt::Key_Tab);
        Press(Qt::Key_End);
        Press(Qt::Key_Up);  // "Done"
        w.frame->View().ShowFileColumn(true);
        Press(Qt::Key_S, Qt::ControlModifier);  // Save Settings Now
        EXPECT_EQ(w.profile.Text("Settings", "Task Filter Text"), "iso");
        EXPECT_EQ(w.profile.Int("Settings", "Task Filter State"), 4);
        EXPECT_EQ(w.profile.Int("Settings", "Show File Column"), 1);
        EXPECT_EQ(w.profile.Int("Settings", "MRU Num"), 2) << "the stored list keeps every task";
        saved = w.profile;
    }
    Window again(saved);
    again.app.store.LoadTasks(again.adder);
    ASSERT_TRUE(ShowActive(*again.frame));
    ASSERT_TRUE(WaitForList(again.model, 2));
    EXPECT_EQ(again.frame->FilterBar().TextField().text(), "iso");
    EXPECT_EQ(again.frame->FilterBar().StateBox().currentText(), "Done");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShownTargets(again.frame->View()) == QStringList{"http://h/b.iso"}; }));
    EXPECT_EQ(again.frame->FilterBar().CountText(), "1 of 2 shown");
    EXPECT_TRUE(again.frame->View().FileColumnShown());
}

// A filter kept from the last run narrows the restored list, but a URL the
// user then adds is never hidden by it: the filter goes, and the window says so.
TEST(TaskFilterBar, ATaskJustAddedIsNeverHiddenByAKeptFilter)
{
    test::FakeProfile saved;
    {
        Window w;
        AddTasks(w, {{"file1.zip", TaskState::Paused}, {"other.iso", TaskState::Done}});
        ASSERT_TRUE(w.app.store.Save(w.settings, w.table));
        saved = w.profile;
        TaskFilter("file1", StateChoice::All).Write(saved);
    }
    Window again(saved);
    again.app.store.LoadTasks(again.adder);
    again.frame->ListRestored();
    ASSERT_TRUE(ShowActive(*again.frame));
    ASSERT_TRUE(WaitForList(again.model, 2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShownTargets(again.frame->View()).size() == 1; }))
        << "the restored list stays filtered";
    EXPECT_EQ(again.frame->FilterBar().TextField().text(), "file1");

    test::Click(&again.frame->AddressBox());
    Type("http://h/typed.bin");
    Press(Qt::Key_Return);
    ASSERT_TRUE(WaitForList(again.model, 3));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShownTargets(again.frame->View()).contains("http://h/typed.bin"); }))
        << "the task just added is in view";
    EXPECT_EQ(again.frame->FilterBar().TextField().text(), "");
    EXPECT_EQ(again.frame->statusBar()->currentMessage(), "The filter was cleared to show the new download.");
}

// The window as it first opens where the screen has room: every column in
// view at once, the status too, and the URL with what is left.
TEST(TaskFilterBar, AtTheFirstWidthEveryColumnIsInView)
{
    Window w;
    AddTasks(w, {{"a.zip", TaskState::Error}});
    CMainView& view = w.frame->View();
    w.frame->resize(view.WidthForAllColumns(), 400);
    ASSERT_TRUE(ShowActive(*w.frame));
    ASSERT_TRUE(WaitForList(w.model, 1));
    QHeaderView* header = view.horizontalHeader();
    // The heading lays its columns out for the width it has from the event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return header->length() == header->viewport()->width(); }))
        << "the URL's column takes the width the others leave";
    for (int c = 0; c < kColumnCount; ++c) {
        EXPECT_LE(header->sectionViewportPosition(c) + header->sectionSize(c), view.viewport()->width())
            << "column " << c << " runs off the right edge";
    }
    EXPECT_FALSE(view.horizontalScrollBar()->isVisible());
    EXPECT_GE(view.columnWidth(kColStatus), 250);
    EXPECT_GE(view.columnWidth(kColTarget), 200) << "the URL has its room";
    // Wider still: the URL takes the spare width, the status keeps its own.
    const int before = view.columnWidth(kColTarget);
    w.frame->resize(w.frame->width() + 300, 400);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.columnWidth(kColTarget) >= before + 300; }));
    EXPECT_EQ(view.columnWidth(kColStatus), 250);
}

}  // namespace
}  // namespace dromo
