#include "base/view/taskrowtip.h"

#include <gtest/gtest.h>

#include "base/values/taskstate.h"

namespace dromo {
namespace {

TEST(TaskRowTip, TellsTheFileOnDiskAndTheReasonOfAFailure)
{
    TaskRow row;
    row.texts[kColTarget] = "http://h/get?id=7&name=caf%C3%A9";
    row.texts[kColSize] = "10 of 20";
    row.texts[kColStatus] = "12:00:01 Error 404 Not Found";
    row.saveAs = "/home/u/Downloads/Caf\xC3\xA9 menu.pdf";
    const struct {
        int stateImage;
        int column;
        const char* tip;
    } cases[] = {
        {kImagePaused, kColTarget, "http://h/get?id=7&name=caf\xC3\xA9\nFile: /home/u/Downloads/Caf\xC3\xA9 menu.pdf"},
        {kImagePaused, TaskRowTip::kFileColumn, "/home/u/Downloads/Caf\xC3\xA9 menu.pdf"},
        {kImagePaused, kColSize, "10 of 20"},
        {kImagePaused, kColSpeed, ""},
        {kImagePaused, kColStatus, "12:00:01 Error 404 Not Found"},
        {kImageError, kColTarget,
         "http://h/get?id=7&name=caf\xC3\xA9\nFile: /home/u/Downloads/Caf\xC3\xA9 menu.pdf\n"
         "Failed: 12:00:01 Error 404 Not Found"},
        {kImageError, kColSpeed, "Failed: 12:00:01 Error 404 Not Found"},
        {kImageError, kColSize, "10 of 20\nFailed: 12:00:01 Error 404 Not Found"},
        {kImageError, kColStatus, "12:00:01 Error 404 Not Found"},  // said once
        {kImageFailed, kColSpeed, "Failed: 12:00:01 Error 404 Not Found"},
        {kImageVerified, kColSize, "10 of 20"},
    };
    for (const auto& c : cases) {
        row.stateImage = c.stateImage;
        EXPECT_EQ(TaskRowTip::For(row, c.column), c.tip) << "image " << c.stateImage << " column " << c.column;
    }
    EXPECT_EQ(TaskRowTip::FileName(row), "Caf\xC3\xA9 menu.pdf");
}

TEST(TaskRowTip, TheUrlReadsDecodedOnlyWhenThatIsText)
{
    const struct {
        const char* url;
        const char* readable;
    } cases[] = {
        {"http://h/%E6%97%A5%E6%9C%AC.zip", "http://h/\xE6\x97\xA5\xE6\x9C\xAC.zip"},
        {"http://h/a%20b.zip", "http://h/a b.zip"},
        {"http://h/%E9t%E9.zip", "http://h/%E9t%E9.zip"},  // Latin-1 escapes: no text, as written
        {"http://h/100%.zip", "http://h/100%.zip"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TaskRowTip::ReadableUrl(c.url), c.readable) << c.url;
    }
}

}  // namespace
}  // namespace dromo
