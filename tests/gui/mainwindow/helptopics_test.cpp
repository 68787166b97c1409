// F1 and Shift+F1 land on the guide's page about the window in use, and
// every page and section the program names is in the guide.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <set>

#include "base/capture/linkchoice.h"
#include "gui/dialogs/task/caddurl.h"
#include "gui/dialogs/task/cdlgimport.h"
#include "gui/mainwindow/cdropbasket.h"
#include "gui/mainwindow/cmainview.h"
#include "gui/mainwindow/cspeedbar.h"
#include "gui/mainwindow/helptopic.h"
#include "gui/widgets/cpropertypage.h"
#include "gui/widgets/cpropertysheet.h"
#include "tests/gui/mainwindow/windowdriver.h"
#include "tests/gui/mainwindow/windowrig.h"

namespace dromo {
namespace {

using test::WhenDialogShows;
using test::Window;

// The topic of every widget of a window, and of every tab of a sheet.
void CollectTopics(QWidget& window, std::set<QString>& topics)
{
    auto* sheet = qobject_cast<CPropertySheet*>(&window);
    const int tabs = sheet ? sheet->PageCount() : 1;
    // The first page keeps a sheet on it until it holds what it asks for.
    if (auto* url = window.findChild<CAddURL*>(); url && url->UrlEdit()->text().isEmpty()) {
        url->UrlEdit()->setText(QStringLiteral("http://files.example/c.zip"));
    }
    if (auto* import = window.findChild<CDlgImport*>()) {
        import->UrlEdit()->setText(QStringLiteral("http://files.example/c.zip"));
        import->FileEdit()->setText(QStringLiteral("/tmp/dl/c.zip"));
    }
    for (int i = 0; i < tabs; ++i) {
        if (sheet) {
            ASSERT_TRUE(sheet->SelectPage(i)) << window.windowTitle().toStdString() << " tab " << i;
            EXPECT_TRUE(HelpTopic::For(sheet).contains('#'))
                << window.windowTitle().toStdString() << " tab " << i << " has no section of its own";
        }
        topics.insert(HelpTopic::For(&window));
        for (QWidget* w : window.findChildren<QWidget*>()) {
            topics.insert(HelpTopic::For(w));
        }
    }
}

// Opens a modal window by a command of the main window and collects its
// topics while it is up.
void CollectFromCommand(Window& w, CommandId id, std::set<QString>& topics)
{
    bool seen = false;
    WhenDialogShows([&](QDialog& dialog) {
        seen = true;
        CollectTopics(dialog, topics);
        dialog.reject();
    });
    w.frame->RunCommand(id);
    EXPECT_TRUE(seen) << "command " << static_cast<int>(id) << " showed no window";
}

TEST(HelpTopics, EveryTopicTheProgramNamesIsInTheGuide)
{
    Window w;
    w.adder.AddTask("http://files.example/a.zip", "");
    ASSERT_TRUE(test::ShowActive(*w.frame));
    ASSERT_TRUE(test::WaitForList(w.model, 1));
    test::ClickRow(w.frame->View(), 0);  // Properties is the clicked task's

    std::set<QString> topics;
    CollectTopics(*w.frame, topics);
    CollectTopics(w.frame->SpeedBar(), topics);
    CollectTopics(w.frame->DropBasket(), topics);
    for (CommandId id : {CommandId::AddUrl, CommandId::Properties, CommandId::LoadBrokenFile, CommandId::Legend,
                         CommandId::WallpaperCustomize}) {
        CollectFromCommand(w, id, topics);
    }
    // The rig's "no workers" is no value the Connection page lets a person
    // leave with.
    w.settings.options.maxThreadNumber = 1;
    CollectFromCommand(w, CommandId::Options, topics);
    w.settings.options.maxThreadNumber = 0;
    std::vector<OfferedLink> links = {{"http://files.example/b.zip", {}}};
    ASSERT_TRUE(w.frame->OfferLinks(links).isEmpty());
    QWidget* list = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        list = QApplication::activeWindow();
        return list && list != w.frame.get();
    }));
    CollectTopics(*list, topics);
    list->close();

    const QString guide = QStringLiteral(DROMO_SOURCE_DIR "/docs/help/");
    std::set<QString> pages;
    for (const QString& topic : topics) {
        const QString page = topic.section('#', 0, 0);
        const QString section = topic.section('#', 1);
        pages.insert(page);
        QFile file(guide + page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << topic.toStdString() << ": no such page in docs/help";
        if (!section.isEmpty()) {
            EXPECT_TRUE(file.readAll().contains(QStringLiteral("id=\"%1\"").arg(section).toUtf8()))
                << topic.toStdString() << ": no such section on the page";
        }
    }
    // Each window and sheet has a page of its own.
    for (const char* page :
         {"main-window.html", "task-list.html", "add-url.html", "task-properties.html", "broken-file.html",
          "options.html", "speed-bar.html", "drop-basket.html", "browser.html"}) {
        EXPECT_EQ(pages.count(QString::fromLatin1(page)), 1u) << page;
    }
}

// The first control of a page a click gives the focus to.
QWidget* FirstField(QWidget& page)
{
    for (QWidget* w : page.findChildren<QWidget*>()) {
        if ((w->focusPolicy() & Qt::ClickFocus) && w->isVisible() && w->isEnabled() && !w->focusProxy()) {
            return w;
        }
    }
    return &page;
}

// The page the shell was last asked to open, from the help folder on.
std::string LastHelpPage(const Window& w)
{
    if (w.shell.opened.empty()) {
        return "(nothing opened)";
    }
    const std::string& path = w.shell.opened.back();
    const auto at = path.rfind("help/");
    return at == std::string::npos ? path : path.substr(at + 5);
}

// A click on a tab and on its first control, then F1 and Shift+F1: the
// pages each key opened.
void PressHelpOnTab(const Window& w, CPropertySheet& sheet, int tab, std::string& f1, std::string& shiftF1)
{
    ASSERT_TRUE(test::ShowActive(sheet));
    if (auto* url = sheet.findChild<CAddURL*>(); url && tab != 0) {
        // The URL page lets a person leave it once it holds a URL.
        test::TypeOver(url->UrlEdit(), QStringLiteral("http://files.example/d.zip"));
    }
    QTabBar* bar = sheet.Tabs()->tabBar();
    ASSERT_TRUE(bar->rect().contains(bar->tabRect(tab))) << "tab " << tab << " is out of sight";
    test::Click(bar, bar->tabRect(tab).center());
    ASSERT_EQ(sheet.Tabs()->currentIndex(), tab);
    test::Click(FirstField(*sheet.Page(tab)));
    ASSERT_TRUE(sheet.Page(tab)->isAncestorOf(QApplication::focusWidget()));
    test::Press(Qt::Key_F1);
    f1 = LastHelpPage(w);
    test::Press(Qt::Key_F1, Qt::ShiftModifier);
    shiftF1 = LastHelpPage(w);
}

TEST(HelpKeys, EachKeyOpensThePageOfTheWindowOrPartInUse)
{
    Window w;
    ASSERT_TRUE(test::ShowActive(*w.frame));
    test::Click(&w.frame->AddressBox());
    test::Press(Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(LastHelpPage(w), "main-window.html#address-bar");
    test::Click(w.frame->View().viewport());
    test::Press(Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(LastHelpPage(w), "task-list.html");
    test::Press(Qt::Key_F1);  // Help Topics: the guide's first page, wherever the focus is
    EXPECT_EQ(LastHelpPage(w), "index.html");

    // In a sheet, on the tab a person picked.
    struct Case {
        CommandId command;
        int tab;
        const char* page;
    };
    const Case cases[] = {
        {CommandId::Options, 1, "options.html#connection"},
        {CommandId::Options, 6, "options.html#schedule"},  // a page the task sheets have too
        {CommandId::AddUrl, 0, "add-url.html#url"},
        {CommandId::AddUrl, 5, "add-url.html#protocol"},
        {CommandId::AddUrl, 3, "add-url.html#exception"},
        {CommandId::LoadBrokenFile, 0, "broken-file.html#file"},
    };
    for (const Case& c : cases) {
        std::string f1, shiftF1;
        WhenDialogShows([&](QDialog& dialog) {
            PressHelpOnTab(w, static_cast<CPropertySheet&>(dialog), c.tab, f1, shiftF1);
            dialog.reject();  // also after a failure: the command waits for the sheet
        });
        w.frame->RunCommand(c.command);
        EXPECT_EQ(f1, c.page);
        EXPECT_EQ(shiftF1, c.page);
    }

    // The speed bar is a window of its own, with nothing in it to take the
    // focus: its keys go to the window itself.
    ASSERT_TRUE(test::ShowActive(w.frame->SpeedBar()));
    QTest::keyClick(&w.frame->SpeedBar(), Qt::Key_F1);
    EXPECT_EQ(LastHelpPage(w), "speed-bar.html");
    EXPECT_TRUE(w.messages.shown.empty());
}

}  // namespace
}  // namespace dromo
