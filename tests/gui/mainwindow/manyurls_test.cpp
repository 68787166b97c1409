// Many URLs through the Add URL sheet (a pattern, a pasted list) and the
// clipboard's links offered for download, driven as a person drives them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "base/ports/notifications.h"
#include "gui/dialogs/options/ccfgauto.h"
#include "gui/dialogs/options/cpropsheet.h"
#include "gui/dialogs/task/caddprop.h"
#include "gui/dialogs/task/caddurl.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

// The Add URL sheet's state as the person sees it after some input.
struct Seen {
    QString count;
    bool countShown = false;
    QString saveAs;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s)
{
    return out << '"' << s.count.toStdString() << "\" shown " << s.countShown << " save as " << s.saveAs.toStdString();
}

Seen Look(CAddProp& sheet)
{
    QLabel* count = sheet.UrlPage()->CountLabel();
    return {count->text(), count->isVisible(), sheet.UrlPage()->SaveAsEdit()->text()};
}

TEST(ManyUrls, APastedListAndAPatternAreCountedAndAddedInOneSave)
{
    test::Window w;
    QApplication::clipboard()->setText("http://h/a.zip\n\nhttp://h/b.zip\r\n");
    std::vector<Seen> seen;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        ASSERT_TRUE(test::ShowActive(s));
        seen.push_back(Look(s));  // several lines are no URL to start with
        test::Click(s.UrlPage()->UrlEdit());
        test::Press(Qt::Key_V, Qt::ControlModifier);
        seen.push_back(Look(s));
        test::TypeOver(s.UrlPage()->UrlEdit(), "http://h/img[001-120].jpg");
        seen.push_back(Look(s));
        test::Press(Qt::Key_Return);
    });
    const int flushes = w.profile.flushes;
    w.frame->RunCommand(CommandId::AddUrl);
    EXPECT_EQ(seen, (std::vector<Seen>{
                        {"", false, "/tmp/dl/"}, {"2 tasks", true, "/tmp/dl/"}, {"120 tasks", true, "/tmp/dl/"}}));
    ASSERT_EQ(w.table.Count(), 120);
    EXPECT_EQ(w.table.CopyOut(0)->saveAs, "/tmp/dl/img001.jpg");
    EXPECT_EQ(w.table.CopyOut(0)->remotePath, "/img001.jpg");
    EXPECT_EQ(w.table.CopyOut(119)->saveAs, "/tmp/dl/img120.jpg");
    EXPECT_EQ(w.profile.flushes, flushes + 1) << "the lot is saved once";
    EXPECT_EQ(w.profile.GetInt("Settings", "MRU Num", 0), 120);
    EXPECT_TRUE(w.messages.shown.empty());
    EXPECT_TRUE(w.addresses.Entries().empty()) << "a pattern is no address to go back to";
}

TEST(ManyUrls, AFaultyPatternKeepsTheSheetOpenWithItsReason)
{
    test::Window w;
    QApplication::clipboard()->clear();
    Seen seen;
    bool stayed = false;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        ASSERT_TRUE(test::ShowActive(s));
        test::Click(s.UrlPage()->UrlEdit());
        test::Type("http://h/part[f-a].rar");
        seen = Look(s);
        test::Press(Qt::Key_Return);
        stayed = s.isVisible() && s.result() != QDialog::Accepted;
        s.reject();
    });
    w.frame->RunCommand(CommandId::AddUrl);
    const std::string reason = "\"[f-a]\" at character 14 counts backwards; write \"[a-f]\".";
    EXPECT_EQ(seen, (Seen{QString::fromStdString(reason), true, "/tmp/dl/"}));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(w.messages.shown, std::vector<std::string>{reason});
    EXPECT_EQ(w.table.Count(), 0);
}

TEST(ManyUrls, OneUrlStaysTheClassicAddEvenWithAnIpv6Host)
{
    test::Window w;
    QApplication::clipboard()->clear();
    Seen seen;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        ASSERT_TRUE(test::ShowActive(s));
        test::Click(s.UrlPage()->UrlEdit());
        test::Type("http://[::1]:8080/f.zip");
        seen = Look(s);
        test::Press(Qt::Key_Return);
    });
    w.frame->RunCommand(CommandId::AddUrl);
    EXPECT_EQ(seen, (Seen{"", false, "/tmp/dl/f.zip"}));
    ASSERT_EQ(w.table.Count(), 1);
    EXPECT_EQ(w.table.CopyOut(0)->saveAs, "/tmp/dl/f.zip");
    EXPECT_EQ(w.table.CopyOut(0)->port, 8080);
    EXPECT_EQ(w.addresses.Entries().front(), "http://[::1]:8080/f.zip");
}

class RecordedNotices : public Notifications {
public:
    void Show(const DesktopNotice& notice) override { shown.push_back(notice); }
    std::vector<DesktopNotice> shown;
};

TEST(ManyUrls, ACopiedLinkIsOfferedOnceWhenWatchingIsOn)
{
    test::Window w;
    RecordedNotices notices;
    w.frame->WatchClipboard(&notices);
    ASSERT_TRUE(test::ShowActive(*w.frame));
    std::vector<QString> sheets;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        sheets.push_back(s.UrlPage()->UrlEdit()->text());
        s.reject();
    });
    // The clipboard tells of its change by a signal, and the sheet it offers
    // opens from the event loop after it: both have come once a call queued
    // after the change has run.
    auto copy = [](const char* text) {
        QSignalSpy changed(QApplication::clipboard(), &QClipboard::dataChanged);
        QApplication::clipboard()->setText(text);
        ASSERT_TRUE(changed.count() > 0 || changed.wait()) << text;
        bool settled = false;
        QTimer::singleShot(0, [&settled] { settled = true; });
        ASSERT_TRUE(QTest::qWaitFor([&settled] { return settled; })) << text;
    };

    copy("http://h/off.zip");
    EXPECT_TRUE(sheets.empty()) << "watching is off by default";

    // Switched on as a person does: its box on the Automation page, then Return for OK.
    w.frame->SetSheetDriver([](CPropertySheet& sheet) {
        auto& s = static_cast<CPropSheet&>(sheet);
        ASSERT_TRUE(test::ShowActive(s));
        ASSERT_TRUE(s.SelectPage(3));
        QCheckBox* watch = s.Automation()->WatchClipboard();
        EXPECT_FALSE(watch->isChecked());
        test::ClickMark(watch);
        test::Press(Qt::Key_Return);
    });
    w.frame->RunCommand(CommandId::Options);
    ASSERT_EQ(w.settings.options.watchClipboard, 1);
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        sheets.push_back(s.UrlPage()->UrlEdit()->text());
        s.reject();
    });
    copy("http://h/a.zip");
    copy("http://h/a.zip");
    copy("some prose");
    copy("http://h/a.zip");
    copy("http://h/page.html");
    copy("http://h/b.exe");
    EXPECT_EQ(sheets, (std::vector<QString>{"http://h/a.zip", "http://h/b.exe"}));
    EXPECT_TRUE(notices.shown.empty());

    w.frame->hide();
    copy("http://h/c.zip");
    EXPECT_EQ(sheets.size(), 2u) << "no sheet for a hidden window";
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].offerUrl, "http://h/c.zip");
    EXPECT_EQ(notices.shown[0].body, "http://h/c.zip");
    EXPECT_EQ(w.table.Count(), 0) << "an offer adds nothing by itself";
    w.frame->WatchClipboard(nullptr);
}

}  // namespace
}  // namespace dromo
