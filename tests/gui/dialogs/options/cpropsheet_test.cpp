// The options sheet and its edit dialogs driven through their controls.

#include <gtest/gtest.h>

#include <algorithm>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "gui/dialogs/lists/cdlgcategory.h"
#include "gui/dialogs/lists/cdlgproxy.h"
#include "gui/dialogs/lists/cdlgsite.h"
#include "gui/dialogs/options/ccfgauto.h"
#include "gui/dialogs/options/ccfgcat.h"
#include "gui/dialogs/options/ccfgconn.h"
#include "gui/dialogs/options/ccfggen.h"
#include "gui/dialogs/options/ccfgpro.h"
#include "gui/dialogs/options/ccfgproxy.h"
#include "gui/dialogs/options/ccfgsec.h"
#include "gui/dialogs/options/ccfgsnd.h"
#include "gui/dialogs/options/ccfgsys.h"
#include "gui/dialogs/options/ccfgvirus.h"
#include "gui/dialogs/options/cpropsheet.h"
#include "gui/widgets/numberfield.h"
#include "gui/widgets/speedlimitgroup.h"
#include "tests/base/fakes/fakes.h"
#include "tests/gui/dialogs/scriptedfiles.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

enum Tab {
    kGeneral,
    kConnection,
    kSystem,
    kAutomation,
    kProxy,
    kProtocol,
    kSchedule,
    kCategory,
    kSecurity,
    kVirus,
    kSounds
};

struct Options {
    ViewSettings live;
    test::FakeMessages messages;
    test::ScriptedFiles files;
    test::FakeSound sound;
    int cleared = 0;
    std::unique_ptr<CPropSheet> sheet;

    Options()
    {
        live.options.saveTo = "/dl/";
        live.proxies = {{"proxy.a", 8080, "", ""}, {"proxy.b", 3128, "", ""}};
        live.categories = {{"Archives", "zip", "/zips/"}};
        live.sites = {{"s1", "u", ""}, {"s2", "u", ""}};
    }
    CPropSheet& Open()
    {
        sheet = std::make_unique<CPropSheet>(nullptr, live, messages, files, sound, [this] { ++cleared; });
        EXPECT_TRUE(test::ShowActive(*sheet));
        return *sheet;
    }
    bool Ok()
    {
        sheet->accept();
        return sheet->result() == QDialog::Accepted;
    }
};

void Select(QTableWidget* list, std::initializer_list<int> rows)
{
    list->clearSelection();
    for (int row : rows) {
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

TEST(CPropSheet, ElevenTabsInOrder)
{
    Options o;
    CPropSheet& s = o.Open();
    QStringList tabs;
    for (int i = 0; i < s.Tabs()->count(); ++i) {
        tabs << s.Tabs()->tabText(i);
    }
    EXPECT_EQ(tabs, (QStringList{"General", "Connection", "System", "Automation", "Proxy", "Protocol", "Schedule",
                                 "Category", "Security", "Virus Check", "Sounds"}));
    EXPECT_EQ(s.windowTitle(), "Options");
}

// The default speed limit is typed as on a task's sheet, and checked the same.
TEST(CPropSheet, TheSpeedLimitCanBeTyped)
{
    Options o;
    o.live.options.maxSpeedValue = 300;
    CPropSheet& s = o.Open();
    ASSERT_TRUE(s.SelectPage(kConnection));
    SpeedLimitGroup* speed = s.Connection()->Speed();
    EXPECT_EQ(speed->Figure()->text(), "300");
    test::TypeOver(speed->Figure(), "0");
    EXPECT_FALSE(s.SelectPage(kSounds));
    EXPECT_EQ(o.messages.shown, std::vector<std::string>{"Please enter an integer between 1 and 10000."});
    test::TypeOver(speed->Figure(), "4096");
    EXPECT_EQ(speed->Slider()->value(), 4096);
    ASSERT_TRUE(o.Ok());
    EXPECT_EQ(s.Result().options.maxSpeedValue, 4096);
}

TEST(CPropSheet, NothingOpenedHandsBackTheSameSettings)
{
    Options o;
    o.live.options.maxSpeedValue = -1;
    o.live.options.refreshRate = 300;
    o.Open();
    ASSERT_TRUE(o.Ok());
    const OptionsSheetResult r = o.sheet->Result();
    EXPECT_EQ(r.options.maxSpeedValue, -1);
    EXPECT_EQ(r.options.refreshRate, 300);
    EXPECT_EQ(r.options.userAgent, o.live.options.userAgent);
    EXPECT_FALSE(r.proxies);
    EXPECT_FALSE(r.categories);
    EXPECT_FALSE(r.sites);
}

TEST(CPropSheet, RangeMessagesOfTheNumberFields)
{
    struct Case {
        Tab tab;
        std::function<NumberField*(CPropSheet&)> field;
        const char* text;
        const char* message;
    } cases[] = {
        {kGeneral, [](CPropSheet& s) { return s.General()->MaxHistory(); }, "4",
         "Please enter an integer between 5 and 20."},
        {kSystem, [](CPropSheet& s) { return s.System()->Refresh(); }, "0",
         "Please enter an integer between 1 and 50."},
        {kSystem, [](CPropSheet& s) { return s.System()->Refresh(); }, "51",
         "Please enter an integer between 1 and 50."},
        {kConnection, [](CPropSheet& s) { return s.Connection()->Threads(); }, "13",
         "Please enter an integer between 1 and 12."},
        {kConnection, [](CPropSheet& s) { return s.Connection()->ErrorCount(); }, "", "Please enter an integer."},
        {kConnection, [](CPropSheet& s) { return s.Connection()->Connections(); }, "17",
         "Please enter an integer between 1 and 16."},
    };
    for (const Case& c : cases) {
        Options o;
        CPropSheet& s = o.Open();
        ASSERT_TRUE(s.SelectPage(c.tab));
        c.field(s)->Edit()->setText(c.text);
        EXPECT_FALSE(s.SelectPage(kSounds)) << c.text;
        ASSERT_EQ(o.messages.shown.size(), 1u) << c.text;
        EXPECT_EQ(o.messages.shown[0], c.message);
    }
}

TEST(CPropSheet, ProxyListEditsStayOnThePageUntilOk)
{
    Options o;
    CPropSheet& s = o.Open();
    ASSERT_TRUE(s.SelectPage(kProxy));
    CCfgProxy* page = s.Proxy();
    page->Enable()->click();
    page->SetEditor([](const ProxyEntry&) { return ProxyEntry{"proxy.c", 8000, "", ""}; });
    page->AddButton()->click();
    EXPECT_EQ(page->List()->rowCount(), 3);
    s.reject();
    EXPECT_EQ(o.live.proxies.size(), 2u) << "Cancel drops the added proxy";

    CPropSheet& again = o.Open();
    ASSERT_TRUE(again.SelectPage(kProxy));
    CCfgProxy* p = again.Proxy();
    p->Enable()->click();
    ProxyEntry answer{"PROXY.A", 8081, "", ""};
    int asked = 0;
    p->SetEditor([&](const ProxyEntry& initial) {
        ++asked;
        EXPECT_EQ(initial.host, "proxy.a");
        return answer;
    });
    Select(p->List(), {0});
    p->EditButton()->click();
    EXPECT_EQ(p->List()->item(0, 0)->text(), "PROXY.A") << "only the case changed: no duplicate";
    EXPECT_EQ(p->List()->item(0, 1)->text(), "8081");
    answer.host = "Proxy.B";
    p->SetEditor([&](const ProxyEntry&) {
        ++asked;
        return answer;
    });
    Select(p->List(), {0});
    p->EditButton()->click();
    EXPECT_EQ(o.messages.shown.back(), "The same proxy has existed.");
    EXPECT_EQ(p->List()->item(0, 0)->text(), "PROXY.A");
    Select(p->List(), {0, 1});
    p->EditButton()->click();
    EXPECT_EQ(asked, 2) << "two rows selected: Edit does nothing";
    p->RemoveButton()->click();
    EXPECT_EQ(p->List()->rowCount(), 0);
    EXPECT_FALSE(again.SelectPage(kSounds)) << "proxy on, no proxies";
    p->Enable()->click();
    ASSERT_TRUE(o.Ok());
    const OptionsSheetResult r = again.Result();
    ASSERT_TRUE(r.proxies);
    EXPECT_TRUE(r.proxies->empty());
    EXPECT_EQ(r.options.enableProxy, 0);
}

TEST(CPropSheet, CategoriesAndSitesRefuseDuplicatesInAnyCase)
{
    Options o;
    CPropSheet& s = o.Open();
    ASSERT_TRUE(s.SelectPage(kCategory));
    CCfgCat* cat = s.Category();
    EXPECT_FALSE(cat->List()->isEnabled()) << "categories off";
    cat->Enable()->click();
    CategoryEntry seen;
    cat->SetEditor([&](const CategoryEntry& initial) {
        seen = initial;
        return CategoryEntry{"Zips", "ZIP", "/other"};
    });
    cat->AddButton()->click();
    EXPECT_EQ(seen.folder, "/dl/") << "a new category starts in Save to";
    EXPECT_EQ(o.messages.shown.back(), "A category with the same extension has existed.");
    EXPECT_EQ(cat->List()->rowCount(), 1);
    cat->SetEditor([](const CategoryEntry&) { return CategoryEntry{"Music", "mp3", "/music"}; });
    cat->AddButton()->click();
    ASSERT_EQ(cat->List()->rowCount(), 2);
    EXPECT_EQ(cat->List()->item(1, 2)->text(), "/music/");

    ASSERT_TRUE(s.SelectPage(kSecurity));
    CCfgSec* sec = s.Security();
    sec->Enable()->click();
    sec->SetEditor([](const SiteEntry&) { return SiteEntry{"S2", "x", ""}; });
    sec->AddButton()->click();
    EXPECT_EQ(o.messages.shown.back(), "The same site has existed.");
    ASSERT_TRUE(o.Ok());
    const OptionsSheetResult r = s.Result();
    ASSERT_TRUE(r.categories);
    EXPECT_EQ(r.categories->size(), 2u);
    EXPECT_FALSE(r.sites) << "unchanged";
    EXPECT_EQ(r.options.enableCategory, 1);
}

TEST(CPropSheet, VirusCheckScanRuleAndRefusal)
{
    Options o;
    o.live.options.virusScannerParameters = "--quiet";
    CPropSheet& s = o.Open();
    ASSERT_TRUE(s.SelectPage(kVirus));
    CCfgVirus* page = s.Virus();
    EXPECT_TRUE(page->Program()->isReadOnly());
    EXPECT_FALSE(page->Browse()->isEnabled());
    page->Enable()->click();
    o.files.file = "/opt/clamav/clamscan";
    page->Browse()->click();
    EXPECT_EQ(page->Program()->text(), "/opt/clamav/clamscan");
    EXPECT_EQ(page->Options()->text(), "--quiet");
    o.files.file = "/opt/AV/SCAN32.EXE";
    page->Browse()->click();
    EXPECT_EQ(page->Options()->text(), "/AUTOSCAN");
    page->Options()->clear();
    EXPECT_FALSE(s.SelectPage(kSounds)) << "checking on with empty options";
    EXPECT_FALSE(o.Ok());
    EXPECT_TRUE(o.messages.shown.empty());
    page->Options()->setText("-r");
    ASSERT_TRUE(o.Ok());
    EXPECT_EQ(s.Result().options.virusScanner, "/opt/AV/SCAN32.EXE");
}

TEST(CPropSheet, SoundsListHasFourRows)
{
    Options o;
    o.live.options.enableSound = 1;
    o.live.options.soundJobDone = "/usr/share/sounds/done.wav";
    CPropSheet& s = o.Open();
    ASSERT_TRUE(s.SelectPage(kSounds));
    CCFGSnd* page = s.Sounds();
    ASSERT_EQ(page->List()->rowCount(), 4);
    EXPECT_EQ(page->List()->item(2, 0)->text(), "Job Done");
    EXPECT_EQ(page->List()->item(2, 1)->text(), "done.wav");
    page->PlayButton()->click();
    EXPECT_TRUE(o.sound.played.empty()) << "no row selected";
    Select(page->List(), {2});
    page->PlayButton()->click();
    EXPECT_EQ(o.sound.played, std::vector<std::string>{"/usr/share/sounds/done.wav"});
    EXPECT_TRUE(page->PlayButton()->isEnabled());
    page->NoneButton()->click();
    EXPECT_EQ(page->List()->item(2, 1)->text(), "");
    Select(page->List(), {0});
    o.files.file = "/home/u/add.wav";
    page->ChangeButton()->click();
    EXPECT_EQ(o.files.lastFilter, "Wave Audio Files (*.wav)");
    EXPECT_EQ(page->List()->item(0, 1)->text(), "add.wav");
    ASSERT_TRUE(o.Ok());
    EXPECT_EQ(s.Result().options.soundJobDone, "");
    EXPECT_EQ(s.Result().options.soundAddFile, "/home/u/add.wav");
}

TEST(CPropSheet, GeneralFolderBrowserAndClearAll)
{
    Options o;
    CPropSheet& s = o.Open();
    CCfgGen* page = s.General();
    o.files.folder = "/srv/downloads";
    page->Browse()->click();
    EXPECT_EQ(o.files.lastTitle, "Please select a folder below. Then click OK.");
    EXPECT_EQ(page->SaveTo()->text(), "/srv/downloads/");
    o.files.folder = QString();
    page->Browse()->click();
    EXPECT_EQ(o.messages.shown, std::vector<std::string>{"Cannot open folder"});
    EXPECT_EQ(page->SaveTo()->text(), "/srv/downloads/");
    page->ClearAll()->click();
    EXPECT_EQ(o.cleared, 1) << "at once, whatever OK or Cancel does";
    page->Check(3)->click();
    ASSERT_TRUE(o.Ok());
    EXPECT_EQ(s.Result().options.saveTo, "/srv/downloads/");
    EXPECT_EQ(s.Result().options.popupDialog, 1);
}

// The desktop's two switches start on, and what the boxes say is taken.
TEST(CPropSheet, GeneralDesktopSwitches)
{
    for (const bool on : {false, true}) {
        Options o;
        o.live.options.notifyWhenDone = on ? 0 : 1;
        o.live.options.keepAwake = on ? 1 : 0;
        CCfgGen* page = o.Open().General();
        EXPECT_EQ(page->Check(4)->text(), "Notify when downloads are done");
        EXPECT_EQ(page->Check(4)->isChecked(), !on);
        EXPECT_EQ(page->Check(5)->isChecked(), on);
        page->Check(4)->click();
        page->Check(5)->click();
        ASSERT_TRUE(o.Ok());
        EXPECT_EQ(o.sheet->Result().options.notifyWhenDone, on ? 1 : 0);
        EXPECT_EQ(o.sheet->Result().options.keepAwake, on ? 0 : 1);
    }
    EXPECT_EQ(GlobalOptions{}.notifyWhenDone, 1);
    EXPECT_EQ(GlobalOptions{}.keepAwake, 1);
}

// "Require TLS for FTP" stands below "PASV Mode", shows what is stored, is
// read out by its words, and takes a click, the space bar after Tab from
// "PASV Mode", or its own key, Alt+R, from anywhere on the page.
TEST(CPropSheet, ProtocolRequireTlsForFtp)
{
    enum class Way { Mouse, Tab, Mnemonic };
    const struct {
        const char* what;
        Way way;
    } ways[] = {{"mouse", Way::Mouse}, {"Tab and space", Way::Tab}, {"Alt+R", Way::Mnemonic}};
    for (const bool on : {false, true}) {
        for (const auto& way : ways) {
            SCOPED_TRACE(std::string(on ? "on, " : "off, ") + way.what);
            Options o;
            o.live.options.requireFtpTls = on ? 1 : 0;
            o.live.options.pasvMode = 1;
            CPropSheet& s = o.Open();
            ASSERT_TRUE(s.SelectPage(kProtocol));
            QCheckBox* pasv = s.Protocol()->Pasv();
            QCheckBox* box = s.Protocol()->RequireFtpTls();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "&Require TLS for FTP");
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(box);
            ASSERT_NE(read, nullptr);
            EXPECT_EQ(read->text(QAccessible::Name), "Require TLS for FTP");
            EXPECT_EQ(box->isChecked(), on);
            EXPECT_GT(box->mapTo(&s, QPoint(0, 0)).y(), pasv->mapTo(&s, QPoint(0, 0)).y());
            switch (way.way) {
            case Way::Mouse: ASSERT_EQ(test::ClickMark(box), box); break;
            case Way::Tab:
                ASSERT_EQ(test::ClickMark(pasv), pasv);  // "PASV Mode" goes off
                test::Press(Qt::Key_Tab);
                ASSERT_EQ(QApplication::focusWidget(), box);
                test::Press(Qt::Key_Space);
                break;
            case Way::Mnemonic:
                // From "HTTP/2", already chosen, far from the box.
                ASSERT_EQ(test::ClickMark(s.Protocol()->Version(0)), s.Protocol()->Version(0));
                test::Press(Qt::Key_R, Qt::AltModifier);
                // A key of a button clicks it as the mouse would, pressed
                // and let go a moment later.
                EXPECT_TRUE(QTest::qWaitFor([&] { return box->isChecked() != on; }));
                break;
            }
            EXPECT_EQ(box->isChecked(), !on);
            ASSERT_TRUE(o.Ok());
            EXPECT_EQ(s.Result().options.requireFtpTls, on ? 0 : 1);
            EXPECT_EQ(s.Result().options.pasvMode, way.way == Way::Tab ? 0 : 1);
        }
    }
    EXPECT_EQ(GlobalOptions{}.requireFtpTls, 0);
}

// The HTTP version's buttons, HTTP/2 first: the stored choice shows checked,
// and a click stores the one clicked; untouched, a profile's "1.1" stays.
TEST(CPropSheet, ProtocolHttpVersionShowsAndStoresTheChoice)
{
    const struct {
        const char* stored;
        int shown;    // the button checked on opening
        int clicked;  // -1: none
        const char* result;
    } cases[] = {{"2", 0, -1, "2"}, {"1.1", 1, -1, "1.1"}, {"1.1", 1, 0, "2"}, {"2", 0, 1, "1.1"}, {"2", 0, 3, "0.9"}};
    const char* labels[] = {"HTTP/2", "HTTP/1.1", "HTTP/1.0", "HTTP/0.9"};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + ", clicked " + std::to_string(c.clicked));
        Options o;
        o.live.options.httpVersion = c.stored;
        CPropSheet& s = o.Open();
        ASSERT_TRUE(s.SelectPage(kProtocol));
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(s.Protocol()->Version(i)->text(), labels[i]);
            EXPECT_EQ(s.Protocol()->Version(i)->isChecked(), i == c.shown) << labels[i];
        }
        if (c.clicked >= 0) {
            QRadioButton* button = s.Protocol()->Version(c.clicked);
            ASSERT_EQ(test::ClickMark(button), button);
            EXPECT_TRUE(button->isChecked());
        }
        ASSERT_TRUE(o.Ok());
        EXPECT_EQ(s.Result().options.httpVersion, c.result);
    }
    EXPECT_EQ(GlobalOptions{}.httpVersion, "2");
}

TEST(CPropSheet, AutomationFileTypesReadOnlyWithoutClickCapture)
{
    Options o;
    CPropSheet& s = o.Open();
    ASSERT_TRUE(s.SelectPage(kAutomation));
    CCfgAuto* page = s.Automation();
    EXPECT_TRUE(page->FileTypes()->isReadOnly());
    page->Check(1)->click();
    EXPECT_FALSE(page->FileTypes()->isReadOnly());
    page->FileTypes()->setPlainText(QString(1100, 'x'));
    EXPECT_EQ(page->FileTypes()->toPlainText().size(), CCfgAuto::kFileTypesLimit);
    page->FileTypes()->setPlainText("iso zip  7z");
    ASSERT_TRUE(o.Ok());
    EXPECT_EQ(s.Result().options.captureClicksInNV, 1);
    EXPECT_EQ(s.Result().options.captureFileTypes, "iso zip  7z");

    // Enter in the field starts a new line; the list keeps one line.
    CPropSheet& again = o.Open();
    ASSERT_TRUE(again.SelectPage(kAutomation));
    again.Automation()->Check(1)->click();
    QPlainTextEdit* types = again.Automation()->FileTypes();
    ASSERT_EQ(test::TypeOver(types, "exe"), types);
    test::Press(Qt::Key_Return);
    test::Type("msi");
    ASSERT_TRUE(o.Ok());
    EXPECT_EQ(again.Result().options.captureFileTypes, "exe msi");
}

TEST(EditDialogs, OkRefusedWhileARequiredFieldIsEmpty)
{
    test::FakeMessages messages;
    test::ScriptedFiles files;
    CDlgCategory category(CategoryEntry{"", "", "/dl/"}, files, messages);
    category.accept();
    EXPECT_EQ(category.result(), QDialog::Rejected);
    category.NameEdit()->setText("Images");
    category.ExtensionEdit()->setText("png");
    category.accept();
    EXPECT_EQ(category.result(), QDialog::Accepted);
    EXPECT_EQ(category.Entry().folder, "/dl/");

    CDlgProxy proxy(ProxyEntry{}, messages);
    EXPECT_EQ(proxy.PortField()->Text(), "80");
    proxy.AddressEdit()->setText("proxy.example");
    proxy.PortField()->Edit()->setText("0");
    proxy.accept();
    EXPECT_EQ(proxy.result(), QDialog::Rejected);
    EXPECT_TRUE(messages.shown.empty()) << "port 0 is refused without a word";
    proxy.PortField()->Edit()->setText("65536");
    proxy.accept();
    EXPECT_EQ(messages.shown.back(), "Please enter an integer between 0 and 65535.");
    proxy.PortField()->Edit()->setText("40000");
    proxy.accept();
    EXPECT_EQ(proxy.result(), QDialog::Accepted);
    EXPECT_EQ(static_cast<std::uint16_t>(proxy.Entry().port), 40000) << "high ports survive the 16-bit list";

    CDlgSite site(SiteEntry{"files.example", "", ""});
    site.accept();
    EXPECT_EQ(site.result(), QDialog::Rejected);
    site.UserEdit()->setText("me");
    site.accept();
    EXPECT_EQ(site.result(), QDialog::Accepted);
}

// Tab goes as a person reads each page: from the tabs down the page (left to
// right along a row), then OK and Cancel, and back to the tabs, once a round.
TEST(CPropSheet, TabReadsEveryPageTopToBottom)
{
    Options options;
    CPropSheet& sheet = options.Open();
    QTabBar* bar = sheet.Tabs()->tabBar();
    for (int page = 0; page < sheet.PageCount(); ++page) {
        test::Click(bar, bar->tabRect(page).center());  // a click on a tab leaves the focus in the sheet
        QWidget* start = QApplication::focusWidget();
        std::vector<QWidget*> round;
        for (int presses = 0; presses < 60 && (round.empty() || round.back() != start); ++presses) {
            test::Press(Qt::Key_Tab);
            round.push_back(QApplication::focusWidget());
        }
        ASSERT_EQ(round.back(), start) << "page " << page << ": Tab never came round";
        const auto atBar = std::find(round.begin(), round.end(), bar);
        ASSERT_NE(atBar, round.end()) << "page " << page << ": Tab never reached the tabs";
        std::vector<QWidget*> visited(atBar + 1, round.end());  // from the tabs on, and round to them
        visited.insert(visited.end(), round.begin(), atBar + 1);
        ASSERT_GE(visited.size(), 3U);
        EXPECT_EQ(qobject_cast<QPushButton*>(visited[visited.size() - 3])->text().remove('&'), "OK") << page;
        EXPECT_EQ(qobject_cast<QPushButton*>(visited[visited.size() - 2])->text().remove('&'), "Cancel") << page;
        QWidget* shown = sheet.Tabs()->widget(page);
        int top = -1;
        for (std::size_t i = 0; i + 3 < visited.size(); ++i) {
            QWidget* field = visited[i];
            ASSERT_TRUE(shown->isAncestorOf(field)) << "page " << page << ": Tab left the page at " << i;
            const int middle = field->mapTo(&sheet, QPoint(0, field->height() / 2)).y();
            EXPECT_GE(middle, top) << "page " << page << ": " << field->metaObject()->className() << " "
                                   << field->accessibleName().toStdString() << " is above the control before it";
            top = std::max(top, field->mapTo(&sheet, QPoint(0, 0)).y());
        }
    }
}

}  // namespace
}  // namespace dromo
