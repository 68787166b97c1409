// The hand-over desk on its own, through a window that only records what
// it was asked to show or ask: no widget of the program is shown or used.

#include <gtest/gtest.h>

#include <QTest>

#include <string>
#include <vector>

#include "tests/gui/mainwindow/windowrig.h"

namespace dromo {
namespace {

// Records what the desk asks of the window. The Add URL sheet is modal: while
// it asks, the event loop runs on, as a sheet's own loop does.
class RecordingWindow : public HandOverWindow {
public:
    std::vector<std::string> history;  // HistoryChanged's URLs, in order
    std::vector<std::string> asked;    // the texts the sheet was asked about
    int asking = 0;
    int mostAtOnce = 0;
    std::vector<std::string> continued;

    void HistoryChanged(const std::string& added) override { history.push_back(added); }
    std::optional<QString> AskAddUrl(const QString& text, const DownloadDetails*) override
    {
        asked.push_back(text.toStdString());
        mostAtOnce = std::max(mostAtOnce, ++asking);
        QTest::qWait(60);  // the hand-overs after it arrive meanwhile
        --asking;
        return QString();  // answered
    }
    void ContinuesFromNewAddress(const QString& name) override { continued.push_back(name.toStdString()); }
};

std::vector<std::string> Strings(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list) {
        out.push_back(s.toStdString());
    }
    return out;
}

// With "Popup Dialog" on, hand-overs that come while the sheet asks about
// one wait their turn: one sheet at a time, in the order they came, each
// caller answered once its own sheet closed.
TEST(HandOverDesk, HandOversThatComeWhileTheSheetAsksWaitTheirTurn)
{
    test::Window w;
    w.settings.options.popupDialog = 1;
    RecordingWindow window;
    HandOverDesk desk(w.app.context, window);
    std::vector<std::string> answered;
    const auto answer = [&answered](const std::string& which) {
        return [&answered, which](const QString& refusal) { answered.push_back(which + ":" + refusal.toStdString()); };
    };
    DownloadDetails details;
    details.referrer = "http://h/page.html";
    desk.HandOverUrl("http://h/a.zip", answer("a"));
    desk.HandOverDownload("http://h/b.zip", details, answer("b"));
    desk.HandOverUrl("http://h/c.zip", answer("c"));
    ASSERT_TRUE(QTest::qWaitFor([&answered] { return answered.size() == 3; }, 5000));
    EXPECT_EQ(window.asked, (std::vector<std::string>{"http://h/a.zip", "http://h/b.zip", "http://h/c.zip"}));
    EXPECT_EQ(window.mostAtOnce, 1);
    EXPECT_EQ(answered, (std::vector<std::string>{"a:", "b:", "c:"}));
    EXPECT_FALSE(desk.AskingOutside());
}

// URLs handed over together: one pass, one save, each URL's refusal in its
// place ("" for each taken), the address box told of each; a failed save
// is every taken URL's answer, a refusal stays its own.
TEST(HandOverDesk, UrlsHandedOverTogetherAreSavedOnceAndAnsweredInTheirOrder)
{
    const struct {
        const char* what;
        bool saves;
        std::vector<std::string> refusals;
    } cases[] = {
        {"saved", true, {"", "invalid url", ""}},
        {"the save fails",
         false,
         {"The task was added, but the task list could not be saved.", "invalid url",
          "The task was added, but the task list could not be saved."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::Window w;
        w.profile.flushResult = c.saves;
        RecordingWindow window;
        HandOverDesk desk(w.app.context, window);
        const int flushes = w.profile.thenFlushes;
        std::optional<QStringList> refusals;
        desk.HandOverUrls({"http://h/a.zip", "nonsense", "http://h/b.zip"},
                          [&refusals](const QStringList& r) { refusals = r; });
        ASSERT_TRUE(QTest::qWaitFor([&refusals] { return refusals.has_value(); }, 5000));
        EXPECT_EQ(Strings(*refusals), c.refusals);
        EXPECT_EQ(w.profile.thenFlushes - flushes, 1) << "one save for the three";
        EXPECT_EQ(w.table.Count(), 2);
        EXPECT_EQ(window.history, (std::vector<std::string>{"http://h/a.zip", "nonsense", "http://h/b.zip"}));
        EXPECT_TRUE(window.asked.empty());
    }
}

}  // namespace
}  // namespace dromo
