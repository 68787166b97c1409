#include "base/storage/settingsstore.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "base/commands/taskadder.h"
#include "base/tasks/tasktable.h"
#include "base/text/base64.h"
#include "tests/base/fakes/fakeprofile.h"
#include "tests/base/fakes/fakes.h"
#include "tests/base/fakes/tasktableaccess.h"

namespace dromo {
namespace {

const PlatformDefaults kPlatform{"/home/u/Downloads/", "/usr/share/dromo/"};

struct Fixture {
    test::FakeProfile profile;
    SettingsStore store{profile, kPlatform};
    ViewSettings settings;
    TaskTable table;
    test::FakeWorkerStarter pool;
    test::RecordingObserver observer;
    test::FakeNetwork network;
    test::FakeMessages messages;
    test::FakeSound sound;
    TaskAdder adder{table, settings, pool, observer, messages, sound};

    void Load() { store.Load(settings, adder, network); }
    void SaveTask(int i, const std::string& target, const std::string& progress, int status)
    {
        const std::string p = "URL" + std::to_string(i) + "\\";
        profile.WriteString("URL", p + "Target", target);
        profile.WriteString("URL", p + "Progress", progress);
        profile.WriteInt("URL", p + "Status", status);
    }
};

TEST(SettingsStore, FirstRunHoldsEveryDefault)
{
    Fixture f;
    f.network.state = {false, true};
    f.Load();
    const GlobalOptions& o = f.settings.options;
    EXPECT_EQ(o.saveTo, "/home/u/Downloads/");
    EXPECT_EQ(o.backgroundImagePath, "/usr/share/dromo/backgrnd.gif");
    EXPECT_EQ(o.username, "anonymous");
    EXPECT_EQ(o.password, kDefaultPassword);
    EXPECT_EQ(o.maxErrorCount, 6);
    EXPECT_EQ(o.retryInterval, 3);
    EXPECT_EQ(o.maxIdleTime, 120);
    EXPECT_EQ(o.refreshRate, 200);
    EXPECT_EQ(o.autoSave, "64");
    EXPECT_EQ(o.maxSpeedValue, -1);
    EXPECT_EQ(o.userAgent, "Dromo/1.03 [en]");
    EXPECT_EQ(o.maxThreadNumber, 1);
    EXPECT_EQ(o.redialIfDisconnected, 1);
    EXPECT_EQ(o.enableLog, 1);
    EXPECT_EQ(o.captureFileTypes, "exe zip");
    EXPECT_EQ(o.scheduleStartAt, "22:00");
    EXPECT_EQ(o.dropBasketX, 120);
    EXPECT_EQ(o.speedBarY, 100);
    EXPECT_FALSE(o.connected);
    EXPECT_TRUE(o.modemConnection);
    EXPECT_EQ(f.table.Count(), 0);
    EXPECT_TRUE(f.settings.categories.empty());
    EXPECT_TRUE(f.settings.sites.empty());
    EXPECT_TRUE(f.settings.proxies.empty());
}

TEST(SettingsStore, PerTaskDefaultsDifferFromTheGlobalOnes)
{
    Fixture f;
    f.profile.WriteInt("Settings", "MRU Num", 1);
    f.profile.WriteString("URL", "URL0\\Target", "ftp://h/a.zip");
    f.Load();
    const TaskRecord r = *f.table.CopyOut(0);
    EXPECT_EQ(r.errorCount, 5);
    EXPECT_EQ(r.retryInterval, 1);
    EXPECT_EQ(r.idleTime, 30);
    EXPECT_EQ(r.refresh, 100);
    EXPECT_EQ(r.autoSave, "128");
    EXPECT_EQ(r.speedLimit, -1);
    EXPECT_EQ(r.user, "anonymous");
    EXPECT_EQ(r.password, kDefaultPassword);
    EXPECT_EQ(r.untilFinished, 1);
    EXPECT_EQ(r.startAt, "22:00");
    EXPECT_EQ(r.State(), TaskState::Paused);  // "Status" defaults to 2
    EXPECT_EQ(f.table.RowCopy(0).texts[kColResume], "N/A");
}

TEST(SettingsStore, ConnectionsComeFromTheTaskOrTheOption)
{
    // A profile from before segmented downloads has neither value: the
    // option is 4 and its tasks take it. Values out of 1..16 (a profile
    // edited by hand) read as the nearest bound.
    struct Case {
        std::optional<std::int32_t> option;
        std::optional<std::int32_t> task;
        std::int32_t expectedOption;
        std::int32_t expectedTask;
    };
    const Case cases[] = {
        {{}, {}, 4, 4}, {8, {}, 8, 8}, {8, 2, 8, 2}, {99, {}, 16, 16}, {-3, 17, 1, 16}, {2, -5, 2, 1},
    };
    for (const Case& c : cases) {
        Fixture f;
        if (c.option) {
            f.profile.WriteInt("Settings", "Connections per Task", *c.option);
        }
        f.profile.WriteInt("Settings", "MRU Num", 1);
        f.SaveTask(0, "http://h/a.zip", "", 2);
        if (c.task) {
            f.profile.WriteInt("URL", "URL0\\Connections", *c.task);
        }
        f.Load();
        EXPECT_EQ(f.settings.options.connectionsPerTask, c.expectedOption);
        ASSERT_EQ(f.table.Count(), 1);
        const std::int32_t taskConnections = f.table.CopyOut(0)->connections;
        EXPECT_EQ(taskConnections, c.expectedTask);

        // Both are written back as read, so the next start sees the same.
        ASSERT_TRUE(f.store.Save(f.settings, f.table));
        EXPECT_EQ(f.profile.Int("Settings", "Connections per Task"), c.expectedOption);
        EXPECT_EQ(f.profile.Int("URL", "URL0\\Connections"), c.expectedTask);
    }
}

// "Require TLS for FTP" has a value of its own: a profile from before it
// loads with it off, and what the user set comes back after Exit and start.
TEST(SettingsStore, RequireTlsForFtpComesBackAfterARestart)
{
    const struct {
        std::optional<int> stored;  // none: a profile from before the option
        bool on;
    } cases[] = {{{}, false}, {0, false}, {1, true}, {5, true}};
    for (const auto& c : cases) {
        Fixture before;
        if (c.stored) {
            before.profile.WriteInt("Settings", "Require TLS for FTP", *c.stored);
        }
        before.Load();
        EXPECT_EQ(before.settings.options.requireFtpTls != 0, c.on);
        ASSERT_TRUE(before.store.Save(before.settings, before.table));
        EXPECT_EQ(before.profile.Int("Settings", "Require TLS for FTP"), c.on ? 1 : 0);

        Fixture after;
        after.profile.sections = before.profile.sections;
        after.Load();
        EXPECT_EQ(after.settings.options.requireFtpTls != 0, c.on);
    }
}

// "Http Version": a new profile asks for HTTP/2 where offered, and so do the
// tasks added under it; a profile or task that stored a version keeps it
// through every restart, and a task stored without one (before there was a
// choice) reads as 1.1.
TEST(SettingsStore, HttpVersionComesBackAfterARestartAndStoredOnesStay)
{
    const struct {
        std::optional<std::string> option;  // none: a new profile
        std::optional<std::string> task;    // none: a task from before the choice
        std::string expectedOption;
        std::string expectedTask;
    } cases[] = {
        {{}, {}, "2", "1.1"},           {"1.1", "1.1", "1.1", "1.1"}, {"1.1", {}, "1.1", "1.1"},
        {"2", "1.1", "2", "1.1"},       {"1.1", "2", "1.1", "2"},     {"1.0", "0.9", "1.0", "0.9"},
        {"HTTP/3", "x", "HTTP/3", "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option.value_or("(none)") + " / " + c.task.value_or("(none)"));
        Fixture before;
        if (c.option) {
            before.profile.WriteString("Settings", "Http Version", *c.option);
        }
        before.profile.WriteInt("Settings", "MRU Num", 1);
        before.SaveTask(0, "https://h/a.zip", "", 2);
        if (c.task) {
            before.profile.WriteString("URL", "URL0\\Http Version", *c.task);
        }
        before.Load();
        EXPECT_EQ(before.settings.options.httpVersion, c.expectedOption);
        ASSERT_EQ(before.table.Count(), 1);
        EXPECT_EQ(before.table.CopyOut(0)->httpVersion, c.expectedTask);
        ASSERT_EQ(before.adder.AddTask("https://h/new.zip", ""), AddResult::Added);
        EXPECT_EQ(before.table.CopyOut(1)->httpVersion, c.expectedOption) << "a new task takes the option's";
        ASSERT_TRUE(before.store.Save(before.settings, before.table));
        EXPECT_EQ(before.profile.Text("Settings", "Http Version"), c.expectedOption);

        Fixture after;
        after.profile.sections = before.profile.sections;
        after.Load();
        EXPECT_EQ(after.settings.options.httpVersion, c.expectedOption);
        ASSERT_EQ(after.table.Count(), 2);
        EXPECT_EQ(after.table.CopyOut(0)->httpVersion, c.expectedTask);
        EXPECT_EQ(after.table.CopyOut(1)->httpVersion, c.expectedOption);
    }
}

TEST(SettingsStore, ATasksChecksumIsKeptUnderItsOwnName)
{
    const std::string sum = "sha-256=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    for (const std::string& stored : {std::string(), sum}) {
        Fixture f;
        f.profile.WriteInt("Settings", "MRU Num", 1);
        f.SaveTask(0, "http://h/a.iso", "", 2);
        if (!stored.empty()) {
            f.profile.WriteString("URL", "URL0\\Checksum", stored);
        }
        f.Load();  // a profile from before checksums loads as before
        ASSERT_EQ(f.table.Count(), 1);
        EXPECT_EQ(f.table.CopyOut(0)->checksum, stored);
        ASSERT_TRUE(f.store.Save(f.settings, f.table));
        EXPECT_EQ(f.profile.Text("URL", "URL0\\Checksum"), stored);
    }
}

// A name a browser handed over stays the task's across a restart, so the
// server does not rename the file when it resumes; a profile from before
// loads with none.
TEST(SettingsStore, ANameTheBrowserChoseIsKeptUnderItsOwnName)
{
    for (const int stored : {-1, 0, 1}) {
        Fixture f;
        f.profile.WriteInt("Settings", "MRU Num", 1);
        f.SaveTask(0, "http://h/a.iso", "", 2);
        if (stored >= 0) {
            f.profile.WriteInt("URL", "URL0\\Name Chosen", stored);
        }
        f.Load();
        ASSERT_EQ(f.table.Count(), 1);
        EXPECT_EQ(f.table.CopyOut(0)->nameChosen, stored == 1 ? 1 : 0) << stored;
        ASSERT_TRUE(f.store.Save(f.settings, f.table));
        EXPECT_EQ(f.profile.Int("URL", "URL0\\Name Chosen"), stored == 1 ? 1 : 0) << stored;
    }
}

// A Metalink's mirrors and piece hashes stay with the task under names of
// their own; a profile from before them loads with none.
TEST(SettingsStore, ATasksMirrorsAndPiecesAreKeptUnderTheirOwnNames)
{
    const std::string pieces = "sha-1 1024 " + std::string(40, 'a') + " " + std::string(40, 'b');
    const std::string mirrors = "1:de:http://h/a.iso 2::ftp://m/a.iso " + std::string(2000, 'x');
    const struct {
        std::string mirrors, pieces;
    } cases[] = {{"", ""}, {mirrors, ""}, {mirrors, pieces}};
    for (const auto& c : cases) {
        Fixture f;
        f.profile.WriteInt("Settings", "MRU Num", 1);
        f.SaveTask(0, "http://h/a.iso", "", 2);
        if (!c.mirrors.empty()) {
            f.profile.WriteString("URL", "URL0\\Mirrors", c.mirrors);
        }
        if (!c.pieces.empty()) {
            f.profile.WriteString("URL", "URL0\\Pieces", c.pieces);
        }
        f.Load();
        ASSERT_EQ(f.table.Count(), 1);
        EXPECT_EQ(f.table.CopyOut(0)->mirrors, c.mirrors);
        EXPECT_EQ(f.table.CopyOut(0)->pieces, c.pieces);
        ASSERT_TRUE(f.store.Save(f.settings, f.table));
        EXPECT_EQ(f.profile.Text("URL", "URL0\\Mirrors"), c.mirrors);
        EXPECT_EQ(f.profile.Text("URL", "URL0\\Pieces"), c.pieces);
    }
}

TEST(SettingsStore, ProgressOf100PercentMeansDoneWhateverTheStatus)
{
    struct Case {
        const char* progress;
        int status;
        TaskState expected;
    };
    const Case cases[] = {
        {"100%", 4, TaskState::Done},  {"100%", 16, TaskState::Done},
        {"99%", 8, TaskState::Done},    // a stored Done is kept too
        {"100", 4, TaskState::Paused},  // exactly "100%" only
        {" 100%", 8, TaskState::Done}, {"50%", 4, TaskState::Paused},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.profile.WriteInt("Settings", "MRU Num", 1);
        f.SaveTask(0, "http://h/f", c.progress, c.status);
        f.Load();
        ASSERT_EQ(f.table.Count(), 1);
        EXPECT_EQ(f.table.CopyOut(0)->State(), c.expected) << c.progress << " " << c.status;
    }
}

// What a task was when Dromo saved it is what it is at the next start,
// whatever "Resume if Start" says of paused ones; and a reader that knows
// only the classic values ("Progress" and "Status") never takes a failed or
// unfinished task for done.
TEST(SettingsStore, FailedAndVerifiedTasksComeBackAsTheyWere)
{
    struct Case {
        const char* what;
        TaskState state;
        std::string failure;
        std::string verified;
        const char* progress;  // the row's text
        const char* stored;    // "Progress" as stored
        int resumeIfStart;
        TaskState back;  // the state at the next start
        int image;       // the row's image then
    };
    const std::string reason = "12:00:01 Fail - the file does not match its SHA-256 checksum";
    const Case cases[] = {
        {"checksum failed, every byte there", TaskState::Paused, reason, "", "100%", "100% (not done)", 0,
         TaskState::Paused, kImageFailed},
        {"failed stays failed when paused tasks are queued", TaskState::Paused, "12:00:01 Error 404 from server", "",
         "0", "0", 1, TaskState::Paused, kImageFailed},
        {"verified", TaskState::Done, "", "SHA-256", "100%", "100%", 1, TaskState::Done, kImageVerified},
        {"done, nothing to verify", TaskState::Done, "", "", "100%", "100%", 0, TaskState::Done, kImageDone},
        {"running while it verified", TaskState::Running, "", "", "100%", "100% (not done)", 1, TaskState::Queued,
         kImageQueued},
        {"paused by the user", TaskState::Paused, "", "", "40%", "40%", 1, TaskState::Queued, kImageQueued},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        TaskRecord r;
        r.saveAs = "/d/f.iso";
        r.SetState(c.state);
        r.failure = c.failure;
        r.verified = c.verified;
        TaskRow row;
        row.texts[kColTarget] = "http://h/f.iso";
        row.texts[kColSize] = "3000 of 3000";
        row.texts[kColProgress] = c.progress;
        row.texts[kColStatus] = c.failure;
        f.table.Append(r, row);
        ASSERT_TRUE(f.store.Save(f.settings, f.table));
        EXPECT_EQ(f.profile.Text("URL", "URL0\\Progress"), c.stored);
        EXPECT_EQ(f.profile.Has("URL", "URL0\\Failure"), !c.failure.empty()) << "only where it says something";
        EXPECT_EQ(f.profile.Has("URL", "URL0\\Verified"), !c.verified.empty());
        // Read the classic way: "100%" alone means done.
        EXPECT_EQ(f.profile.Text("URL", "URL0\\Progress") == "100%", c.state == TaskState::Done);

        Fixture g;
        g.profile.sections = f.profile.sections;
        g.profile.WriteInt("Settings", "Resume if Start", c.resumeIfStart);
        g.Load();
        ASSERT_EQ(g.table.Count(), 1);
        const TaskRecord back = *g.table.CopyOut(0);
        EXPECT_EQ(back.State(), c.back);
        EXPECT_EQ(back.failure, c.back == TaskState::Paused ? c.failure : "");
        EXPECT_EQ(back.verified, c.verified);
        EXPECT_EQ(g.table.RowCopy(0).stateImage, c.image);
        EXPECT_EQ(g.table.RowCopy(0).texts[kColProgress], c.progress) << "the row reads as it did";
        EXPECT_EQ(g.table.RowCopy(0).texts[kColStatus], back.failure) << "a failure's reason is shown again";
    }
}

// A stream task keeps what it records (its kind and the variant chosen)
// under names of its own; a classic task writes none of them, and its
// values read back as before.
TEST(SettingsStore, StreamTasksKeepTheirKindAndVariantAndClassicTasksWriteNothingNew)
{
    const struct {
        const char* what;
        std::string stream;
        std::string variant;
    } cases[] = {
        {"a classic task", "", ""},
        {"an HLS stream, the best variant", "HLS", ""},
        {"an HLS stream, a height", "HLS", "720p"},
        {"a DASH stream, the lowest", "DASH", "lowest"},
        {"a variant chosen before the URL answered", "", "1280x720"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        TaskRecord r;
        r.saveAs = "/d/talk.mp4";
        r.SetState(TaskState::Paused);
        r.stream = c.stream;
        r.variant = c.variant;
        TaskRow row;
        row.texts[kColTarget] = "http://h/talk/index.m3u8";
        row.texts[kColProgress] = "40%";
        f.table.Append(r, row);
        ASSERT_TRUE(f.store.Save(f.settings, f.table));
        EXPECT_EQ(f.profile.Has("URL", "URL0\\Stream"), !c.stream.empty());
        EXPECT_EQ(f.profile.Has("URL", "URL0\\Variant"), !c.variant.empty());
        EXPECT_EQ(f.profile.Text("URL", "URL0\\Target"), "http://h/talk/index.m3u8");

        Fixture g;
        g.profile.sections = f.profile.sections;
        g.Load();
        ASSERT_EQ(g.table.Count(), 1);
        const TaskRecord back = *g.table.CopyOut(0);
        EXPECT_EQ(back.stream, c.stream);
        EXPECT_EQ(back.variant, c.variant);
        EXPECT_EQ(back.saveAs, r.saveAs);
        EXPECT_EQ(g.table.RowCopy(0).texts[kColProgress], "40%");
    }
}

TEST(SettingsStore, PasswordsAreBase64UnlessThePlaceholder)
{
    struct Case {
        const char* stored;
        const char* plain;
    };
    const Case cases[] = {
        {"c2VjcmV0", "secret"},
        {"DROMO@EXAMPLE.COM", "DROMO@EXAMPLE.COM"},  // placeholder in any case: not decoded
        {"dromo@example.com", "dromo@example.com"},
        {"", ""},
        {"not base64!", "not base64!"},  // hand-written plain text is kept, not lost
    };
    for (const Case& c : cases) {
        Fixture f;
        f.profile.WriteString("Settings", "Password", c.stored);
        f.profile.WriteInt("Settings", "MRU Num", 1);
        f.profile.WriteString("URL", "URL0\\Target", "ftp://h/a");
        f.profile.WriteString("URL", "URL0\\Password", c.stored);
        f.Load();
        EXPECT_EQ(f.settings.options.password, c.plain) << c.stored;
        EXPECT_EQ(f.table.CopyOut(0)->password, c.plain) << c.stored;
    }
}

TEST(SettingsStore, SaveThenLoadGivesEverythingBack)
{
    Fixture f;
    f.settings.options = GlobalOptions::Defaults(kPlatform);
    f.settings.options.password = "pässword";
    f.settings.options.maxThreadNumber = 4;
    f.settings.options.resumeIfStart = 7;  // flags are written as 0/1
    f.settings.options.saveTo = "/data/dl/";
    f.settings.categories = {{"Music", "mp3", "/m/"}, {"", "", "/weird;path/"}};
    f.settings.sites = {{"h:21", "me", "pw"}, {"", "", ""}};
    f.settings.proxies = {{"proxy", 3128, "pu", "pp"}};

    TaskRecord r;
    r.saveAs = "/data/dl/a.zip";
    r.user = "bob";
    r.password = "x";
    r.speedLimit = 300;
    r.errorCount = 9;
    r.scheduled = 1;
    r.startAt = "7:5";
    r.useProxy = 1;
    r.proxyIndex = 0;
    r.cookie = "session=secret-cookie";
    r.cookieJar = "#HttpOnly_h\tFALSE\t/\tTRUE\t0\tjar\tsecret-jar-cookie\n";
    r.browserCookie = 1;
    r.referrer = "http://h/page.html";
    r.ownsPartialFile = 1;
    r.SetState(TaskState::Error);
    TaskRow row;
    row.texts[kColTarget] = "http://h/a.zip";
    row.texts[kColSize] = "2048";
    row.texts[kColResume] = "Yes";
    row.texts[kColProgress] = "10%";
    f.table.Append(r, row);
    ASSERT_TRUE(f.store.Save(f.settings, f.table));

    EXPECT_EQ(f.profile.Int("Settings", "Resume if Start"), 1);
    EXPECT_EQ(f.profile.Int("Settings", "MRU Num"), 1);
    EXPECT_EQ(f.profile.Int("Settings", "Enable Authentication"), 0);
    EXPECT_EQ(f.profile.Text("Settings", "Password"), Base64Encode("pässword"));
    EXPECT_EQ(f.profile.Text("Category", "Cat1"), ";;/weird;path/");
    EXPECT_EQ(f.profile.Text("Site", "Site0\\Password"), "cHc=");
    EXPECT_FALSE(f.profile.Has("Settings", "Capture File Types"));  // written by the options sheet only

    Fixture g;
    g.profile.sections = f.profile.sections;
    g.Load();
    EXPECT_EQ(g.settings.options.password, "pässword");
    EXPECT_EQ(g.settings.options.maxThreadNumber, 4);
    EXPECT_EQ(g.settings.options.resumeIfStart, 1);
    EXPECT_EQ(g.settings.options.saveTo, "/data/dl/");
    EXPECT_EQ(g.settings.sites, f.settings.sites);
    EXPECT_EQ(g.settings.proxies, f.settings.proxies);
    ASSERT_EQ(g.settings.categories.size(), 2u);
    EXPECT_EQ(g.settings.categories[0], f.settings.categories[0]);
    // The folder is everything after the second ";".
    EXPECT_EQ(g.settings.categories[1].folder, "/weird;path/");

    ASSERT_EQ(g.table.Count(), 1);
    const TaskRecord back = *g.table.CopyOut(0);
    EXPECT_EQ(back.saveAs, r.saveAs);
    EXPECT_EQ(back.user, "bob");
    EXPECT_EQ(back.password, "x");
    EXPECT_EQ(back.speedLimit, 300);
    EXPECT_EQ(back.errorCount, 9);
    EXPECT_EQ(back.startAt, "7:5");
    EXPECT_EQ(back.useProxy, 1);
    EXPECT_EQ(back.State(), TaskState::Scheduled);
    EXPECT_EQ(g.table.RowCopy(0).texts, row.texts);
    // A browser's cookie is a secret kept in memory: only that there was one
    // is stored, beside the referrer.
    EXPECT_EQ(back.cookie, "");
    EXPECT_EQ(back.cookieJar, "");
    EXPECT_EQ(back.browserCookie, 1);
    EXPECT_EQ(back.referrer, "http://h/page.html");
    EXPECT_EQ(back.ownsPartialFile, 1);
    for (const auto& [section, values] : f.profile.sections) {
        for (const auto& [name, value] : values) {
            const auto* text = std::get_if<std::string>(&value);
            EXPECT_TRUE(text == nullptr || (text->find("secret-cookie") == std::string::npos &&
                                            text->find("secret-jar-cookie") == std::string::npos))
                << section << "/" << name;
        }
    }
}

TEST(SettingsStore, RestoredTasksStartWorkersOnlyOnceTheListsAreIn)
{
    Fixture f;
    f.settings.options = GlobalOptions::Defaults(kPlatform);
    f.settings.options.resumeIfStart = 1;
    f.settings.options.enableProxy = 1;
    f.settings.categories = {{"Music", "mp3", "/m/"}};
    f.settings.sites = {{"h", "me", "pw"}};
    f.settings.proxies = {{"proxy", 3128, "pu", "pp"}};
    for (const char* url : {"http://h/a.zip", "http://h/b.mp3"}) {
        TaskRecord r;
        r.useProxy = 1;
        r.SetState(TaskState::Queued);
        TaskRow row;
        row.texts[kColTarget] = url;
        f.table.Append(r, row);
    }
    ASSERT_TRUE(f.store.Save(f.settings, f.table));

    Fixture g;
    g.profile.sections = f.profile.sections;
    g.network.state = {false, true};
    std::vector<std::string> seen;
    g.pool.onStart = [&g, &seen] {
        const ViewSettings& s = g.settings;
        seen.push_back(std::to_string(s.proxies.size()) + " proxies, " + std::to_string(s.sites.size()) + " sites, " +
                       std::to_string(s.categories.size()) + " categories, connected " +
                       std::to_string(s.options.connected) + ", modem " + std::to_string(s.options.modemConnection));
    };
    g.Load();
    ASSERT_EQ(g.table.Count(), 2);
    EXPECT_EQ(seen, std::vector<std::string>(2, "1 proxies, 1 sites, 1 categories, connected 0, modem 1"));
}

TEST(SettingsStore, ListsAndTasksAreRewrittenWholeOnEverySave)
{
    Fixture f;
    f.settings.proxies = {{"a", 1, "", ""}, {"b", 2, "", ""}};
    TaskRow row;
    row.texts[kColTarget] = "http://h/a";
    f.table.Append(TaskRecord{}, row);
    ASSERT_TRUE(f.store.Save(f.settings, f.table));
    ASSERT_TRUE(f.profile.Has("Proxy", "Proxy1\\Host"));

    f.settings.proxies.clear();
    f.table.Remove(0);
    ASSERT_TRUE(f.store.Save(f.settings, f.table));
    EXPECT_EQ(f.profile.Int("Settings", "Proxy Num"), 0);
    EXPECT_EQ(f.profile.sections.count("Proxy"), 0u);
    EXPECT_EQ(f.profile.Int("Settings", "MRU Num"), 0);
    EXPECT_EQ(f.profile.sections.count("URL"), 0u);
}

// A profile that keeps, after each step of a save, what a writer taking it
// up at that moment would put on disk: the values written so far, a
// section handed over whole as one step.
class EveryStepProfile : public test::FakeProfile {
public:
    std::vector<std::map<std::string, std::map<std::string, Value>>> steps;
    void WriteInt(const std::string& section, const std::string& name, std::int32_t value) override
    {
        FakeProfile::WriteInt(section, name, value);
        Step();
    }
    void WriteString(const std::string& section, const std::string& name, const std::string& value) override
    {
        FakeProfile::WriteString(section, name, value);
        Step();
    }
    void DeleteSection(const std::string& section) override
    {
        FakeProfile::DeleteSection(section);
        Step();
    }
    void ReplaceSection(const std::string& section, SectionFill fill) override
    {
        m_inSection = true;
        Profile::ReplaceSection(section, std::move(fill));
        m_inSection = false;
        Step();
    }

private:
    void Step()
    {
        if (!m_inSection) {
            steps.push_back(sections);
        }
    }
    bool m_inSection = false;
};

// Whatever step of a save the file was written at (a crash before the next
// write), the tasks it held before and the list still holds all load.
TEST(SettingsStore, AFileWrittenAtAnyStepOfASaveLosesNoTaskItHeldBefore)
{
    const auto targetsOf = [](const TaskTable& table) {
        std::set<std::string> targets;
        table.ForEachRow([&targets](const TaskRecord&, const TaskRow& row) { targets.insert(row.texts[kColTarget]); });
        return targets;
    };
    const auto append = [](TaskTable& table, const std::string& target) {
        TaskRow row;
        row.texts[kColTarget] = target;
        table.Append(TaskRecord{}, row);
    };
    struct Change {
        const char* what;
        std::function<void(TaskTable&)> change;
    };
    const Change changes[] = {
        {"the first removed", [](TaskTable& t) { t.Remove(0); }},
        {"one in the middle removed", [](TaskTable& t) { t.Remove(2); }},
        {"two removed, one added",
         [&append](TaskTable& t) {
             t.Remove(4);
             t.Remove(1);
             append(t, "http://h/new");
         }},
        {"one added", [&append](TaskTable& t) { append(t, "http://h/new"); }},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        EveryStepProfile profile;
        SettingsStore store(profile, kPlatform);
        ViewSettings settings;
        TaskTable table;
        for (const char* name : {"a", "b", "c", "d", "e"}) {
            append(table, std::string("http://h/") + name);
        }
        ASSERT_TRUE(store.Save(settings, table));
        const std::set<std::string> before = targetsOf(table);
        c.change(table);
        std::set<std::string> kept;
        for (const std::string& target : targetsOf(table)) {
            if (before.count(target) != 0) {
                kept.insert(target);
            }
        }
        profile.steps.clear();
        ASSERT_TRUE(store.Save(settings, table));
        ASSERT_FALSE(profile.steps.empty());
        for (std::size_t step = 0; step < profile.steps.size(); ++step) {
            Fixture f;
            f.profile.sections = profile.steps[step];
            f.Load();
            const std::set<std::string> loaded = targetsOf(f.table);
            std::vector<std::string> lost;
            std::set_difference(kept.begin(), kept.end(), loaded.begin(), loaded.end(), std::back_inserter(lost));
            EXPECT_EQ(lost, std::vector<std::string>()) << "written at step " << step << " of " << profile.steps.size();
        }
        Fixture last;
        last.profile.sections = profile.steps.back();
        last.Load();
        EXPECT_EQ(targetsOf(last.table), targetsOf(table));  // the save itself ends with the whole list
    }
}

TEST(SettingsStore, GarbageLoadsWithDefaultsAndBoundedWork)
{
    Fixture f;
    f.profile.WriteString("Settings", "Max Thread Number", "lots");
    f.profile.WriteString("Settings", "Max Error Count", "12abc");
    f.profile.WriteInt("Settings", "MRU Num", 2147483647);
    f.profile.WriteInt("Settings", "Category Num", 2147483647);
    f.profile.WriteInt("Settings", "Site Num", -5);
    f.profile.WriteInt("Settings", "Proxy Num", 2147483647);
    f.SaveTask(0, "http://h/a", "", 2);
    f.SaveTask(1, "no url at all", "", 2);  // dropped silently
    f.SaveTask(2, "ftp://h/c", "", 2);
    f.SaveTask(2000000000, "ftp://h/far", "", 2);
    f.profile.WriteString("URL", "URL01\\Target", "http://h/leading-zero");  // no entry of ours
    f.profile.WriteString("URL", "URLx\\Target", "http://h/x");
    f.profile.WriteString("URL", "URL4\\Target", "");  // empty: skipped
    f.profile.WriteString("Category", "Cat0", "no separator");
    f.profile.WriteString("Category", "Cat1", "");
    f.profile.WriteString("Category", "Cat2", "Zip;zip");
    f.profile.WriteString("Site", "Site0\\Host", "h");
    f.profile.WriteString("Proxy", "Proxy0\\Host", "p");
    f.profile.WriteString("Proxy", "Proxy0\\Port", "eighty");
    f.profile.WriteString("Proxy", "Proxy0\\Password", "%%%");
    f.profile.WriteInt("Proxy", "Proxy1\\Port", 70000);

    f.Load();
    EXPECT_EQ(f.settings.options.maxThreadNumber, 1);
    EXPECT_EQ(f.settings.options.maxErrorCount, 6);
    ASSERT_EQ(f.table.Count(), 3);
    EXPECT_EQ(f.table.RowCopy(0).texts[kColTarget], "http://h/a");
    EXPECT_EQ(f.table.RowCopy(1).texts[kColTarget], "ftp://h/c");
    EXPECT_EQ(f.table.RowCopy(2).texts[kColTarget], "ftp://h/far");
    ASSERT_EQ(f.settings.categories.size(), 2u);
    EXPECT_EQ(f.settings.categories[0], (CategoryEntry{"", "", "no separator"}));
    EXPECT_EQ(f.settings.categories[1], (CategoryEntry{"Zip", "zip", ""}));
    EXPECT_TRUE(f.settings.sites.empty());  // a negative count means none
    ASSERT_EQ(f.settings.proxies.size(), 2u);
    EXPECT_EQ(f.settings.proxies[0].port, 80);
    EXPECT_EQ(f.settings.proxies[0].password, "%%%");
    EXPECT_EQ(f.settings.proxies[1].port, static_cast<std::int16_t>(70000));
    EXPECT_LT(f.profile.reads, 500);
}

TEST(SettingsStore, AFailedWriteIsReported)
{
    Fixture f;
    f.profile.flushResult = false;
    f.profile.flushError = "Cannot write /x/Dromo.ini: No space left on device.";
    EXPECT_FALSE(f.store.Save(f.settings, f.table));
    EXPECT_EQ(f.store.LastSave().Reason(), f.profile.flushError);
}

// A profile of 100,000 tasks: every one is listed, in its stored order,
// none kept aside, and a save writes back the same tasks.
TEST(SettingsStore, AHundredThousandStoredTasksAreAllListed)
{
    constexpr int kStored = 100000;
    Fixture f;
    f.profile.WriteInt("Settings", "MRU Num", kStored);
    for (int i = 0; i < kStored; ++i) {
        f.SaveTask(i, "http://h/" + std::to_string(i), "", 2);
    }
    f.profile.WriteInt("URL", "URL99999\\Max Speed Value", 77);
    f.Load();
    ASSERT_EQ(f.table.Count(), kStored);
    EXPECT_EQ(f.store.UnloadedTaskCount(), 0);
    EXPECT_EQ(f.store.UnloadedTasksMessage(), "");
    for (int row : {0, 32767, 32768, 65535, 65536, kStored - 1}) {
        EXPECT_EQ(f.table.RowCopy(row).texts[kColTarget], "http://h/" + std::to_string(row));
        EXPECT_EQ(f.table.RowOf(f.table.TaskIdAt(row)), row);
    }
    EXPECT_EQ(f.table.CopyOut(kStored - 1)->speedLimit, 77);

    ASSERT_TRUE(f.table.Remove(40000));
    ASSERT_TRUE(f.store.Save(f.settings, f.table));
    EXPECT_EQ(f.profile.Int("Settings", "MRU Num"), kStored - 1);
    EXPECT_EQ(f.profile.Text("URL", "URL39999\\Target"), "http://h/39999");
    EXPECT_EQ(f.profile.Text("URL", "URL40000\\Target"), "http://h/40001");
    EXPECT_EQ(f.profile.Text("URL", "URL99998\\Target"), "http://h/99999");
    EXPECT_EQ(f.profile.Int("URL", "URL99998\\Max Speed Value"), 77);
    EXPECT_FALSE(f.profile.Has("URL", "URL99999\\Target"));
}

// A run whose identifiers are used up (here: all but 32768 of them, handed
// out before the load) keeps the stored tasks it cannot list, in their
// order, through every save, and says so; the next start lists them all.
TEST(SettingsStore, TasksBeyondWhatOneRunCanListAreKeptNotDropped)
{
    constexpr int kStored = 33000;
    constexpr int kRoom = 32768;
    Fixture f;
    TaskTableTestAccess::SkipIdentifiersTo(f.table, RowMap::kMaxEntries - kRoom);
    f.profile.WriteInt("Settings", "MRU Num", kStored);
    for (int i = 0; i < kStored; ++i) {
        f.SaveTask(i, "http://h/" + std::to_string(i), "", 2);
    }
    f.profile.WriteString("URL", "URL32999\\Password", Base64Encode("last one's secret"));
    f.profile.WriteInt("URL", "URL32999\\Max Speed Value", 77);
    f.Load();
    ASSERT_EQ(f.table.Count(), kRoom);
    EXPECT_EQ(f.store.UnloadedTaskCount(), kStored - kRoom);
    EXPECT_NE(f.store.UnloadedTasksMessage().find("232 of them are not in the list"), std::string::npos)
        << f.store.UnloadedTasksMessage();

    // A task of the list goes; every stored one is still written back.
    f.table.Remove(0);
    ASSERT_TRUE(f.store.Save(f.settings, f.table));
    EXPECT_EQ(f.profile.Int("Settings", "MRU Num"), kStored - 1);
    EXPECT_EQ(f.profile.Text("URL", "URL0\\Target"), "http://h/1");
    EXPECT_EQ(f.profile.Text("URL", "URL32766\\Target"), "http://h/32767");
    EXPECT_EQ(f.profile.Text("URL", "URL32767\\Target"), "http://h/32768");
    EXPECT_EQ(f.profile.Text("URL", "URL32998\\Target"), "http://h/32999");
    EXPECT_EQ(f.profile.Text("URL", "URL32998\\Password"), Base64Encode("last one's secret"));
    EXPECT_EQ(f.profile.Int("URL", "URL32998\\Max Speed Value"), 77);
    EXPECT_FALSE(f.profile.Has("URL", "URL32999\\Target"));

    // The next start hands out identifiers afresh and lists all 32999.
    Fixture next;
    next.profile = f.profile;
    next.Load();
    EXPECT_EQ(next.table.Count(), kStored - 1);
    EXPECT_EQ(next.table.RowCopy(kStored - 2).texts[kColTarget], "http://h/32999");
    EXPECT_EQ(next.table.CopyOut(kStored - 2)->password, "last one's secret");
    EXPECT_EQ(next.store.UnloadedTaskCount(), 0);

    Fixture few;
    few.SaveTask(0, "http://h/0", "", 2);
    few.profile.WriteInt("Settings", "MRU Num", 1);
    few.Load();
    EXPECT_EQ(few.store.UnloadedTaskCount(), 0);
    EXPECT_EQ(few.store.UnloadedTasksMessage(), "");
}

// Identifiers are handed out once per run, and a restart hands them out
// afresh. The refusal must say what really makes room: a restart, which
// lists every saved task again and can add more.
TEST(SettingsStore, AFullListSaysWhatMakesRoom)
{
    Fixture full;
    full.profile.WriteInt("Settings", "MRU Num", 3);
    for (int i = 0; i < 3; ++i) {
        full.SaveTask(i, "http://h/" + std::to_string(i), "", 2);
    }
    TaskTableTestAccess::SkipIdentifiersTo(full.table, RowMap::kMaxEntries - 3);
    full.Load();
    ASSERT_EQ(full.table.Count(), 3);
    EXPECT_EQ(full.adder.AddTask("http://h/new", ""), AddResult::TooManyTasks);
    ASSERT_EQ(full.messages.shown.size(), 1u);
    const std::string said = full.messages.shown[0];
    EXPECT_EQ(said, AddResultMessage(AddResult::TooManyTasks));
    EXPECT_NE(said.find("Restart Dromo to add more"), std::string::npos) << said;
    EXPECT_EQ(full.table.Count(), 3) << "nothing half added";

    // Deleting does not give an identifier back in this run.
    ASSERT_TRUE(full.table.Remove(0));
    EXPECT_EQ(full.adder.AddTask("http://h/new", ""), AddResult::TooManyTasks);
    EXPECT_EQ(full.messages.shown.back(), said);

    // A restart lists the saved tasks and has room for more.
    ASSERT_TRUE(full.store.Save(full.settings, full.table));
    Fixture restarted;
    restarted.profile = full.profile;
    restarted.Load();
    EXPECT_EQ(restarted.table.Count(), 2);
    EXPECT_EQ(restarted.adder.AddTask("http://h/new", ""), AddResult::Added);
}

}  // namespace
}  // namespace dromo
