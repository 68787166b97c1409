// The main window as a person sees it on a desktop: the list's colours
// under a light or a dark palette, and what clicks on the tray icon do.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui/mainwindow/cmainview.h"
#include "tests/gui/mainwindow/windowdriver.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

using test::WhenDialogShows;
using test::Window;

// A dark desktop: the default text colour is the desktop's, not black on
// dark grey; a colour the user picked, "Black" too, is drawn as picked.
TEST(OnTheDesktop, DefaultListTextFollowsTheDesktopAndAPickedColourStays)
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Base, QColor(35, 38, 41));
    dark.setColor(QPalette::Window, QColor(49, 54, 59));
    dark.setColor(QPalette::Text, QColor(252, 252, 252));
    QApplication::setPalette(dark);
    struct Case {
        const char* what;
        int index;
        int chosen;
        QColor text;
    } cases[] = {
        {"the default", 0, 0, QColor(252, 252, 252)},
        {"Black picked", 0, 1, QColor(0, 0, 0)},
        {"Red from a profile older than the pick", 5, 0, QColor(255, 0, 0)},
        {"Red picked", 5, 1, QColor(255, 0, 0)},
    };
    for (const Case& c : cases) {
        Window w;
        w.settings.options.textColor = c.index;
        w.settings.options.textColorChosen = c.chosen;
        w.frame->View().ApplyAppearance();
        EXPECT_EQ(w.frame->View().palette().color(QPalette::Text), c.text) << c.what;
    }
    {
        Window w;
        w.frame->View().ApplyAppearance();
        // The desktop switches back; outside a running event loop Qt does
        // not tell the widgets, so the test tells the list as Qt would.
        QApplication::setPalette(light);
        QEvent changed(QEvent::ApplicationPaletteChange);
        QApplication::sendEvent(w.frame.get(), &changed);
        for (QWidget* child : w.frame->findChildren<QWidget*>()) {  // parents before their children
            QApplication::sendEvent(child, &changed);
        }
        EXPECT_EQ(w.frame->View().palette().color(QPalette::Text), light.color(QPalette::Text));
        QApplication::setPalette(dark);
    }

    // "Black" picked in the wall paper dialog, with the keyboard in its list.
    Window w;
    w.frame->View().ApplyAppearance();
    ASSERT_TRUE(test::ShowActive(*w.frame));
    bool picked = false;
    WhenDialogShows([&](QDialog& dialog) {
        ASSERT_TRUE(test::ShowActive(dialog));
        auto* colours = dialog.findChild<QComboBox*>();
        ASSERT_EQ(colours->currentText(), "Black");
        test::Click(colours);  // the list opens
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
        test::Press(Qt::Key_Home);
        test::Press(Qt::Key_Return);
        picked = colours->currentText() == "Black";
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == "OK") {
                test::Click(button);
            }
        }
    });
    w.frame->Action(CommandId::WallpaperCustomize)->trigger();
    EXPECT_TRUE(picked);
    EXPECT_EQ(w.settings.options.textColorChosen, 1);
    EXPECT_EQ(w.frame->View().palette().color(QPalette::Text), QColor(0, 0, 0));
    QApplication::setPalette(light);
}

// A double-click on the tray icon reaches the window as the tray reports
// it: on X11 a click and then a double-click, where the tray knows no
// double-click two clicks. Either way it restores a hidden window, once; a
// single click still toggles it.
TEST(OnTheDesktop, ATrayDoubleClickRestoresAndASingleClickToggles)
{
    using R = QSystemTrayIcon::ActivationReason;
    struct Case {
        const char* what;
        bool shownBefore;
        std::vector<R> clicks;
        bool shownAfter;
    } cases[] = {
        {"a double-click on a hidden window", false, {R::Trigger, R::DoubleClick}, true},
        {"two quick clicks on a hidden window", false, {R::Trigger, R::Trigger}, true},
        {"a double-click alone", false, {R::DoubleClick}, true},
        {"a double-click on a shown window", true, {R::Trigger, R::DoubleClick}, true},
        {"a click on a hidden window", false, {R::Trigger}, true},
        {"a click on a shown window", true, {R::Trigger}, false},
    };
    for (const Case& c : cases) {
        test::Window w;
        if (c.shownBefore) {
            ASSERT_TRUE(test::ShowActive(*w.frame));
        } else {
            w.frame->hide();
        }
        for (R click : c.clicks) {
            w.frame->TrayActivated(click);
        }
        // Whatever a click waits for (a second one) is over by then.
        QTest::qWait(QApplication::doubleClickInterval() + 200);
        EXPECT_EQ(w.frame->MainWindowShown(), c.shownAfter) << c.what;
    }
}

}  // namespace
}  // namespace dromo
