// "Refresh Address…" on a task whose address expired, driven as a person
// does: a click on the row, then keys. With the page the task came from,
// the page opens and nothing else changes; a task that does not wait for a
// new address cannot take the item.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>

#include "base/values/taskrow.h"
#include "tests/gui/mainwindow/windowdriver.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

using test::Press;
using test::Window;

constexpr const char* kExpired = "[12:00:00] The address has expired";

TaskId RestoreWaiting(Window& w, const std::string& url, const std::string& referrer)
{
    w.settings.options.resumeIfStart = 0;
    TaskRecord r;
    r.saveAs = "/tmp/dl/" + url.substr(url.rfind('/') + 1, url.find('?') - url.rfind('/') - 1);
    r.SetState(TaskState::Paused);
    r.failure = kExpired;
    r.referrer = referrer;
    EXPECT_TRUE(w.adder.RestoreTask(url, "", "Yes", "", r));
    return w.table.TaskIdAt(w.table.Count() - 1);
}

// Opens the clicked row's menu with the keyboard and walks down to the
// item; `enabled` tells whether it could be reached (the menu skips an
// item that is off).
void TakeRefreshFromRowMenu(bool& enabled)
{
    enabled = false;
    test::WhenMenuShows([&enabled](QMenu& menu) {
        const QString wanted = QApplication::translate("dromo::CMainFrame", "Refresh Address…");
        (void)QTest::qWaitFor([&] { return menu.activeAction() != nullptr; });
        for (int i = 0; i < menu.actions().size() && menu.activeAction() != nullptr; ++i) {
            if (menu.activeAction()->text() == wanted) {
                enabled = true;
                QTest::keyClick(&menu, Qt::Key_Return);
                return;
            }
            QTest::keyClick(&menu, Qt::Key_Down);
        }
        menu.close();
    });
    Press(Qt::Key_F10, Qt::ShiftModifier);
}

TEST(RefreshAddress, ATaskFromAPageOpensThePageInTheBrowser)
{
    Window w;
    const TaskId task = RestoreWaiting(w, "http://old.example/g.bin?sig=1", "https://site.example/downloads.html");
    w.adder.AddTask("http://h/other.zip", "");
    ASSERT_TRUE(test::ShowActive(*w.frame));
    ASSERT_TRUE(test::WaitForList(w.model, 2));
    bool enabled = true;
    test::ClickRow(w.frame->View(), 1);
    TakeRefreshFromRowMenu(enabled);
    EXPECT_FALSE(enabled);
    test::ClickRow(w.frame->View(), 0);
    TakeRefreshFromRowMenu(enabled);
    EXPECT_TRUE(enabled);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.shell.opened.empty(); }));
    EXPECT_EQ(w.shell.opened.back(), "https://site.example/downloads.html");
    EXPECT_TRUE(w.table.CopyOut(w.table.RowOf(task))->WaitsForNewAddress());
    EXPECT_EQ(w.engines.script.Calls().size(), 0u);
}

}  // namespace
}  // namespace dromo
