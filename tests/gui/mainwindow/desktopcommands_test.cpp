// The window's desktop conveniences driven through its real actions: Open
// Containing Folder on a row, the Add URL sheet taking a copied URL, and the
// program's --version.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "gui/dialogs/task/caddprop.h"
#include "gui/dialogs/task/caddurl.h"
#include "gui/mainwindow/cmainview.h"
#include "tests/gui/mainwindow/windowdriver.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

QAction* Find(QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

TEST(DesktopCommands, OpenContainingFolderOnAFinishedRow)
{
    test::Window w;
    w.adder.AddTask("http://h/a.zip", "");
    w.adder.AddTask("http://h/b.zip", "");
    w.table.SetState(0, TaskState::Done);
    w.model.Flush();
    ASSERT_TRUE(test::ShowActive(*w.frame));
    CMainView& view = w.frame->View();
    for (int row : {1, 0}) {
        test::ClickRow(view, row);
        auto menu = w.frame->TaskMenu(true);
        QAction* open = Find(*menu, "Open Containing Folder");
        ASSERT_NE(open, nullptr);
        EXPECT_EQ(open->isEnabled(), row == 0) << "only a finished file has a folder to show";
        if (open->isEnabled()) {
            open->trigger();
        }
    }
    // The fake shell has no file manager: the folder is opened instead.
    EXPECT_EQ(w.shell.opened, std::vector<std::string>{"/tmp/dl/"});
    EXPECT_TRUE(w.messages.shown.empty());
}

// An empty Add URL sheet starts with a copied URL; anything else on the
// clipboard, or a URL the sheet was given, leaves it as it was.
TEST(DesktopCommands, AddUrlTakesACopiedUrl)
{
    struct Case {
        QString clipboard;
        QString given;  // URL handed to the sheet (a capture with "Popup Dialog")
        QString shown;
    };
    const Case cases[] = {
        {"  https://files.example/setup.iso\n", "", "https://files.example/setup.iso"},
        {"ftp://files.example/pub/x.tar", "", "ftp://files.example/pub/x.tar"},
        {"some words", "", ""},
        {"file:///etc/passwd", "", ""},
        {"https://files.example/a.zip", "http://other.example/b.zip", "http://other.example/b.zip"},
    };
    for (const Case& c : cases) {
        test::Window w;
        QApplication::clipboard()->setText(c.clipboard);
        QString shown = "(no sheet)";
        w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
            shown = static_cast<CAddProp&>(sheet).UrlPage()->UrlEdit()->text();
            sheet.reject();
        });
        if (c.given.isEmpty()) {
            w.frame->RunCommand(CommandId::AddUrl);
        } else {
            w.settings.options.popupDialog = 1;
            w.frame->Desk().AddUrl(c.given);
        }
        EXPECT_EQ(shown, c.shown) << c.clipboard.toStdString();
        EXPECT_EQ(w.table.Count(), 0) << "a copied URL is only offered";
    }
    QApplication::clipboard()->clear();
}

TEST(DesktopCommands, VersionIsPrintedWithoutStartingTheWindow)
{
    std::string output;
    EXPECT_EQ(test::RunCommand({DROMO_BIN, "--version"}, &output), 0);
    EXPECT_EQ(output, "dromo 1.04\n");
}

}  // namespace
}  // namespace dromo
