#include "gui/mainwindow/countdowndialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "base/commands/completion.h"
#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/values/globaloptions.h"
#include "tests/base/fakes/fakes.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

// The completion rules with the real countdown dialog; the power and the
// line are fakes that note what they were asked.
struct CountdownRig {
    TaskTable table;
    GlobalOptions options;
    WorkerState state;
    test::FakeNetwork network;
    test::FakeShell shell;
    test::FakeMessages messages;
    GuiCountdown countdown;
    int exits = 0;
    Completion completion{table, options, state, network, network, shell, messages, countdown, [this] { ++exits; }};

    // All downloads are over: the check raises the countdown.
    CountdownDialog* Raise()
    {
        completion.CompletionCheck();
        CountdownDialog* shown = nullptr;
        (void)QTest::qWaitFor([&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<CountdownDialog*>(w);
                if (dialog && dialog->isVisible()) {
                    shown = dialog;
                }
            }
            return shown != nullptr;
        });
        return shown;
    }
};

TEST(CountdownDialog, EveryWayOfClosingItIsACancelTheRulesHear)
{
    const std::pair<const char*, std::function<void(CountdownDialog&)>> ways[] = {
        {"Esc",
         [](CountdownDialog& d) {
             ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
             test::Press(Qt::Key_Escape);  // wherever the dialog's focus is
         }},
        {"the close button", [](CountdownDialog& d) { d.close(); }},
        {"Cancel",
         [](CountdownDialog& d) { test::Click(d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)); }},
    };
    CountdownRig rig;
    rig.options.shutDownIfDone = 1;
    rig.messages.answer = false;  // asked to switch it off: kept on
    for (const auto& [way, close] : ways) {
        QPointer<CountdownDialog> dialog = rig.Raise();
        ASSERT_TRUE(dialog) << "a countdown after " << way;
        EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
        close(*dialog);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); })) << way << " closes it";
        EXPECT_TRUE(rig.network.calls.empty()) << way;
        EXPECT_EQ(rig.exits, 0) << way;
        EXPECT_EQ(rig.messages.shown.back(), Completion::SwitchOffQuestion(true, false)) << way;
    }
    EXPECT_EQ(rig.messages.shown.size(), 3u);
    // Still asked after all three: the rules know each countdown ended.
    QPointer<CountdownDialog> again = rig.Raise();
    ASSERT_TRUE(again);
    again->reject();  // an application-modal box left open would hold up the tests after this one
    EXPECT_TRUE(QTest::qWaitFor([&] { return again.isNull(); }));
    EXPECT_EQ(rig.options.shutDownIfDone, 1);
}

TEST(CountdownDialog, ReachingZeroHangsUpThenAsksForPowerOff)
{
    CountdownRig rig;
    rig.options.shutDownIfDone = 1;
    rig.options.hangupIfDone = 1;
    rig.network.state.modem = true;
    CountdownDialog* dialog = rig.Raise();
    ASSERT_NE(dialog, nullptr);
    auto* bar = dialog->findChild<QProgressBar*>();
    auto* seconds = dialog->findChild<QLabel*>(QStringLiteral("seconds"));
    ASSERT_NE(seconds, nullptr);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(seconds->text(), "15");
    for (int second = 1; second < CountdownSteps::kSteps; ++second) {
        dialog->Tick();
        EXPECT_EQ(bar->value(), 1 + second) << "the bar steps with the seconds";
        EXPECT_EQ(seconds->text(), QString::number(CountdownSteps::kSteps - second));
    }
    EXPECT_EQ(bar->value(), bar->maximum()) << "full in the last second";
    EXPECT_TRUE(rig.network.calls.empty()) << "nothing before 0";
    dialog->Tick();
    EXPECT_EQ(rig.network.calls, (std::vector<std::string>{"hangup", "poweroff"}));
    EXPECT_EQ(rig.exits, 1) << "the refused power-off still ends Dromo";
}

}  // namespace
}  // namespace dromo
