// A Metalink file a browser handed over that could not be fetched: the
// window shows no box (the browser's caller has gone) but a task that says
// why, and the user's Resume fetches it again with the browser's details,
// its files then taking the failed task's place.

#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>

#include "base/values/taskrow.h"
#include "tests/gui/mainwindow/windowdriver.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/gui/realinput.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Window;

std::string Target(Window& w, int row)
{
    auto guard = w.table.Lock();
    return w.table.RowCopy(row).texts[kColTarget];
}

TEST(MetalinkRetry, AFailedMetalinkFetchLeavesATaskThatResumeFetchesAgain)
{
    test::TempDir temp;
    const std::string meta4 = temp.File("fetched.meta4");
    test::WriteFile(meta4,
                    "<?xml version=\"1.0\"?>\n<metalink xmlns=\"urn:ietf:params:xml:ns:metalink\">"
                    "<file name=\"m.iso\"><url priority=\"1\">https://members.h/files/m.iso</url></file>"
                    "</metalink>\n");
    Window w;
    w.engines.script.Add(test::Step::Fail("Error 403 from server: Forbidden"));
    w.engines.script.Add(test::Step{.ok = true, .savedAs = meta4});
    DownloadDetails details;
    details.cookieJar = "members.h\tFALSE\t/\tTRUE\t0\tsess\ts3cret\n";
    details.referrer = "https://members.h/list.html";
    details.userAgent = "Browser/1.0";
    ASSERT_TRUE(test::ShowActive(*w.frame));

    const std::string url = "https://members.h/files/all.meta4";
    EXPECT_EQ(w.frame->Desk().AddDownload(QString::fromStdString(url), details).toStdString(), "");
    ASSERT_TRUE(test::WaitForList(w.model, 1));
    const TaskRecord failed = *w.table.CopyOut(0);
    EXPECT_EQ(Target(w, 0), url);
    EXPECT_EQ(failed.State(), TaskState::Paused);
    EXPECT_NE(failed.failure.find("The Metalink file could not be fetched: Error 403 from server: Forbidden"),
              std::string::npos)
        << failed.failure;
    {
        auto guard = w.table.Lock();
        EXPECT_EQ(w.table.RowCopy(0).texts[kColStatus], failed.failure);
    }
    EXPECT_TRUE(w.messages.shown.empty());

    test::ClickRow(w.frame->View(), 0);
    ASSERT_TRUE(test::ClickToolButton(*w.frame, CommandId::Resume));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.table.Count() == 1 && Target(w, 0) != url; }));
    EXPECT_EQ(Target(w, 0), "https://members.h/files/m.iso");
    const TaskRecord file = *w.table.CopyOut(0);
    EXPECT_EQ(file.cookieJar, details.cookieJar);
    EXPECT_EQ(file.referrer, details.referrer);
    EXPECT_EQ(file.userAgent, details.userAgent);
    EXPECT_EQ(file.metalinkDocument, 0);

    // Both fetches went as the browser's own request.
    const std::vector<std::string> calls = w.engines.script.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetCookieJar " + details.cookieJar), 2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetUserAgent Browser/1.0"), 2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetRequestDetails  | " + details.referrer), 2);
}

}  // namespace
}  // namespace dromo
