// A hand-over while tasks wait for a new address: which tasks are checked,
// what the engine is asked, and which task takes the address (and how).

#include "base/download/addresscheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>

#include "base/tasks/tasktable.h"
#include "base/values/viewsettings.h"
#include "tests/base/fakes/fakes.h"
#include "tests/base/fakes/scriptedengine.h"

namespace dromo {
namespace {

struct Fixture {
    ViewSettings settings;
    TaskTable table;
    test::FakeWorkerStarter pool;
    test::RecordingObserver observer;
    test::FakeMessages messages;
    test::FakeSound sound;
    TaskAdder adder{table, settings, pool, observer, messages, sound};
    test::ScriptedEngineFactory engines;
    AddressCheck check{table, settings, engines};

    // A task as the list restores it: `failure` "" for one that has not failed.
    TaskId Restore(const std::string& url, const std::string& saveAs, TaskState state, const std::string& failure)
    {
        settings.options.resumeIfStart = 0;
        TaskRecord r;
        r.saveAs = saveAs;
        r.SetState(state);
        r.failure = failure;
        EXPECT_TRUE(adder.RestoreTask(url, "", "Yes", "", r));
        return table.TaskIdAt(table.Count() - 1);
    }
    AddressCheckResult Check(const std::string& url, const DownloadDetails& details)
    {
        std::promise<AddressCheckResult> done;
        EXPECT_TRUE(check.Start(url, details, check.Waiting(), [&](AddressCheckResult r) { done.set_value(r); }));
        return done.get_future().get();
    }
};

AddressSample SameFile()
{
    AddressSample s;
    s.resumePoint = 10;
    s.keptValidator = s.validator = "size=20\n";
    s.keptTail = s.tail = "0123456789";
    s.code = 206;
    s.rangeFirst = 0;
    s.rangeLast = 9;
    s.total = 20;
    return s;
}

TEST(AddressCheck, OnlyTasksWhoseAddressExpiredWaitForANewOne)
{
    Fixture f;
    f.Restore("http://h/a", "/d/a", TaskState::Paused, "[12:00:00] The address has expired");
    f.Restore("http://h/b", "/d/b", TaskState::Paused, "[12:00:00] Error 403 from server: Forbidden");
    f.Restore("http://h/c", "/d/c", TaskState::Paused, "");
    f.Restore("http://h/d", "/d/d", TaskState::Done, "");
    const std::vector<WaitingTask> waiting = f.check.Waiting();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].saveAs, "/d/a");
    // Nothing to ask of an FTP address, nor with nothing waiting.
    EXPECT_FALSE(f.check.Start("ftp://h/a", {}, waiting, [](AddressCheckResult) {}));
    EXPECT_FALSE(f.check.Start("http://h/a", {}, {}, [](AddressCheckResult) {}));
}

TEST(AddressCheck, TheSameFilesTaskTakesTheAddressAndTheBrowsersDetails)
{
    Fixture f;
    const TaskId other = f.Restore("http://old/x", "/d/x", TaskState::Paused, "[12:00:00] The address has expired");
    const TaskId task =
        f.Restore("http://old/f?sig=1", "/d/f", TaskState::Paused, "[12:00:00] The address has expired");
    AddressSample notSame = SameFile();
    notSame.tail = "0123456788";
    f.engines.script.SetSample(notSame);
    DownloadDetails details;
    details.referrer = "https://site/page";
    details.cookie = "s=1";
    details.userAgent = "Browser/2";
    AddressCheckResult result = f.Check("https://cdn:8443/f?sig=2", details);
    EXPECT_EQ(result.continues, kNoTask);
    EXPECT_EQ(result.reasons.size(), 2u);

    f.engines.script.SetSample(SameFile());
    result = f.Check("https://cdn:8443/f?sig=2", details);
    EXPECT_EQ(result.continues, other);  // the first that proves it
    EXPECT_EQ(result.name, "x");
    // Each check was sent as the browser's request, over TLS, at the task's file.
    const std::vector<std::string> calls = f.engines.script.Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SampleAddress cdn/f?sig=2 /d/f"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SetRequestDetails s=1 | https://site/page"), calls.end());

    ASSERT_TRUE(f.adder.ContinueFrom(task, "https://cdn:8443/f?sig=2", details));
    const TaskRecord r = *f.table.CopyOut(f.table.RowOf(task));
    EXPECT_EQ(r.State(), TaskState::Queued);
    EXPECT_EQ(r.failure, "");
    EXPECT_EQ(r.protocol, kProtocolHttps);
    EXPECT_EQ(r.host, "cdn");
    EXPECT_EQ(r.port, 8443);
    EXPECT_EQ(r.remotePath, "/f?sig=2");
    EXPECT_EQ(r.saveAs, "/d/f");
    EXPECT_EQ(r.referrer, "https://site/page");
    EXPECT_EQ(r.cookie, "s=1");
    EXPECT_EQ(r.userAgent, "Browser/2");
    EXPECT_EQ(f.table.RowCopy(f.table.RowOf(task)).texts[kColTarget], "https://cdn:8443/f?sig=2");
    EXPECT_EQ(f.pool.ruleA, 1);
    // Once it runs again it waits no more: a second hand-over changes nothing.
    EXPECT_FALSE(f.adder.ContinueFrom(task, "https://cdn:8443/f?sig=3", details));
    EXPECT_EQ(f.table.CopyOut(f.table.RowOf(task))->remotePath, "/f?sig=2");
    EXPECT_FALSE(f.adder.ContinueFrom(other, "ftp://h/x", details));
    EXPECT_TRUE(f.table.CopyOut(f.table.RowOf(other))->WaitsForNewAddress());
}

}  // namespace
}  // namespace dromo
