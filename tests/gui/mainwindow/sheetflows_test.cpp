// The main window's four sheets from command to task table, with a driver in
// place of the person at the sheet.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "gui/dialogs/options/ccfgauto.h"
#include "gui/dialogs/options/ccfgconn.h"
#include "gui/dialogs/options/ccfgsch.h"
#include "gui/dialogs/options/ccfgsys.h"
#include "gui/dialogs/options/cpropsheet.h"
#include "gui/dialogs/task/caddprop.h"
#include "gui/dialogs/task/caddurl.h"
#include "gui/dialogs/task/cconnpage.h"
#include "gui/dialogs/task/cdlgimport.h"
#include "gui/mainwindow/cmainview.h"
#include "gui/widgets/numberfield.h"
#include "tests/gui/dialogs/scriptedfiles.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/gui/realinput.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

namespace fs = std::filesystem;

// Whether a worker's engine was given `call` ("SetConnections 2"), waiting
// for the worker that starts the task as the window goes on.
bool EngineHeard(test::Window& w, const std::string& call)
{
    auto heard = [&] {
        const auto calls = w.engines.script.Calls();
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    };
    for (int i = 0; i < 500 && !heard(); ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return heard();
}

TEST(SheetFlows, AddUrlAddsWhatTheSheetSays)
{
    test::Window w;
    w.settings.options.enableCategory = 1;
    w.settings.categories = {{"Archives", "ZIP", "/zips/"}};
    std::string shownSaveAs;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        EXPECT_EQ(s.windowTitle(), "Add URL");
        ASSERT_TRUE(test::ShowActive(s));
        test::TypeOver(s.UrlPage()->UrlEdit(), "http://files.example/setup.zip");
        shownSaveAs = s.UrlPage()->SaveAsEdit()->text().toStdString();
        s.UrlPage()->SaveAsEdit()->setText("/zips/renamed.zip");
        s.accept();
    });
    w.frame->RunCommand(CommandId::AddUrl);
    EXPECT_EQ(shownSaveAs, "/zips/setup.zip") << "typing the URL derives Save as";
    ASSERT_EQ(w.table.Count(), 1);
    EXPECT_EQ(w.table.CopyOut(0)->saveAs, "/zips/renamed.zip");
    EXPECT_EQ(w.addresses.Entries().front(), "http://files.example/setup.zip");

    w.frame->SetSheetDriver([](CPropertySheet& sheet) { sheet.reject(); });
    w.frame->RunCommand(CommandId::AddUrl);
    EXPECT_EQ(w.table.Count(), 1) << "Cancel adds nothing";
}

TEST(SheetFlows, ConnectionsGoFromTheOptionsThroughTheTaskSheetToTheEngine)
{
    test::Window w;
    w.settings.options.maxThreadNumber = 1;
    w.engines.script.Add(test::Step::Stall());
    w.frame->SetSheetDriver([](CPropertySheet& sheet) {
        auto& s = static_cast<CPropSheet&>(sheet);
        ASSERT_TRUE(s.SelectPage(1));
        EXPECT_EQ(s.Connection()->Connections()->Text().toStdString(), "4") << "the default";
        s.Connection()->Connections()->Edit()->setText("7");
        s.accept();
    });
    w.frame->RunCommand(CommandId::Options);
    EXPECT_EQ(w.settings.options.connectionsPerTask, 7);

    std::string shown;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        ASSERT_TRUE(test::ShowActive(s));
        test::TypeOver(s.UrlPage()->UrlEdit(), "http://files.example/big.iso");
        ASSERT_TRUE(s.SelectPage(2));
        shown = s.ConnectionPage()->Connections()->Text().toStdString();
        test::TypeOver(s.ConnectionPage()->Connections()->Edit(), "2");
        s.accept();
    });
    w.frame->RunCommand(CommandId::AddUrl);
    EXPECT_EQ(shown, "7") << "a new task starts from the option";
    ASSERT_EQ(w.table.Count(), 1);
    EXPECT_EQ(w.table.CopyOut(0)->connections, 2);
    EXPECT_TRUE(EngineHeard(w, "SetConnections 2")) << "the worker hands the task's count to its engine";
}

// The checksum typed on the URL page goes, in its stored form, to the task
// and its engine; one that cannot be read keeps the sheet open and says why.
TEST(SheetFlows, AChecksumTypedOnTheSheetReachesTheEngine)
{
    test::Window w;
    w.settings.options.maxThreadNumber = 1;
    w.engines.script.Add(test::Step::Stall());
    const std::string hex = "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855";
    bool refused = false;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        ASSERT_TRUE(test::ShowActive(s));
        test::TypeOver(s.UrlPage()->UrlEdit(), "http://files.example/big.iso");
        test::TypeOver(s.UrlPage()->ChecksumEdit(), "sha-256=12ab");
        s.accept();
        refused = s.isVisible() && !w.messages.shown.empty();
        EXPECT_EQ(QApplication::focusWidget(), s.UrlPage()->ChecksumEdit()) << "the field to fix has the focus";
        test::TypeOver(s.UrlPage()->ChecksumEdit(), QString::fromStdString(hex));
        s.accept();
    });
    w.frame->RunCommand(CommandId::AddUrl);
    EXPECT_TRUE(refused);
    ASSERT_FALSE(w.messages.shown.empty());
    EXPECT_EQ(w.messages.shown.front(), "The checksum cannot be used: a SHA-256 checksum is 64 hexadecimal digits.");
    ASSERT_EQ(w.table.Count(), 1);
    const std::string stored = "sha-256=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    EXPECT_EQ(w.table.CopyOut(0)->checksum, stored);
    EXPECT_TRUE(EngineHeard(w, "SetExpectedDigests " + stored)) << "the worker hands the task's checksum to its engine";
}

// A video variant the sheet cannot read is refused with the field to fix
// in focus; one it can read is stored as the sheet shows it and reaches
// the engine that records the task.
TEST(SheetFlows, AVideoVariantTypedOnTheSheetReachesTheEngine)
{
    test::Window w;
    w.settings.options.maxThreadNumber = 1;
    w.engines.script.Add(test::Step::Stall());
    bool refused = false;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        ASSERT_TRUE(test::ShowActive(s));
        test::TypeOver(s.UrlPage()->UrlEdit(), "http://video.example/master.m3u8");
        test::TypeOver(s.UrlPage()->VariantEdit(), "720q");
        s.accept();
        refused = s.isVisible() && !w.messages.shown.empty();
        EXPECT_EQ(QApplication::focusWidget(), s.UrlPage()->VariantEdit()) << "the field to fix has the focus";
        test::TypeOver(s.UrlPage()->VariantEdit(), "720");
        s.accept();
    });
    w.frame->RunCommand(CommandId::AddUrl);
    EXPECT_TRUE(refused);
    ASSERT_FALSE(w.messages.shown.empty());
    EXPECT_EQ(w.messages.shown.front().rfind("The video variant cannot be used: ", 0), 0u) << w.messages.shown.front();
    ASSERT_EQ(w.table.Count(), 1);
    EXPECT_EQ(w.table.CopyOut(0)->variant, "720p");
    EXPECT_TRUE(EngineHeard(w, "SetStreamVariant 720p")) << "the worker hands the task's variant to its engine";
}

// Before a URL names a file, "Save as" is the folder alone: an empty sheet,
// a URL of a folder; the name comes with the URL's last part.
TEST(SheetFlows, AnEmptyAddUrlSheetShowsTheFolderUntilTheUrlNamesAFile)
{
    test::Window w;
    QApplication::clipboard()->clear();
    std::vector<std::string> shown;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        ASSERT_TRUE(test::ShowActive(s));
        QLineEdit* saveAs = s.UrlPage()->SaveAsEdit();
        shown.push_back(saveAs->text().toStdString());
        test::Click(s.UrlPage()->UrlEdit());
        test::Type("http://files.example/pub/");
        shown.push_back(saveAs->text().toStdString());
        test::Type("setup.zip");
        shown.push_back(saveAs->text().toStdString());
        test::Press(Qt::Key_A, Qt::ControlModifier);
        test::Press(Qt::Key_Backspace);
        shown.push_back(saveAs->text().toStdString());
        s.reject();
    });
    w.frame->RunCommand(CommandId::AddUrl);
    EXPECT_EQ(shown, (std::vector<std::string>{"/tmp/dl/", "/tmp/dl/", "/tmp/dl/setup.zip", "/tmp/dl/"}));
}

TEST(SheetFlows, PopupDialogOpensTheSheetForAUrlFromOutside)
{
    test::Window w;
    w.settings.options.popupDialog = 1;
    QString shown;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        shown = s.UrlPage()->UrlEdit()->text();
        EXPECT_EQ(s.UrlPage()->SaveAsEdit()->text(), "/tmp/dl/a.iso");
        s.accept();
    });
    w.frame->Desk().AddUrl("http://h.example/a.iso");
    EXPECT_EQ(shown, "http://h.example/a.iso");
    EXPECT_EQ(w.table.Count(), 1);
}

TEST(SheetFlows, TaskPropertiesScheduleAndUrl)
{
    test::Window w;
    w.adder.AddTask("ftp://ftp.example:2121/pub/a.zip", "/dl/a.zip");
    w.table.SetState(0, TaskState::Paused);
    w.model.Flush();
    w.frame->View().SelectTasks({0});
    struct Case {
        bool toggle;
        TaskState state;
        int image;
    } cases[] = {{true, TaskState::Scheduled, 6}, {false, TaskState::Scheduled, 6}, {true, TaskState::Paused, 5}};
    for (const Case& c : cases) {
        QString url;
        w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
            auto& s = static_cast<CAddProp&>(sheet);
            url = s.UrlPage()->UrlEdit()->text();
            ASSERT_TRUE(s.SelectPage(6));
            if (c.toggle) {
                s.SchedulePage()->Enable()->click();
            }
            s.accept();
        });
        w.frame->OpenTaskProperties(0);
        EXPECT_EQ(url, "ftp://ftp.example:2121/pub/a.zip");
        EXPECT_EQ(w.table.CopyOut(0)->State(), c.state);
        EXPECT_EQ(w.table.RowCopy(0).stateImage, c.image);
    }

    w.frame->SetSheetDriver([](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        s.UrlPage()->UrlEdit()->setText("ftp.example/pub/a.zip");
        s.accept();
    });
    w.frame->OpenTaskProperties(0);
    EXPECT_EQ(w.messages.shown.back(), "invalid url");
    EXPECT_EQ(w.table.CopyOut(0)->port, 2121);
}

struct ImportTest : ::testing::Test {
    test::Window w;
    test::ScriptedFiles files;
    fs::path dir = fs::temp_directory_path() / ("dromo-gui-import-" + std::to_string(::getpid()));
    void SetUp() override
    {
        fs::create_directories(dir);
        w.frame->SetFileChooser(&files);
    }
    void TearDown() override { fs::remove_all(dir); }
    void Import(const std::string& url, const fs::path& file)
    {
        files.file = QString::fromStdString(file.string());
        w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
            auto& s = static_cast<CAddProp&>(sheet);
            EXPECT_EQ(s.windowTitle(), "Import Broken File");
            s.FilePage()->UrlEdit()->setText(QString::fromStdString(url));
            s.FilePage()->BrowseButton()->click();
            s.accept();
        });
        w.frame->RunCommand(CommandId::LoadBrokenFile);
    }
};

TEST_F(ImportTest, PartialNameLosesItsPlusesAndBecomesTheTarget)
{
    std::ofstream(dir / "big.iso+++") << "partial";
    Import("http://h.example/big.iso", dir / "big.iso+++");
    ASSERT_EQ(w.table.Count(), 1);
    EXPECT_EQ(w.table.CopyOut(0)->saveAs, (dir / "big.iso").string());
    EXPECT_EQ(w.table.CopyOut(0)->ownsPartialFile, 1) << "a file taken over on purpose is continued";
    // The bytes stay in the partial file the engine continues.
    EXPECT_FALSE(fs::exists(dir / "big.iso"));
    EXPECT_TRUE(fs::exists(dir / "big.iso+++"));
}

TEST_F(ImportTest, TakenNameRefusedAndNothingAdded)
{
    std::ofstream(dir / "c.iso+++") << "partial";
    std::ofstream(dir / "c.iso") << "other";
    Import("http://h.example/c.iso", dir / "c.iso+++");
    EXPECT_EQ(w.table.Count(), 0);
    ASSERT_FALSE(w.messages.shown.empty());
    EXPECT_EQ(w.messages.shown.back(), "Access to an unnamed file was denied.");
    EXPECT_TRUE(fs::exists(dir / "c.iso+++"));
}

// The URL is refused after the file was chosen: the file keeps its name
// and nothing is added.
TEST_F(ImportTest, ARefusedUrlLeavesTheFileAsItWas)
{
    const std::pair<const char*, const char*> cases[] = {
        {"h.example/d.iso", "invalid url"}, {"http://h.example/dir/", nullptr},  // nothing to add: no message either
    };
    for (auto [url, message] : cases) {
        std::ofstream(dir / "d.iso") << "partial";
        w.messages.shown.clear();
        Import(url, dir / "d.iso");
        EXPECT_EQ(w.table.Count(), 0) << url;
        EXPECT_EQ(test::ReadFile((dir / "d.iso").string()), "partial") << url;
        EXPECT_FALSE(fs::exists(dir / "d.iso+++")) << url;
        EXPECT_EQ(w.messages.shown, message ? std::vector<std::string>{message} : std::vector<std::string>{}) << url;
    }
}

TEST(SheetFlows, OptionsApplyColourThreadsAndCaptureAtOnce)
{
    test::Window w;
    w.settings.options.maxThreadNumber = 1;
    for (int i = 0; i < 3; ++i) {
        w.engines.script.Add(test::Step::Stall());
    }
    for (const char* url : {"http://h/1.zip", "http://h/2.zip", "http://h/3.zip"}) {
        w.adder.AddTask(url, "");
    }
    w.model.Flush();
    w.frame->SetSheetDriver([](CPropertySheet& sheet) {
        auto& s = static_cast<CPropSheet&>(sheet);
        ASSERT_TRUE(s.SelectPage(1));
        s.Connection()->Threads()->Edit()->setText("3");
        ASSERT_TRUE(s.SelectPage(2));
        const int red = s.System()->TextColor()->findText("Red");
        ASSERT_GE(red, 0);
        s.System()->TextColor()->setCurrentIndex(red);
        ASSERT_TRUE(s.SelectPage(3));
        s.Automation()->Check(0)->click();
        s.accept();
    });
    w.frame->RunCommand(CommandId::Options);
    EXPECT_EQ(w.frame->View().palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(w.profile.Int("Settings", "Capture Clicks in IE"), 1);
    EXPECT_FALSE(w.profile.Has("Settings", "Max Thread Number")) << "saved later with the others";
    auto running = [&w] {
        auto guard = w.table.Lock();
        return w.state.Counts(guard).workerCount;
    };
    for (int i = 0; i < 500 && running() < 3; ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(running(), 3);
}

}  // namespace
}  // namespace dromo
