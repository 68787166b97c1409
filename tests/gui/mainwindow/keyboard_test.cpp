// The main window from the keyboard and through the accessibility API, as
// a person without a mouse or with a screen reader meets it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <algorithm>
#include <vector>

#include "gui/mainwindow/cmainframe.h"
#include "gui/mainwindow/cmainview.h"
#include "gui/mainwindow/taskfilterbar.h"
#include "tests/gui/mainwindow/windowdriver.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

using test::Press;
using test::Window;

// Keys the menus do not show: Tab out of the list, Return on a finished row
// opens it, Shift+F10 opens the row's menu on its first item, the browser's
// keys put the keyboard in the address bar.
TEST(Keyboard, TheListAndTheAddressBarAnswerTheKeysPeopleExpect)
{
    Window w;
    w.adder.AddTask("http://h/done.zip", "");
    w.table.SetState(0, TaskState::Done);
    w.table.Update(0, [](TaskRecord& r) { r.saveAs = "/tmp/dl/done.zip"; });
    w.model.Flush();
    ASSERT_TRUE(test::ShowActive(*w.frame));
    CMainView& view = w.frame->View();
    test::ClickRow(view, 0);
    ASSERT_EQ(QApplication::focusWidget(), &view);

    Press(Qt::Key_Return);
    EXPECT_EQ(w.shell.opened, std::vector<std::string>{"/tmp/dl/done.zip"}) << "Return opens as a double-click";

    QString active;
    test::WhenMenuShows([&active](QMenu& menu) {
        (void)QTest::qWaitFor([&] { return menu.activeAction() != nullptr; });
        active = menu.activeAction() != nullptr ? menu.activeAction()->text() : QString();
        menu.close();
    });
    Press(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(active, "Properties");

    Press(Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), &view) << "Tab leaves the list";

    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::Key_F6), QKeySequence(Qt::ALT | Qt::Key_D)}) {
        test::ClickRow(view, 0);
        w.frame->AddressBox().setEditText("http://h/typed.bin");
        QTest::keySequence(QApplication::focusWidget(), key);
        QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus == &w.frame->AddressBox() || focus == w.frame->AddressBox().lineEdit())
            << key.toString().toStdString();
        EXPECT_EQ(w.frame->AddressBox().lineEdit()->selectedText(), "http://h/typed.bin") << "typed over";
    }
}

// Home and End go to the first and the last task, as the guide says, and
// keep the column as Up and Down do; Shift selects on the way, Ctrl moves
// without selecting. A table's own Home and End stay in the row.
TEST(Keyboard, HomeAndEndGoToTheFirstAndTheLastTask)
{
    Window w;
    for (const char* url : {"http://h/a.bin", "http://h/b.bin", "http://h/c.bin", "http://h/d.bin"}) {
        w.adder.AddTask(url, "");
    }
    w.model.Flush();
    ASSERT_TRUE(test::ShowActive(*w.frame));
    CMainView& view = w.frame->View();
    test::ClickRow(view, 1);
    ASSERT_EQ(QApplication::focusWidget(), &view);
    const int column = view.currentIndex().column();

    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int current;
        std::vector<int> selected;
    };
    const Step steps[] = {
        {Qt::Key_End, {}, 3, {3}},
        {Qt::Key_Home, {}, 0, {0}},
        {Qt::Key_End, Qt::ShiftModifier, 3, {0, 1, 2, 3}},
        {Qt::Key_Up, {}, 2, {2}},
        {Qt::Key_Home, Qt::ControlModifier, 0, {2}},
        {Qt::Key_End, {}, 3, {3}},
    };
    for (const Step& step : steps) {
        Press(step.key, step.modifiers);
        std::vector<int> selected;
        for (const QModelIndex& index : view.selectionModel()->selectedRows()) {
            selected.push_back(index.row());
        }
        std::sort(selected.begin(), selected.end());
        const std::string what = QKeySequence(step.key | step.modifiers).toString().toStdString();
        EXPECT_EQ(view.currentIndex().row(), step.current) << what;
        EXPECT_EQ(view.currentIndex().column(), column) << what << ": the column stays";
        EXPECT_EQ(selected, step.selected) << what;
    }
}

// The address bar takes a pattern as the Add URL sheet does: one task per
// URL; a faulty pattern is refused with the sheet's words and adds nothing.
TEST(Keyboard, TheAddressBarExpandsAPattern)
{
    Window w;
    ASSERT_TRUE(test::ShowActive(*w.frame));
    QComboBox& box = w.frame->AddressBox();
    test::TypeOver(&box, "http://h/img[1-3].bin");
    Press(Qt::Key_Return);
    ASSERT_EQ(w.table.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(w.table.CopyOut(i)->saveAs, "/tmp/dl/img" + std::to_string(i + 1) + ".bin");
    }
    EXPECT_EQ(w.addresses.Entries().front(), "http://h/img[1-3].bin");
    test::TypeOver(&box, "http://h/img[3-1].bin");
    Press(Qt::Key_Return);
    EXPECT_EQ(w.table.Count(), 3);
    ASSERT_FALSE(w.messages.shown.empty());
    EXPECT_NE(w.messages.shown.back().find("counts backwards"), std::string::npos) << w.messages.shown.back();
}

}  // namespace
}  // namespace dromo
