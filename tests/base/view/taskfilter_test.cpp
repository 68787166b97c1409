#include "base/view/taskfilter.h"

#include <gtest/gtest.h>

#include "base/values/taskstate.h"
#include "tests/base/fakes/fakeprofile.h"

namespace dromo {
namespace {

TaskRow Row(const std::string& url, const std::string& saveAs, const std::string& status, int stateImage)
{
    TaskRow row;
    row.texts[kColTarget] = url;
    row.texts[kColSize] = "1024";
    row.texts[kColStatus] = status;
    row.saveAs = saveAs;
    row.stateImage = stateImage;
    return row;
}

TEST(TaskFilter, TextNarrowsByUrlFileNameOrStatus)
{
    const TaskRow renamed = Row("http://mirror.example/get?id=7", "/home/u/Downloads/Report-2024.pdf",
                                "12:00:01 File has been downloaded", kImageDone);
    const TaskRow escaped = Row("http://h/caf%C3%A9/menu%20du%20jour.zip", "/home/u/Downloads/menu du jour.zip",
                                "12:00:02 Error 404 Not Found", kImageError);
    const struct {
        const char* text;
        bool renamedShown;
        bool escapedShown;
    } cases[] = {
        {"", true, true},
        {"   ", true, true},
        {"mirror", true, false},       // the URL
        {"report-2024", true, false},  // the file's name, whatever the case
        {"REPORT", true, false},
        {"downloads", false, false},  // the folder is no part of the name
        {"404", false, true},         // the status
        {"has been", true, false},
        {"caf\xC3\xA9", false, true},  // the URL as it reads, escapes decoded
        {"CAF\xC3\x89", false, true},
        {"caf%c3%a9", false, true},  // and as written
        {"menu du", false, true},
        {" .zip ", false, true},  // blanks around the text do not count
        {"1024", false, false},   // other columns are not searched
        {"nowhere", false, false},
    };
    for (const auto& c : cases) {
        const TaskFilter filter(c.text, StateChoice::All);
        EXPECT_EQ(filter.Shows(renamed), c.renamedShown) << "'" << c.text << "'";
        EXPECT_EQ(filter.Shows(escaped), c.escapedShown) << "'" << c.text << "'";
    }
}

TEST(TaskFilter, TheStateChoiceNarrowsByTheRowsState)
{
    const struct {
        int stateImage;
        StateChoice shownUnder;
    } cases[] = {
        {kImageRunning, StateChoice::Running},  {kImageQueued, StateChoice::Queued},
        {kImageScheduled, StateChoice::Queued}, {kImagePaused, StateChoice::Paused},
        {kImageDone, StateChoice::Done},        {kImageError, StateChoice::Failed},
        {kImageFailed, StateChoice::Failed},    {kImageVerified, StateChoice::Done},
    };
    for (const auto& c : cases) {
        const TaskRow row = Row("http://h/a.zip", "/d/a.zip", "", c.stateImage);
        for (int i = 0; i < kStateChoiceCount; ++i) {
            const auto choice = static_cast<StateChoice>(i);
            EXPECT_EQ(TaskFilter("", choice).Shows(row), choice == StateChoice::All || choice == c.shownUnder)
                << "image " << c.stateImage << " under " << TaskFilter::ChoiceText(choice);
            EXPECT_FALSE(TaskFilter("b.zip", choice).Shows(row)) << "text and state must both match";
        }
    }
    EXPECT_FALSE(TaskFilter("", StateChoice::Done).Shows(Row("http://h/x", "", "", kNoStateImage)));
    EXPECT_TRUE(TaskFilter("", StateChoice::All).Shows(Row("http://h/x", "", "", kNoStateImage)));
}

TEST(TaskFilter, ActiveOnlyWhenItMayHideARow)
{
    EXPECT_FALSE(TaskFilter().Active());
    EXPECT_FALSE(TaskFilter("  ", StateChoice::All).Active());
    EXPECT_TRUE(TaskFilter("a", StateChoice::All).Active());
    EXPECT_TRUE(TaskFilter("", StateChoice::Failed).Active());
}

TEST(TaskFilter, KeptInItsOwnStoredValues)
{
    test::FakeProfile profile;
    EXPECT_EQ(TaskFilter::Read(profile).Choice(), StateChoice::All) << "a classic profile";
    EXPECT_EQ(TaskFilter::Read(profile).Text(), "");

    TaskFilter(" caf\xC3\xA9 ", StateChoice::Paused).Write(profile);
    EXPECT_EQ(profile.Int("Settings", "Task Filter State"), 3);
    const TaskFilter back = TaskFilter::Read(profile);
    EXPECT_EQ(back.Text(), " caf\xC3\xA9 ") << "kept as typed";
    EXPECT_EQ(back.Choice(), StateChoice::Paused);

    for (const int stored : {-1, 6, 99}) {
        profile.WriteInt("Settings", "Task Filter State", stored);
        EXPECT_EQ(TaskFilter::Read(profile).Choice(), StateChoice::All) << stored;
    }
    const char* texts[] = {"All", "Running", "Queued", "Paused", "Done", "Failed"};
    for (int i = 0; i < kStateChoiceCount; ++i) {
        EXPECT_STREQ(TaskFilter::ChoiceText(static_cast<StateChoice>(i)), texts[i]);
    }
}

}  // namespace
}  // namespace dromo
