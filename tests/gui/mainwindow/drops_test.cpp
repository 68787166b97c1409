// Links dropped on the task list or the drop basket, and pasted into the
// address bar, as a person hands them over: several at once arrive as one
// text, a link a line, and each becomes a task of its own.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include "gui/dialogs/task/caddprop.h"
#include "gui/dialogs/task/caddurl.h"
#include "gui/mainwindow/cdropbasket.h"
#include "gui/mainwindow/cmainview.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

// A drag that enters the widget, moves over it and is let go there, each
// step the event the window system sends: whether the drop was taken as a
// link, as the drag's cursor shows it.
bool DragAndDrop(QWidget& target, const QMimeData& data)
{
    if (!target.acceptDrops()) {
        return false;
    }
    const QPoint at = target.rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::LinkAction;
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted() || enter.dropAction() != Qt::LinkAction) {
        return false;
    }
    QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &move);
    if (!move.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::LinkAction;
}

std::vector<std::string> Targets(test::Window& w, int from)
{
    std::vector<std::string> targets;
    for (int row = from; row < w.table.Count(); ++row) {
        targets.push_back(w.table.RowCopy(row).texts[kColTarget]);
    }
    return targets;
}

using Urls = std::vector<std::string>;

// Two links dropped together became one task whose request was
// "GET /a.bin%0Ahttp://h/b.bin" (a 404; neither file came).
TEST(Drops, TwoLinksDroppedTogetherBecomeTwoTasks)
{
    test::Window w;
    w.frame->show();
    w.frame->DropBasket().show();
    struct Where {
        const char* name;
        QWidget* widget;
    };
    const Where places[] = {{"the list", w.frame->View().viewport()}, {"the basket", &w.frame->DropBasket()}};
    const struct {
        const char* what;
        QString text;  // dropped as plain text, unless empty
        QList<QUrl> urls;
        Urls added;
    } drops[] = {
        {"two lines of text", "http://h/a.bin\nhttp://h/b.bin", {}, {"http://h/a.bin", "http://h/b.bin"}},
        {"a browser's link list",
         "",
         {QUrl("https://h/c.iso"), QUrl("ftp://h/d.zip")},
         {"https://h/c.iso", "ftp://h/d.zip"}},
        {"Windows line ends, blank lines and blanks",
         "\r\n  http://h/e.bin \r\n\r\n\thttp://h/f.bin\r\n",
         {},
         {"http://h/e.bin", "http://h/f.bin"}},
        // One line is handed over whole, as always: its words make no URL.
        {"one line with words", "get http://h/g.bin now", {}, {}},
    };
    for (const Where& place : places) {
        for (const auto& d : drops) {
            SCOPED_TRACE(std::string(place.name) + ": " + d.what);
            const int before = w.table.Count();
            const int saves = w.profile.flushes;
            QMimeData data;
            if (d.text.isEmpty()) {
                data.setUrls(d.urls);
            } else {
                data.setText(d.text);
            }
            w.messages.shown.clear();
            ASSERT_TRUE(DragAndDrop(*place.widget, data));
            EXPECT_EQ(Targets(w, before), d.added);
            for (int row = before; row < w.table.Count(); ++row) {
                EXPECT_EQ(w.table.CopyOut(row)->remotePath.find('\n'), std::string::npos);
            }
            EXPECT_EQ(w.messages.shown,
                      d.added.empty() ? std::vector<std::string>{"invalid url"} : std::vector<std::string>{});
            EXPECT_EQ(w.profile.flushes, saves + (d.added.empty() ? 0 : 1)) << "the lot is saved once";
            EXPECT_EQ(w.profile.Int("Settings", "MRU Num"), w.table.Count());
        }
    }
    // The address box remembers each link, not the text they came in.
    for (const std::string& url : w.addresses.Entries()) {
        EXPECT_EQ(url.find('\n'), std::string::npos) << url;
    }
}

// With "Popup Dialog" on, the links dropped together open one Add URL
// sheet, which lists them as its many URLs.
TEST(Drops, TwoLinksDroppedWithPopupDialogOpenOneSheetForBoth)
{
    test::Window w;
    w.settings.options.popupDialog = 1;
    w.frame->show();
    std::vector<QString> counts;
    w.frame->SetSheetDriver([&](CPropertySheet& sheet) {
        auto& s = static_cast<CAddProp&>(sheet);
        counts.push_back(s.UrlPage()->CountLabel()->text());
        sheet.accept();
    });
    QMimeData data;
    data.setText("http://h/a.bin\nhttp://h/b.bin\n");
    ASSERT_TRUE(DragAndDrop(*w.frame->View().viewport(), data));
    EXPECT_EQ(counts, std::vector<QString>{"2 tasks"});
    EXPECT_EQ(Targets(w, 0), (Urls{"http://h/a.bin", "http://h/b.bin"}));
}

// Pasted into the address bar, a copied list of links is a task a line.
TEST(Drops, LinksPastedIntoTheAddressBarAreATaskALine)
{
    test::Window w;
    ASSERT_TRUE(test::ShowActive(*w.frame));
    QComboBox& box = w.frame->AddressBox();
    QApplication::clipboard()->setText("http://h/a.bin\r\n\r\n http://h/b.bin\n");
    test::Click(&box);
    test::Press(Qt::Key_A, Qt::ControlModifier);
    test::Press(Qt::Key_V, Qt::ControlModifier);
    test::Press(Qt::Key_Return);
    EXPECT_EQ(Targets(w, 0), (Urls{"http://h/a.bin", "http://h/b.bin"}));
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.itemText(0), "http://h/b.bin");
    EXPECT_EQ(box.itemText(1), "http://h/a.bin");
    EXPECT_TRUE(w.messages.shown.empty());
}

}  // namespace
}  // namespace dromo
