// "Refresh Address…" on a task whose address expired, driven as a person
// does: a click on the row, then keys. With the page the task came from,
// the page opens and nothing else changes; a task that does not wait for a
// new address cannot take the item. Without that page, the new address is
// asked for (the clipboard's offered) and taken only when it provably
// serves the same file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <functional>

#include "base/commands/samefile.h"
#include "base/values/addresssample.h"
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
// item that is off). `beforeChoosing` runs just before the item is taken,
// so a dialog it opens can be waited for from inside its own loop.
void TakeRefreshFromRowMenu(
    bool& enabled, const std::function<void()>& beforeChoosing = [] {})
{
    enabled = false;
    test::WhenMenuShows([&enabled, beforeChoosing](QMenu& menu) {
        const QString wanted = QApplication::translate("dromo::CMainFrame", "Refresh Address…");
        (void)QTest::qWaitFor([&] { return menu.activeAction() != nullptr; });
        for (int i = 0; i < menu.actions().size() && menu.activeAction() != nullptr; ++i) {
            if (menu.activeAction()->text() == wanted) {
                enabled = true;
                beforeChoosing();
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

// The bytes a file has at an offset, each unlike its neighbours.
std::string BytesAt(std::int64_t first, std::int64_t length)
{
    std::string out;
    for (std::int64_t i = first; i < first + length; ++i) {
        out += static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return out;
}

// What a new address of the file the partial one was begun from answers.
AddressSample SameFile()
{
    constexpr std::int64_t kResume = 200000;
    const std::string validator = "etag=\"f300000\"\nsize=300000\n";
    AddressSample s;
    s.resumePoint = kResume;
    s.keptValidator = validator;
    s.keptTail = BytesAt(kResume - kSameFileTail, kSameFileTail);
    s.code = 206;
    s.rangeFirst = kResume - kSameFileTail;
    s.rangeLast = kResume - 1;
    s.total = 300000;
    s.validator = validator;
    s.tail = s.keptTail;
    return s;
}

// Chooses the item on the clicked row and answers the dialog it opens:
// `offered` gets what the dialog offered, then `typed` replaces it unless
// empty, and Return gives it.
void RefreshByDialog(QString& offered, const QString& typed)
{
    bool enabled = false;
    TakeRefreshFromRowMenu(enabled, [&offered, typed] {
        test::WhenDialogShows([&offered, typed](QDialog& dialog) {
            auto* field = dialog.findChild<QLineEdit*>();
            ASSERT_NE(field, nullptr);
            offered = field->text();
            ASSERT_TRUE(test::ShowActive(dialog));
            if (typed.isEmpty()) {
                test::Click(field);
            } else {
                test::TypeOver(field, typed);
            }
            if (QApplication::focusWidget() == nullptr) {
                dialog.reject();  // never left open over the test
                ADD_FAILURE() << "the dialog took no keys";
                return;
            }
            Press(Qt::Key_Return);
        });
    });
    EXPECT_TRUE(enabled);
}

TEST(RefreshAddress, ATaskWithoutAPageTakesOnlyANewAddressOfTheSameFile)
{
    Window w;
    const std::string old = "http://old.example/g.bin?sig=1";
    const std::string renewed = "http://new.example/signed/two/g.bin";
    const std::string other = "http://new.example/signed/other/g.bin?alter=1";
    const TaskId task = RestoreWaiting(w, old, "");
    QApplication::clipboard()->setText(QString::fromStdString(renewed));
    ASSERT_TRUE(test::ShowActive(*w.frame));
    ASSERT_TRUE(test::WaitForList(w.model, 1));

    // Other bytes behind the typed address: a warning with the reason, and
    // the task keeps waiting at its old address.
    AddressSample changed = SameFile();
    changed.tail.back() ^= 1;
    w.engines.script.SetSample(changed);
    QString offered;
    test::ClickRow(w.frame->View(), 0);
    RefreshByDialog(offered, QString::fromStdString(other));
    EXPECT_EQ(offered.toStdString(), renewed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.messages.shown.empty(); }));
    ASSERT_FALSE(JudgeSameFile(changed).same);
    EXPECT_EQ(w.messages.shown.back(), NotSameFileMessage(JudgeSameFile(changed).reason));
    std::optional<TaskRecord> r = w.table.CopyOut(w.table.RowOf(task));
    ASSERT_TRUE(r.has_value());
    EXPECT_TRUE(r->WaitsForNewAddress());
    EXPECT_EQ(r->host, "old.example");
    EXPECT_EQ(w.table.Count(), 1);

    // The offered address serves the same file: the task continues from it.
    w.engines.script.SetSample(SameFile());
    const std::size_t warnings = w.messages.shown.size();
    offered.clear();
    // The closed dialog leaves no window active here; a person's click
    // back on the list would make the window active again.
    ASSERT_TRUE(test::ShowActive(*w.frame));
    test::ClickRow(w.frame->View(), 0);
    RefreshByDialog(offered, QString());
    EXPECT_EQ(offered.toStdString(), renewed);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const std::optional<TaskRecord> now = w.table.CopyOut(w.table.RowOf(task));
        return now && now->host == "new.example";
    }));
    r = w.table.CopyOut(w.table.RowOf(task));
    EXPECT_FALSE(r->WaitsForNewAddress());
    EXPECT_NE(r->State(), TaskState::Paused);
    EXPECT_EQ(r->saveAs, "/tmp/dl/g.bin");
    EXPECT_EQ(w.table.Count(), 1);
    EXPECT_EQ(w.messages.shown.size(), warnings);
    const std::vector<std::string> calls = w.engines.script.Calls();
    const auto sampled = [&](const std::string& path) {
        return std::count(calls.begin(), calls.end(), "SampleAddress new.example" + path + " /tmp/dl/g.bin");
    };
    EXPECT_EQ(sampled("/signed/other/g.bin?alter=1"), 1);
    EXPECT_EQ(sampled("/signed/two/g.bin"), 1);
}

}  // namespace
}  // namespace dromo
