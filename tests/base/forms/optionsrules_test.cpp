// The options sheet's list pages and what its OK changes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "base/forms/listrows.h"
#include "base/forms/optionsapply.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "tests/base/fakes/fakeprofile.h"
#include "tests/base/fakes/fakes.h"

namespace dromo {
namespace {

namespace fs = std::filesystem;

TEST(ListRows, DuplicatesIgnoreCase)
{
    auto categories = CategoryRows({{"Archives", "zip", "/zips/"}});
    EXPECT_EQ(categories.Add({"Upper", "ZIP", "/other/"}), RowEdit::Duplicate);
    EXPECT_EQ(categories.Rows().size(), 1u);
    EXPECT_FALSE(categories.Changed());
    EXPECT_EQ(categories.DuplicateMessage(), "A category with the same extension has existed.");
    EXPECT_EQ(categories.Add({"Music", "mp3", "/music"}), RowEdit::Done);
    EXPECT_EQ(categories.Rows().back().folder, "/music/") << "a typed folder gets its slash";

    auto proxies = ProxyRows({{"proxy.a", 8080, "", ""}, {"proxy.b", 3128, "", ""}});
    EXPECT_EQ(proxies.Edit({0}, {"PROXY.A", 8081, "u", "p"}), RowEdit::Done) << "only the case changed";
    EXPECT_EQ(proxies.Rows()[0].host, "PROXY.A");
    EXPECT_EQ(proxies.Rows()[0].port, 8081);
    EXPECT_EQ(proxies.Edit({0}, {"Proxy.B", 1, "", ""}), RowEdit::Duplicate);
    EXPECT_EQ(proxies.Rows()[0].host, "PROXY.A");
    EXPECT_EQ(proxies.DuplicateMessage(), "The same proxy has existed.");
    EXPECT_EQ(SiteRows({}).DuplicateMessage(), "The same site has existed.");
}

TEST(ListRows, EditNeedsExactlyOneRowRemoveTakesAll)
{
    auto sites = SiteRows({{"a", "u", ""}, {"b", "u", ""}, {"c", "u", ""}});
    EXPECT_EQ(sites.Edit({0, 1}, {"z", "u", ""}), RowEdit::Ignored);
    EXPECT_EQ(sites.Edit({}, {"z", "u", ""}), RowEdit::Ignored);
    EXPECT_EQ(sites.Edit({7}, {"z", "u", ""}), RowEdit::Ignored);
    EXPECT_FALSE(sites.Changed());
    EXPECT_TRUE(sites.Remove({2, 0}));
    ASSERT_EQ(sites.Rows().size(), 1u);
    EXPECT_EQ(sites.Rows()[0].host, "b");
    SiteList live{{"x", "", ""}};
    EXPECT_TRUE(sites.CommitTo(live));
    EXPECT_EQ(live, sites.Rows());

    auto untouched = SiteRows({{"a", "u", ""}});
    EXPECT_FALSE(untouched.Remove({}));
    SiteList other{{"x", "", ""}};
    EXPECT_FALSE(untouched.CommitTo(other));
    EXPECT_EQ(other.front().host, "x") << "an unchanged page leaves its list";
}

struct ApplyTest : ::testing::Test {
    test::FakeProfile profile;
    SettingsStore store{profile, PlatformDefaults{"/tmp/", "/tmp/"}};
    ViewSettings live;
    TaskTable table;
    test::FakeWorkerStarter starter;
    fs::path dir = fs::temp_directory_path() / ("dromo-options-" + std::to_string(::getpid()));

    void SetUp() override
    {
        fs::create_directories(dir);
        live.options.saveTo = (dir / "save").string() + "/";
        for (TaskState s : {TaskState::Queued, TaskState::Done, TaskState::Queued, TaskState::Queued}) {
            TaskRecord r;
            r.SetState(s);
            table.Append(r, TaskRow{});
        }
    }
    void TearDown() override { fs::remove_all(dir); }
    OptionsSheetResult Edited() { return {live.options, {}, {}, {}}; }
};

TEST_F(ApplyTest, MoreThreadsOfferEachQueuedTask)
{
    struct Case {
        int before, after, offered;
    } cases[] = {{1, 3, 3}, {3, 1, 0}, {2, 2, 0}};
    for (const Case& c : cases) {
        live.options.maxThreadNumber = c.before;
        OptionsSheetResult result = Edited();
        result.options.maxThreadNumber = c.after;
        starter.ruleA = 0;
        ApplyOptionsSheet(result, live, table, store, starter);
        EXPECT_EQ(starter.ruleA, c.offered) << c.before << " -> " << c.after;
        EXPECT_EQ(live.options.maxThreadNumber, c.after);
    }
}

// The sheet's "Require TLS for FTP" is what the workers read next, both ways.
TEST_F(ApplyTest, RequireTlsForFtpReachesTheLiveOptions)
{
    for (const int on : {1, 0}) {
        OptionsSheetResult result = Edited();
        result.options.requireFtpTls = on;
        ApplyOptionsSheet(result, live, table, store, starter);
        EXPECT_EQ(live.options.requireFtpTls, on);
    }
}

TEST_F(ApplyTest, FirstRefusalStopsTheOffers)
{
    struct Refusing : WorkerStarter {
        int asked = 0;
        bool StartWorkerIfAllBusy() override { return ++asked < 2; }
        bool StartWorkerIfBelowLimit() override { return false; }
    } refusing;
    live.options.maxThreadNumber = 1;
    OptionsSheetResult result = Edited();
    result.options.maxThreadNumber = 12;
    ApplyOptionsSheet(result, live, table, store, refusing);
    EXPECT_EQ(refusing.asked, 2);
}

TEST_F(ApplyTest, CaptureValuesWrittenAtOnceFoldersMade)
{
    OptionsSheetResult result = Edited();
    result.options.captureClicksInIE = 1;
    result.options.captureFileTypes = "iso zip";
    result.options.startWithBrowser = 1;
    result.options.maxErrorCount = 42;
    result.options.enableCategory = 1;
    result.categories = CategoryList{{"Images", "iso", (dir / "isos").string() + "/"}};
    live.options.dropBasketX = 555;
    result.options.dropBasketX = 1;
    ApplyOptionsSheet(result, live, table, store, starter);
    EXPECT_EQ(profile.Int("Settings", "Capture Clicks in IE"), 1);
    EXPECT_EQ(profile.Int("Settings", "Start with Browser"), 1);
    EXPECT_EQ(profile.Text("Settings", "Capture File Types"), "iso zip");
    EXPECT_FALSE(profile.Has("Settings", "Max Error Count")) << "the others wait for the usual save";
    EXPECT_EQ(live.options.maxErrorCount, 42);
    EXPECT_EQ(live.options.dropBasketX, 555) << "not a setting of the sheet";
    EXPECT_EQ(live.categories.size(), 1u);
    EXPECT_TRUE(fs::is_directory(dir / "save"));
    EXPECT_TRUE(fs::is_directory(dir / "isos"));
}

}  // namespace
}  // namespace dromo
