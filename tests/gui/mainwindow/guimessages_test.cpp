// The program's questions as boxes a person answers with the keyboard.

#include "gui/mainwindow/guimessages.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>

#include "tests/gui/mainwindow/windowdriver.h"
#include "tests/gui/realinput.h"

namespace dromo {
namespace {

// What the box showed, and what Return answered.
struct Seen {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool answer = false;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s)
{
    return out << "icon " << s.icon << " buttons " << s.buttons.toInt() << " default " << s.defaultButton << " answer "
               << s.answer;
}

Seen AskAndPressReturn(GuiMessages& messages, const std::string& text, Ask kind)
{
    Seen seen;
    test::WhenDialogShows([&seen](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(test::ShowActive(*box));
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->standardButton(box->defaultButton());
        test::Press(Qt::Key_Return);
    });
    seen.answer = messages.AskOkCancel(text, kind);
    return seen;
}

// "There is task running, exit anyway?" asks with OK and Cancel and the
// stop icon, and Return exits, as the user who chose Exit expects; the
// question that clears the history keeps Cancel the default.
TEST(GuiMessages, TheExitQuestionHasTheStopIconAndOkAsItsDefault)
{
    GuiMessages messages;
    const QMessageBox::StandardButtons okCancel = QMessageBox::Ok | QMessageBox::Cancel;
    EXPECT_EQ(AskAndPressReturn(messages, "There is task running, exit anyway?", Ask::Stop),
              (Seen{QMessageBox::Critical, okCancel, QMessageBox::Ok, true}));
    EXPECT_EQ(
        AskAndPressReturn(messages, "This action will permanently clear your download record so far, are you sure?",
                          Ask::Question),
        (Seen{QMessageBox::Question, okCancel, QMessageBox::Cancel, false}));
}

}  // namespace
}  // namespace dromo
