#include "base/capture/linkchoice.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "tests/base/fakes/fakes.h"

namespace dromo {
namespace {

OfferedLink Link(const std::string& url, const std::string& fileName = "", const std::string& cookie = "")
{
    OfferedLink link{url, {}};
    link.details.fileName = fileName;
    link.details.cookie = cookie;
    link.details.referrer = "http://h/page.html";
    link.details.userAgent = "Agent/1";
    return link;
}

struct Expected {
    std::string url;
    std::string fileName;
    bool chosen;
};

void ExpectRows(const LinkChoice& choice, const std::vector<Expected>& expected)
{
    ASSERT_EQ(choice.Rows().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(choice.Rows()[i].url, expected[i].url) << i;
        EXPECT_EQ(choice.Rows()[i].fileName, expected[i].fileName) << i;
        EXPECT_EQ(choice.Rows()[i].chosen, expected[i].chosen) << expected[i].url;
    }
}

TEST(LinkChoice, RowsKeepThePagesOrderEachUrlOnceAndWhatCanBeATask)
{
    const LinkChoice choice(
        {
            Link("http://h/a.zip"),
            Link("http://h/b.ZIP#top"),  // letter case aside; the fragment is no part of it
            Link("http://h/b.ZIP"),      // the same file again
            Link("http://h/page.html"), Link("https://h/get?id=7", "report.exe"),  // the page's name decides
            Link("http://h/files/blob-7", "../../.profile"),
            Link("http://h/docs/"),             // a folder
            Link("http://h/docs/", "all.zip"),  // ... unless the page names the file
            Link("ftp://f/pub/x.iso"), Link("ftp://f/pub/"), Link("mailto:someone@example.org"),
            Link("javascript:void(0)"), Link("data:application/zip;base64,UEsFBg=="), Link(""), Link("http://"),
            Link("http://h/%E2%82%AC.zip?x=1"),  // named by its path, chosen by that name
        },
        "exe zip", false);
    ExpectRows(choice, {
                           {"http://h/a.zip", "a.zip", true},
                           {"http://h/b.ZIP", "b.ZIP", true},
                           {"http://h/page.html", "page.html", false},
                           {"https://h/get?id=7", "report.exe", true},
                           {"http://h/files/blob-7", "___.._.profile", false},
                           {"http://h/docs/", "all.zip", true},
                           {"ftp://f/pub/x.iso", "x.iso", false},
                           {"http://h/%E2%82%AC.zip?x=1", "\xE2\x82\xAC.zip", true},
                       });
    EXPECT_EQ(choice.ChosenCount(), 5u);
    EXPECT_EQ(choice.Refusal(), "");
}

TEST(LinkChoice, TheCaptureSwitchesChooseAtFirst)
{
    const std::vector<OfferedLink> page{Link("http://h/a.iso"), Link("ftp://f/b.bin"), Link("ftp://f/pub/"),
                                        Link("http://h/c")};
    const struct {
        std::string types;
        bool allFtp;
        std::vector<bool> chosen;
    } cases[] = {
        {"exe zip", false, {false, false, false}},
        {"ISO", false, {true, false, false}},         // entries in capitals match too
        {"  iso  bin ", false, {true, true, false}},  // extra blanks make no empty entry
        {"", true, {false, true, false}},             // every FTP file; a URL without extension none
        {".iso", false, {false, false, false}},       // the extension is without its dot
    };
    for (const auto& c : cases) {
        const LinkChoice choice(page, c.types, c.allFtp);
        ASSERT_EQ(choice.Rows().size(), 3u) << c.types;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(choice.Rows()[i].chosen, c.chosen[i]) << c.types << " " << choice.Rows()[i].url;
        }
    }
}

TEST(LinkChoice, ChoosingByRowAndAll)
{
    LinkChoice choice({Link("http://h/a.zip"), Link("http://h/b.txt"), Link("http://h/c.zip")}, "zip", false);
    EXPECT_EQ(choice.ChosenCount(), 2u);
    choice.Choose(0, false);
    choice.Choose(1, true);
    choice.Choose(7, true);  // no such row: nothing happens
    EXPECT_EQ(choice.ChosenCount(), 2u);
    EXPECT_FALSE(choice.Rows()[0].chosen);
    EXPECT_TRUE(choice.Rows()[1].chosen);
    choice.ChooseAll(false);
    EXPECT_EQ(choice.ChosenCount(), 0u);
    choice.ChooseAll(true);
    EXPECT_EQ(choice.ChosenCount(), 3u);
}

TEST(LinkChoice, NothingToOfferOrTooMuchIsRefusedWithItsReason)
{
    EXPECT_EQ(LinkChoice({}, "zip", false).Refusal(), kNoLinksToOffer);
    EXPECT_EQ(LinkChoice({Link("mailto:a@b"), Link("http://h/")}, "zip", false).Refusal(), kNoLinksToOffer);
    const std::vector<OfferedLink> flood(LinkChoice::kMostLinks + 1, Link("http://h/a.zip"));
    const LinkChoice tooMany(flood, "zip", false);
    EXPECT_TRUE(tooMany.Rows().empty());
    EXPECT_EQ(tooMany.Refusal(), "The page offers 10001 links; Dromo takes at most 10000 at once.");
    const std::vector<OfferedLink> most(LinkChoice::kMostLinks, Link("http://h/a.zip"));
    EXPECT_EQ(LinkChoice(most, "zip", false).Refusal(), "");
}

// The chosen links become tasks in the rows' order, each with its own
// cookie, the page as referrer, the browser's agent and the page's name.
TEST(LinkChoice, TheChosenLinksBecomeTasksWithWhatTheBrowserKnew)
{
    ViewSettings settings;
    settings.options.saveTo = "/dl/";
    TaskTable table;
    test::FakeWorkerStarter pool;
    test::RecordingObserver observer;
    test::FakeMessages messages;
    test::FakeSound sound;
    TaskAdder adder{table, settings, pool, observer, messages, sound, 0};

    LinkChoice choice({Link("http://h/a.zip", "", "s=1"), Link("http://h/skip.zip"), Link("http://h/b.txt"),
                       Link("http://h/get?id=2", "named.zip", "s=2"), Link("http://h/a.zip#again")},
                      "zip", false);
    choice.Choose(1, false);
    choice.Choose(2, true);
    EXPECT_EQ(choice.AddChosen(adder), 3);
    ASSERT_EQ(table.Count(), 3);
    const std::vector<std::tuple<std::string, std::string, std::string>> expected{
        {"/dl/a.zip", "s=1", "h"}, {"/dl/b.txt", "", "h"}, {"/dl/named.zip", "s=2", "h"}};
    for (int row = 0; row < 3; ++row) {
        const TaskRecord task = *table.CopyOut(row);
        EXPECT_EQ(task.saveAs, std::get<0>(expected[row])) << row;
        EXPECT_EQ(task.cookie, std::get<1>(expected[row])) << row;
        EXPECT_EQ(task.host, std::get<2>(expected[row])) << row;
        EXPECT_EQ(task.referrer, "http://h/page.html");
        EXPECT_EQ(task.userAgent, "Agent/1");
    }
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace dromo
