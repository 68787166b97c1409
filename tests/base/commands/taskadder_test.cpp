#include "base/commands/taskadder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "base/text/cookiejar.h"
#include "base/text/metalinkdocument.h"
#include "base/text/requestdetails.h"
#include "base/values/globaloptions.h"
#include "tests/base/fakes/fakes.h"

namespace dromo {
namespace {

struct Fixture {
    ViewSettings settings;
    GlobalOptions& options = settings.options;
    TaskTable table;
    test::FakeWorkerStarter pool;
    test::RecordingObserver observer;
    test::FakeMessages messages;
    test::FakeSound sound;
    TaskAdder adder{table, settings, pool, observer, messages, sound, 0x1234};
};

TEST(RestoreTask, StateFollowsSavedStateResumeIfStartAndSchedule)
{
    struct Case {
        TaskState saved;
        int resumeIfStart;
        int scheduled;
        TaskState expected;
    };
    const Case cases[] = {
        {TaskState::Done, 0, 0, TaskState::Done},        {TaskState::Done, 1, 0, TaskState::Done},
        {TaskState::Running, 0, 0, TaskState::Paused},   {TaskState::Error, 0, 0, TaskState::Paused},
        {TaskState::Queued, 1, 0, TaskState::Queued},    {TaskState::Paused, 1, 0, TaskState::Queued},
        {TaskState::Paused, 0, 1, TaskState::Scheduled}, {TaskState::Queued, 1, 1, TaskState::Scheduled},
        {TaskState::Done, 0, 1, TaskState::Scheduled},  // the schedule wins even over Done
    };
    for (const Case& c : cases) {
        Fixture f;
        f.options.resumeIfStart = c.resumeIfStart;
        TaskRecord r;
        r.SetState(c.saved);
        r.scheduled = c.scheduled;
        ASSERT_TRUE(f.adder.RestoreTask("http://h/f.zip", "10", "Yes", "5%", r));
        const TaskRecord got = *f.table.CopyOut(0);
        EXPECT_EQ(got.State(), c.expected) << static_cast<int>(c.saved);
        EXPECT_EQ(f.table.RowCopy(0).stateImage, StateImageOf(got.state));
        // StartWorkerIfBelowLimit once per restored task, only with "Resume if Start" on.
        EXPECT_EQ(f.pool.ruleB, c.resumeIfStart);
        EXPECT_EQ(f.pool.ruleA, 0);
    }
}

TEST(RestoreTask, ParsesTheUrlAgainAndFillsTheRow)
{
    Fixture f;
    TaskRecord r;
    r.host = "stale";
    r.saveAs = "/d/b.zip";
    ASSERT_TRUE(f.adder.RestoreTask("HTTP://Host:8080/a/b.zip", "1024", "Yes", "50%", r));
    const TaskRecord got = *f.table.CopyOut(0);
    EXPECT_EQ(got.protocol, kProtocolHttp);
    EXPECT_EQ(got.host, "Host");
    EXPECT_EQ(got.port, 8080);
    EXPECT_EQ(got.remotePath, "/a/b.zip");
    EXPECT_EQ(got.taskId, 0);
    EXPECT_EQ(got.ownerWindow, 0x1234u);
    EXPECT_EQ(got.saveAs, "/d/b.zip");
    const TaskRow row = f.table.RowCopy(0);
    EXPECT_EQ(row.texts[kColTarget], "HTTP://Host:8080/a/b.zip");
    EXPECT_EQ(row.texts[kColSize], "1024");
    EXPECT_EQ(row.texts[kColResume], "Yes");
    EXPECT_EQ(row.texts[kColProgress], "50%");
    EXPECT_EQ(row.texts[kColStatus], "");
    EXPECT_EQ(row.icon, 1);
    EXPECT_EQ(f.observer.pane1, "0 tasks is running");
    EXPECT_EQ(f.observer.pane2, "0 tasks is in queue");
}

TEST(RestoreTask, UnparsableUrlsAreDroppedSilently)
{
    Fixture f;
    f.options.resumeIfStart = 1;
    for (const char* url : {"", "http://nohost", "file:///x", "garbage"}) {
        EXPECT_FALSE(f.adder.RestoreTask(url, "", "N/A", "", TaskRecord{})) << url;
    }
    EXPECT_EQ(f.table.Count(), 0);
    EXPECT_EQ(f.pool.ruleB, 0);
    EXPECT_TRUE(f.observer.events.empty());
}

// Older profiles can hold two tasks with one file. Both stay: of two that
// would write it, the later one moves to a free name; a finished task keeps
// the name of the file it has, so then the unfinished one moves.
TEST(RestoreTask, TwoStoredTasksWithOneFileBothStayUnderTwoNames)
{
    struct Case {
        TaskState first;
        TaskState second;
        const char* firstName;
        const char* secondName;
    } cases[] = {
        {TaskState::Paused, TaskState::Paused, "/d/x.iso", "/d/x (2).iso"},
        {TaskState::Done, TaskState::Queued, "/d/x.iso", "/d/x (2).iso"},
        {TaskState::Paused, TaskState::Done, "/d/x (2).iso", "/d/x.iso"},
        {TaskState::Done, TaskState::Done, "/d/x.iso", "/d/x.iso"},  // nothing more is written to either
    };
    for (const Case& c : cases) {
        for (int resumeIfStart : {0, 1}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(c.first)) + "/" + std::to_string(static_cast<int>(c.second)) +
                         " resume " + std::to_string(resumeIfStart));
            Fixture f;
            f.options.resumeIfStart = resumeIfStart;
            TaskRecord r;
            r.saveAs = "/d/x (1).iso";
            ASSERT_TRUE(f.adder.RestoreTask("http://h/other/x.iso", "", "N/A", "", r));
            r.saveAs = "/d/x.iso";
            r.SetState(c.first);
            ASSERT_TRUE(f.adder.RestoreTask("http://h/x.iso", "", "N/A", "", r));
            r.SetState(c.second);
            ASSERT_TRUE(f.adder.RestoreTask("http://mirror/x.iso", "", "N/A", "", r));
            ASSERT_EQ(f.table.Count(), 3);
            EXPECT_EQ(f.table.CopyOut(0)->saveAs, "/d/x (1).iso");
            EXPECT_EQ(f.table.CopyOut(1)->saveAs, c.firstName);
            EXPECT_EQ(f.table.CopyOut(2)->saveAs, c.secondName);
        }
    }
}

TEST(RestoreTask, CountsQueuedTasksInTheStatusBar)
{
    Fixture f;
    f.options.resumeIfStart = 1;
    f.adder.RestoreTask("ftp://h/a", "", "N/A", "", TaskRecord{});
    f.adder.RestoreTask("ftp://h/b", "", "N/A", "", TaskRecord{});
    EXPECT_EQ(f.observer.pane2, "2 tasks is in queue");
    EXPECT_EQ(f.table.RowOf(1), 1);
}

}  // namespace
}  // namespace dromo

namespace dromo {
namespace {

TEST(AddTask, UrlsSavePathsAndRows)
{
    struct Case {
        const char* url;
        AddResult result;
        const char* saveAs;
        const char* target;  // the row's URL
        int icon;
    };
    const Case cases[] = {
        {"http://host", AddResult::InvalidUrl, "", "", 0},
        {"http://host/", AddResult::Added, "/dl/index.html", "http://host/", 0},
        {"HTTP://Host:8080/a/b.zip", AddResult::Added, "/dl/b.zip", "HTTP://Host:8080/a/b.zip", 1},
        {"http://h/cgi?id=1", AddResult::Added, "/dl/cgi", "http://h/cgi?id=1", 0},
        {"http://h/photo.jpg?v=2#top", AddResult::Added, "/dl/photo.jpg", "http://h/photo.jpg?v=2#top", 0},
        {"http://h/d/%C3%9Cbersicht.tar.gz", AddResult::Added,
         "/dl/\xC3\x9C"
         "bersicht.tar.gz",
         "http://h/d/%C3%9Cbersicht.tar.gz", 0},
        {"http://h/a%2F..%2Fb.txt", AddResult::Added, "/dl/a_.._b.txt", "http://h/a%2F..%2Fb.txt", 2},
        {"http://h/.bashrc", AddResult::Added, "/dl/_bashrc", "http://h/.bashrc", 0},
        {"http://h/..", AddResult::Added, "/dl/index.html", "http://h/..", 0},
        {"http://h/.", AddResult::Added, "/dl/index.html", "http://h/.", 0},
        {"ftp://user:pw@h/pub/f.txt", AddResult::Added, "/dl/f.txt", "ftp://h/pub/f.txt", 2},
        {"https://user:pw@h/pub/f.zip", AddResult::Added, "/dl/f.zip", "https://h/pub/f.zip", 1},
        // The last at-sign of the host part ends the login: none is left behind.
        {"https://user:p@ss@h/pub/g.zip", AddResult::Added, "/dl/g.zip", "https://h/pub/g.zip", 1},
        {"http://h:8080/a@b.exe", AddResult::Added, "/dl/a@b.exe", "http://h:8080/a@b.exe", 5},
        {"https://h/x.mp3", AddResult::Added, "/dl/x.mp3", "https://h/x.mp3", 3},
        {"gopher://h/x", AddResult::InvalidUrl, "", "", 0},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.options.saveTo = "/dl/";
        EXPECT_EQ(f.adder.AddTask(c.url, ""), c.result) << c.url;
        if (c.result != AddResult::Added) {
            EXPECT_EQ(f.messages.shown, std::vector<std::string>{"invalid url"});
            EXPECT_EQ(f.table.Count(), 0);
            EXPECT_EQ(f.pool.ruleA, 0);
            continue;
        }
        const TaskRecord r = *f.table.CopyOut(0);
        const TaskRow row = f.table.RowCopy(0);
        EXPECT_EQ(r.saveAs, c.saveAs) << c.url;
        EXPECT_EQ(row.texts[kColTarget], c.target) << c.url;
        EXPECT_EQ(row.icon, c.icon) << c.url;
        EXPECT_EQ(row.texts[kColSize], "0");
        EXPECT_EQ(row.texts[kColResume], "N/A");
        EXPECT_EQ(row.texts[kColProgress], "0");
        EXPECT_EQ(r.State(), TaskState::Queued);
        EXPECT_EQ(row.stateImage, kImageQueued);
        EXPECT_EQ(f.pool.ruleA, 1);
        EXPECT_EQ(f.observer.pane2, "1 tasks is in queue");
    }
}

TEST(AddTask, TheRecordTakesTheOptions)
{
    Fixture f;
    f.options.saveTo = "/dl";  // a folder typed without its "/"
    f.options.maxErrorCount = 9;
    f.options.retryInterval = 7;
    f.options.userAgent = "UA";
    f.options.enableSchedule = 1;
    f.options.scheduleStartAt = "6:30";
    f.options.enableSound = 1;
    f.options.soundAddFile = "add.wav";
    f.settings.proxies = {{"p", 1, "", ""}};
    f.options.enableProxy = 1;
    f.adder.AddTask("ftp://h/f.bin", "");
    const TaskRecord r = *f.table.CopyOut(0);
    EXPECT_EQ(r.saveAs, "/dl/f.bin");
    EXPECT_EQ(r.errorCount, 9);
    EXPECT_EQ(r.retryInterval, 7);
    EXPECT_EQ(r.userAgent, "UA");
    EXPECT_EQ(r.user, "anonymous");
    EXPECT_EQ(r.useLogin, 0);
    EXPECT_EQ(r.useProxy, 1);
    EXPECT_EQ(r.proxyIndex, 0);
    EXPECT_EQ(r.State(), TaskState::Scheduled);
    EXPECT_EQ(r.startAt, "6:30");
    EXPECT_EQ(f.table.RowCopy(0).stateImage, kImageScheduled);
    EXPECT_EQ(f.sound.started, std::vector<std::string>{"add.wav"});
}

TEST(AddTask, TwoTasksNeverShareATargetAndATypedPathOfARunningTaskBlocks)
{
    Fixture f;
    f.options.saveTo = "/dl/";
    EXPECT_EQ(f.adder.AddTask("http://h/a.zip", ""), AddResult::Added);
    // The first is only queued: a second task, under the next free name.
    EXPECT_EQ(f.adder.AddTask("http://h/a.zip", ""), AddResult::Added);
    EXPECT_EQ(f.table.CopyOut(1)->saveAs, "/dl/a (1).zip");
    f.table.SetState(0, TaskState::Running);
    EXPECT_EQ(f.adder.AddTask("http://other/x.bin", "/dl/A.ZIP"), AddResult::SameFileRunning);
    EXPECT_EQ(f.messages.shown, std::vector<std::string>{"The same file is being downloaded."});
    EXPECT_EQ(f.table.Count(), 2);
    // A name taken from the URL never blocks: it moves on to a free one.
    EXPECT_EQ(f.adder.AddTask("http://other/a.zip", ""), AddResult::Added);
    EXPECT_EQ(f.table.CopyOut(2)->saveAs, "/dl/a (2).zip");
    // A folder alone gets the URL's name.
    EXPECT_EQ(f.adder.AddTask("http://h/", "/dl/"), AddResult::Added);
    EXPECT_EQ(f.table.CopyOut(3)->saveAs, "/dl/index.html");
    EXPECT_EQ(f.messages.shown.size(), 1u);
}

// Many links ending in one name each get a name of their own, past the
// thousand numbered names that once ended the search (the rest then shared
// the last name); and the first free number is still the one chosen after a
// task gives its name up, by deletion or by its transfer moving aside.
TEST(AddTask, ManyAddsOfOneNameNeverShareAndTheFirstFreeNumberIsTaken)
{
    constexpr int kAdds = 1500;
    const struct {
        const char* what;
        void (*freeName)(TaskTable& table);  // gives up "/dl/same (7).iso", in row 7
    } cases[] = {
        {"deleted", [](TaskTable& table) { table.Remove(7); }},
        {"moved aside",
         [](TaskTable& table) { table.Update(table.TaskIdAt(7), [](TaskRecord& r) { r.saveAs = "/dl/other.iso"; }); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        f.options.saveTo = "/dl/";
        std::set<std::string> names;
        for (int i = 0; i < kAdds; ++i) {
            ASSERT_EQ(f.adder.AddTask("http://h" + std::to_string(i) + "/same.iso", ""), AddResult::Added);
            names.insert(f.table.CopyOut(i)->saveAs);
        }
        EXPECT_EQ(names.size(), static_cast<std::size_t>(kAdds));
        EXPECT_EQ(f.table.CopyOut(kAdds - 1)->saveAs, "/dl/same (" + std::to_string(kAdds - 1) + ").iso");

        ASSERT_EQ(f.table.CopyOut(7)->saveAs, "/dl/same (7).iso");
        c.freeName(f.table);
        ASSERT_EQ(f.adder.AddTask("http://again/same.iso", ""), AddResult::Added);
        EXPECT_EQ(f.table.CopyOut(f.table.Count() - 1)->saveAs, "/dl/same (7).iso");
        // The search then goes on after the last number handed out.
        ASSERT_EQ(f.adder.AddTask("http://again2/same.iso", ""), AddResult::Added);
        EXPECT_EQ(f.table.CopyOut(f.table.Count() - 1)->saveAs, "/dl/same (" + std::to_string(kAdds) + ").iso");
    }
}

// A link handed over again while its download runs is that same file:
// refused, wherever its name came from. Other links that end in the same
// name are other files and take the next free one.
TEST(AddTask, TheSameLinkAgainWhileItRunsIsRefused)
{
    Fixture f;
    f.options.saveTo = "/dl/";
    ASSERT_EQ(f.adder.AddTask("http://h/same.iso?k", ""), AddResult::Added);
    f.table.SetState(0, TaskState::Running);
    DownloadDetails named;
    named.fileName = "same.iso";
    EXPECT_EQ(f.adder.AddTask("http://h/same.iso?k", ""), AddResult::SameFileRunning);
    EXPECT_EQ(f.adder.AddDownload("http://h/same.iso?k", named), AddResult::SameFileRunning);
    EXPECT_EQ(f.adder.AddTask("HTTP://H:80/same.iso?k", "/dl/"), AddResult::SameFileRunning);
    // Moved aside by its engine, it is still that link's file.
    f.table.Update(0, [](TaskRecord& r) { r.saveAs = "/dl/same (4).iso"; });
    EXPECT_EQ(f.adder.AddTask("http://h/same.iso?k", ""), AddResult::SameFileRunning);
    EXPECT_EQ(f.messages.shown, std::vector<std::string>(4, "The same file is being downloaded."));
    EXPECT_EQ(f.table.Count(), 1);

    ASSERT_EQ(f.adder.AddTask("http://h/mirror2/same.iso?k", ""), AddResult::Added);
    EXPECT_EQ(f.table.CopyOut(1)->saveAs, "/dl/same.iso");
    ASSERT_EQ(f.adder.AddTask("http://h/same.iso?other", ""), AddResult::Added);
    EXPECT_EQ(f.table.CopyOut(2)->saveAs, "/dl/same (1).iso");
    ASSERT_EQ(f.adder.AddTask("http://h/same.iso?k", "/other/"), AddResult::Added);  // another folder, on purpose
    EXPECT_EQ(f.table.CopyOut(3)->saveAs, "/other/same.iso");
    // Once it no longer runs, the same link adds a second copy as always.
    f.table.SetState(0, TaskState::Paused);
    ASSERT_EQ(f.adder.AddTask("http://h/same.iso?k", ""), AddResult::Added);
    EXPECT_EQ(f.table.CopyOut(4)->saveAs, "/dl/same (2).iso");
    EXPECT_EQ(f.messages.shown.size(), 4u);
}

TEST(AddTask, ABrowsersDownloadKeepsItsDetailsAndName)
{
    struct Case {
        const char* url;
        const char* fileName;
        const char* saveAs;
    } cases[] = {
        {"http://h/get?id=7", "report.pdf", "/pdf/report.pdf"},
        {"http://h/download/12345", "setup-12345.exe", "/dl/setup-12345.exe"},
        {"http://h/x.zip", "", "/dl/x.zip"},
        {"http://h/x", "../../.bashrc", "/dl/___.._.bashrc"},
        // A name that would be another download's partial file.
        {"http://h/x", "victim.bin+++", "/dl/victim.bin++_"},
        {"http://h/victim3.bin+++", "", "/dl/victim3.bin++_"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.options.saveTo = "/dl/";
        f.options.userAgent = "Dromo";
        f.options.enableCategory = 1;
        f.settings.categories = {{"Documents", "pdf", "/pdf/"}};
        DownloadDetails details;
        details.cookie = "session=abc";
        details.cookieJar = "#HttpOnly_h\tFALSE\t/members/\tTRUE\t0\tsession\tabc\n";
        details.referrer = "http://h/page";
        details.userAgent = "Browser/1.0";
        details.fileName = c.fileName;
        ASSERT_EQ(f.adder.AddDownload(c.url, details), AddResult::Added) << c.url;
        const TaskRecord r = *f.table.CopyOut(0);
        EXPECT_EQ(r.saveAs, c.saveAs) << c.url;
        EXPECT_EQ(r.cookie, "session=abc");
        EXPECT_EQ(r.cookieJar, details.cookieJar);
        EXPECT_EQ(r.browserCookie, 1);
        EXPECT_EQ(r.referrer, "http://h/page");
        EXPECT_EQ(r.userAgent, "Browser/1.0");
    }
    // A jar alone is a browser's cookie too: a restart that loses it can say why.
    for (const auto& [cookie, jar, noted] :
         {std::tuple{"", "", 0}, std::tuple{"a=1", "", 1}, std::tuple{"", "h\tFALSE\t/\tFALSE\t0\ta\t1", 1}}) {
        Fixture f;
        DownloadDetails details;
        details.cookie = cookie;
        details.cookieJar = jar;
        ASSERT_EQ(f.adder.AddDownload("http://h/x.bin", details), AddResult::Added);
        EXPECT_EQ(f.table.CopyOut(0)->browserCookie, noted) << cookie << jar;
    }
    Fixture f;
    EXPECT_EQ(f.adder.AddDownload("data:text/plain,hi", DownloadDetails{}), AddResult::InvalidUrl);
    EXPECT_EQ(f.table.Count(), 0);
}

// Details that would break a request's head are refused before a task is
// made of them: a line break in a header value adds headers of the caller's
// choosing, and a cookie beyond what a request carries is never sent whole.
TEST(AddTask, ABrowsersDetailsThatWouldBreakARequestAreRefused)
{
    const std::string longest(kMaxCookieBytes, 'c');
    const std::string kJarLine = "h\tFALSE\t/\tTRUE\t0\tsid\tabc";
    const std::string kJar = kJarLine + "\n";
    struct Case {
        const char* what;
        DownloadDetails details;
        AddResult expected;
    } cases[] = {
        {"CR LF in the referrer", {"", "http://h/\r\nX-Injected: 1", "", "", "", -1, ""}, AddResult::UnsafeDetails},
        {"LF in the user agent", {"", "", "UA/1\nX-Injected: 1", "", "", -1, ""}, AddResult::UnsafeDetails},
        {"CR in the cookie", {"a=1\rX-Injected: 1", "", "", "", "", -1, ""}, AddResult::UnsafeDetails},
        {"NUL in the referrer", {"", std::string("http://h/\0x", 10), "", "", "", -1, ""}, AddResult::UnsafeDetails},
        {"a cookie one byte too long", {longest + "c", "", "", "", "", -1, ""}, AddResult::CookieTooLong},
        {"a cookie of a megabyte", {std::string(1 << 20, 'c'), "", "", "", "", -1, ""}, AddResult::CookieTooLong},
        {"the longest cookie", {longest, "", "UA/1", "", "", -1, ""}, AddResult::Added},
        {"a tab in the agent", {"", "", "UA\t1", "", "", -1, ""}, AddResult::UnsafeDetails},
        {"DEL in the referrer", {"", "http://h/\x7f", "", "", "", -1, ""}, AddResult::UnsafeDetails},
        {"a line break in the name only", {"", "", "", "a\nb.bin", "", -1, ""}, AddResult::Added},
        {"a jar of two cookies", {"", "", "", "", "", -1, kJar + kJar}, AddResult::Added},
        {"a jar with CR LF line ends", {"", "", "", "", "", -1, kJarLine + "\r\n"}, AddResult::UnsafeCookieJar},
        {"a jar holding a header", {"", "", "", "", "", -1, kJar + "X-Injected: 1\n"}, AddResult::BadCookieJar},
        {"a jar of six fields", {"", "", "", "", "", -1, "h\tFALSE\t/\tFALSE\t0\tn\n"}, AddResult::BadCookieJar},
        {"a jar beyond its bound",
         {"", "", "", "", "", -1, std::string(CookieJar::kMaxBytes + 1, '#')},
         AddResult::CookieJarTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        f.options.saveTo = "/dl/";
        EXPECT_EQ(f.adder.AddDownload("http://h/x.bin", c.details), c.expected);
        EXPECT_EQ(f.table.Count(), c.expected == AddResult::Added ? 1 : 0);
        EXPECT_EQ(RefuseDetails(c.details).value_or(AddResult::Added), c.expected);
        EXPECT_NE(std::string(AddResultMessage(c.expected)).empty(), c.expected != AddResult::Added);
    }
}

TEST(AddTask, CategoriesChooseTheFolderByExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://h/f.ZIP", "/zips/f.ZIP"},
        {"http://h/f.tar.gz", "/gz/f.tar.gz"},
        {"http://h/f.iso", "/dl/f.iso"},
        {"http://h/noext", "/dl/noext"},
    };
    for (auto [url, expected] : cases) {
        Fixture f;
        f.options.saveTo = "/dl/";
        f.options.enableCategory = 1;
        f.settings.categories = {{"Archives", "zip", "/zips/"}, {"Gz", "gz", "/gz/"}, {"Also", "zip", "/x/"}};
        f.adder.AddTask(url, "");
        EXPECT_EQ(f.table.CopyOut(0)->saveAs, expected) << url;
    }
}

TEST(AddTask, LoginsFromTheUrlAndTheSiteList)
{
    struct Case {
        const char* url;
        std::vector<SiteEntry> sites;
        const char* user;
        const char* password;
        int useLogin;
    };
    const Case cases[] = {
        {"ftp://u:p@h/f", {}, "u", "p", 1},
        {"ftp://u:p@h/f", {{"h", "site", "sp"}}, "site", "sp", 1},  // a port-less match replaces it
        {"ftp://h/f", {{"H:21", "exact", "e"}, {"h", "any", "a"}}, "exact", "e", 1},
        {"ftp://h/f", {{"h", "first", "1"}, {"h", "second", "2"}}, "second", "2", 1},
        {"ftp://h/f", {{"h:2121", "other", "o"}}, "anonymous", kDefaultPassword, 0},
        {"http://u@h/f", {}, "anonymous", kDefaultPassword, 0},  // no password: no login taken
        {"https://u:p@h/f", {}, "u", "p", 1},                    // the scheme's colon is not the login's
        {"http://u:p@h:8080/f", {}, "u", "p", 1},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.options.enableSecurity = 1;
        f.settings.sites = c.sites;
        f.adder.AddTask(c.url, "");
        const TaskRecord r = *f.table.CopyOut(0);
        EXPECT_EQ(r.user, c.user) << c.url;
        EXPECT_EQ(r.password, c.password) << c.url;
        EXPECT_EQ(r.useLogin, c.useLogin) << c.url;
    }
}

TEST(AddTask, FromARecordKeepsItsTransferSettings)
{
    Fixture f;
    f.options.maxErrorCount = 6;
    f.settings.proxies = {{"p", 1, "", ""}, {"q", 2, "", ""}};
    TaskRecord r;
    r.saveAs = "/mine/x.bin";
    r.errorCount = 2;
    r.proxyIndex = 1;
    r.useProxy = 1;
    r.useLogin = 1;
    r.user = "me";
    r.scheduled = 1;
    EXPECT_EQ(f.adder.AddTaskFromRecord("http://h/f.zip", r), AddResult::Added);
    const TaskRecord got = *f.table.CopyOut(0);
    EXPECT_EQ(got.saveAs, "/mine/x.bin");
    EXPECT_EQ(got.errorCount, 2);
    EXPECT_EQ(got.proxyIndex, 1);
    EXPECT_EQ(got.user, "me");
    EXPECT_EQ(got.State(), TaskState::Scheduled);
    EXPECT_EQ(got.host, "h");
    EXPECT_EQ(f.table.RowCopy(0).stateImage, kImageScheduled);
}

// One task per file of a Metalink file: its URL the most wanted mirror, its
// name the file's own in the chosen folder, its hash, mirrors and pieces
// kept; a refused document says why and adds nothing.
TEST(AddMetalink, OneTaskPerFileWithItsMirrorsHashAndPieces)
{
    const std::string sum = "sha-256=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    MetalinkReading reading;
    MetalinkFile a;
    a.name = "a.iso";
    a.mirrors = *MirrorList::Parse("2::http://slow/a.iso 1:de:https://fast/pub/a.iso");
    a.digests = *DigestList::Parse(sum + ", md5=d41d8cd98f00b204e9800998ecf8427e");
    a.pieces = *PieceHashes::Parse("sha-1 4 " + std::string(40, 'a'));
    MetalinkFile b;
    b.name = "b.txt";
    b.mirrors = *MirrorList::Parse("3::ftp://f/x/y/other-name.txt");
    reading.files = {a, b};
    const struct {
        const char* folder;
        const char* saveA;
        const char* saveB;
    } cases[] = {
        {"", "/dl/a.iso", "/dl/b.txt"},  // where the options put each name
        {"/chosen", "/chosen/a.iso", "/chosen/b.txt"},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.options.saveTo = "/dl/";
        f.options.maxThreadNumber = 0;
        EXPECT_EQ(f.adder.AddMetalink(reading, c.folder), 2);
        ASSERT_EQ(f.table.Count(), 2);
        const TaskRecord first = *f.table.CopyOut(0);
        EXPECT_EQ(f.table.RowCopy(0).texts[kColTarget], "https://fast/pub/a.iso");
        EXPECT_EQ(first.saveAs, c.saveA);
        EXPECT_EQ(first.checksum, a.digests.Stored());
        EXPECT_EQ(first.mirrors, "1:de:https://fast/pub/a.iso 2::http://slow/a.iso");
        EXPECT_EQ(first.pieces, a.pieces.Stored());
        const TaskRecord second = *f.table.CopyOut(1);
        EXPECT_EQ(f.table.RowCopy(1).texts[kColTarget], "ftp://f/x/y/other-name.txt");
        EXPECT_EQ(second.saveAs, c.saveB);
        EXPECT_EQ(second.checksum, "");
        EXPECT_TRUE(f.messages.shown.empty());
    }
    // A file's name follows the rule every other name follows.
    const struct {
        const char* name;
        const char* saveAs;
    } names[] = {
        {"X+++", "/dl/X++_"},
        {"-rf", "/dl/_rf"},
        {"~", "/dl/_"},
        {"invoice\xE2\x80\xAE"
         "fdp.exe",
         "/dl/invoice_fdp.exe"},
        {".profile", "/dl/_profile"},
        {" ", "/dl/other-name.txt"},
    };
    for (const auto& n : names) {
        for (const char* folder : {"", "/dl"}) {
            Fixture f;
            f.options.saveTo = "/dl/";
            f.options.maxThreadNumber = 0;
            MetalinkFile named = b;
            named.name = n.name;
            EXPECT_EQ(f.adder.AddMetalinkFile(named, folder), AddResult::Added) << n.name;
            ASSERT_EQ(f.table.Count(), 1);
            EXPECT_EQ(f.table.CopyOut(0)->saveAs, n.saveAs) << n.name << " in \"" << folder << '"';
        }
    }
    Fixture f;
    MetalinkReading refused;
    refused.error = "Line 3: \"../x\" is not a plain file name; Dromo saves no file outside its folder.";
    EXPECT_EQ(f.adder.AddMetalink(refused), 0);
    EXPECT_EQ(f.table.Count(), 0);
    EXPECT_EQ(f.messages.shown, std::vector<std::string>{refused.error});
}

// The files of a Metalink file a browser handed over go as it would: with
// the browser's jar, referrer and agent, its Cookie header only to the
// Metalink file's own host. A Metalink file that could not be had leaves a
// failed task of its URL that says why and keeps those details.
TEST(AddMetalink, AHandedOverMetalinkFilesTasksGoWithTheBrowsersDetails)
{
    MetalinkReading reading;
    MetalinkFile same;
    same.name = "same.iso";
    same.mirrors = *MirrorList::Parse("1::https://members.h/files/same.iso");
    MetalinkFile other;
    other.name = "other.iso";
    other.mirrors = *MirrorList::Parse("1::https://mirror.elsewhere/other.iso");
    reading.files = {same, other};
    MetalinkSource source{"https://members.h/files/all.meta4", {}};
    source.details.cookie = "s=1";
    source.details.cookieJar = "#HttpOnly_members.h\tFALSE\t/\tTRUE\t0\ts\t1\n";
    source.details.referrer = "https://members.h/list.html";
    source.details.userAgent = "Browser/1.0";
    Fixture f;
    f.options.saveTo = "/dl/";
    f.options.userAgent = "Dromo";
    ASSERT_EQ(f.adder.AddMetalink(reading, "", &source), 2);
    const struct {
        const char* cookie;
    } expected[] = {{"s=1"}, {""}};
    for (int i = 0; i < 2; ++i) {
        const TaskRecord r = *f.table.CopyOut(i);
        EXPECT_EQ(r.cookie, expected[i].cookie) << r.saveAs;
        EXPECT_EQ(r.cookieJar, source.details.cookieJar);
        EXPECT_EQ(r.browserCookie, 1);
        EXPECT_EQ(r.referrer, source.details.referrer);
        EXPECT_EQ(r.userAgent, "Browser/1.0");
        EXPECT_EQ(r.metalinkDocument, 0);
    }

    const std::string reason = "The Metalink file could not be fetched: Error 403 from server: Forbidden";
    for (const char* folder : {"", "/chosen"}) {
        SCOPED_TRACE(folder);
        Fixture g;
        g.options.saveTo = "/dl/";
        ASSERT_EQ(g.adder.AddFailedMetalink(source, folder, reason), AddResult::Added);
        ASSERT_EQ(g.table.Count(), 1);
        const TaskRecord failed = *g.table.CopyOut(0);
        EXPECT_EQ(failed.State(), TaskState::Paused);
        EXPECT_EQ(failed.metalinkDocument, 1);
        EXPECT_EQ(failed.failure.substr(9), reason);  // after the time of day
        EXPECT_EQ(failed.saveAs, std::string(*folder ? folder : "/dl") + "/all.meta4");
        EXPECT_EQ(failed.cookieJar, source.details.cookieJar);
        EXPECT_EQ(failed.referrer, source.details.referrer);
        EXPECT_EQ(g.table.RowCopy(0).texts[kColStatus], failed.failure);
        EXPECT_EQ(g.table.RowCopy(0).texts[kColTarget], source.url);
        EXPECT_EQ(g.table.RowCopy(0).stateImage, StateImageOf(failed));
        EXPECT_TRUE(g.messages.shown.empty());
    }
}

// A URL whose file is already in its folder is not copied silently when the
// user adds it in the window: the user opens the file, downloads it again as
// a numbered copy beside it, or leaves it. Adds from outside and names the
// user chose go on as they always did (the engine tells a same file apart).
TEST(TaskAdder, AFileAlreadyThereIsAskedAboutWhenTheUserAddsIt)
{
    const std::string folder = ::testing::TempDir() + "already-there/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "here.iso") << "the file downloaded before";
    std::ofstream(folder + "here (1).iso") << "an earlier copy";
    const struct {
        const char* what;
        bool user;  // inside the window's scope
        const char* url;
        const char* saveAs;  // "" for the name the URL gives
        int choice;          // Open, Download Again, Cancel
        bool asked;
        AddResult result;
        const char* savedAs;  // the task's file when added
        bool opened;
    } cases[] = {
        {"not there", true, "http://h/new.iso", "", 0, false, AddResult::Added, "new.iso", false},
        {"open it", true, "http://h/here.iso", "", 0, true, AddResult::AlreadyThere, "", true},
        {"download again", true, "http://h/here.iso", "", 1, true, AddResult::Added, "here (2).iso", false},
        {"leave it", true, "http://h/here.iso", "", 2, true, AddResult::AlreadyThere, "", false},
        {"from outside", false, "http://h/here.iso", "", 2, false, AddResult::Added, "here.iso", false},
        {"a name the user chose", true, "http://h/here.iso", "here.iso", 2, false, AddResult::Added, "here.iso", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        f.options.saveTo = folder;
        f.messages.chosen = c.choice;
        std::vector<std::string> opened;
        TaskRecord record;
        if (*c.saveAs != '\0') {
            record.saveAs = folder + c.saveAs;
        }
        AddResult result = AddResult::InvalidUrl;
        if (c.user) {
            const TaskAdder::UserAdds asking(f.adder, [&opened](const std::string& path) {
                opened.push_back(path);
                return true;
            });
            result = f.adder.AddTaskFromRecord(c.url, record);
        } else {
            result = f.adder.AddTaskFromRecord(c.url, record);
        }
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(f.messages.shown.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(f.messages.shown[0], "here.iso is already in " + folder + ". [Open] [Download Again] [Cancel]");
        }
        EXPECT_EQ(f.table.Count(), c.result == AddResult::Added ? 1 : 0);
        if (f.table.Count() == 1) {
            // A new copy goes beside the file and an earlier copy, never over them.
            EXPECT_EQ(f.table.CopyOut(0)->saveAs, folder + c.savedAs);
        }
        EXPECT_EQ(opened, c.opened ? std::vector<std::string>{folder + "here.iso"} : std::vector<std::string>{});
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace dromo
