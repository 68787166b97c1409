#include "base/forms/urlbatch.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

using Urls = std::vector<std::string>;

TEST(UrlBatch, ReadsOneUrlOrMany)
{
    const struct {
        const char* text;
        Urls urls;
        bool many;
        const char* summary;
    } cases[] = {
        {"", {}, false, ""},
        {"  \n\t\n", {}, false, ""},
        // One plain URL is the classic add, checked by the add itself.
        {"http://h/a.zip", {"http://h/a.zip"}, false, ""},
        {"  http://h/a.zip \r\n", {"http://h/a.zip"}, false, ""},
        {"not a url", {"not a url"}, false, ""},
        {"http://h/a[1-3].zip", {"http://h/a1.zip", "http://h/a2.zip", "http://h/a3.zip"}, true, "3 tasks"},
        {"http://h/a[1-1].zip", {"http://h/a1.zip"}, true, "1 task"},
        {"http://h/a.zip\r\n\r\n  ftp://h/b.iso  \nhttps://h/c{1,2}",
         {"http://h/a.zip", "ftp://h/b.iso", "https://h/c1", "https://h/c2"},
         true,
         "4 tasks"},
        // The same URL twice is one download.
        {"http://h/a.zip\nhttp://h/a.zip\nhttp://h/a[0-1].zip",
         {"http://h/a.zip", "http://h/a0.zip", "http://h/a1.zip"},
         true,
         "3 tasks"},
    };
    for (const auto& c : cases) {
        const UrlBatch batch = ReadUrlBatch(c.text);
        EXPECT_EQ(batch.error, "") << c.text;
        EXPECT_EQ(batch.urls, c.urls) << c.text;
        EXPECT_EQ(batch.many, c.many) << c.text;
        EXPECT_EQ(batch.Summary(), c.summary) << c.text;
    }
}

TEST(UrlBatch, RefusesTheWholeTextForOneBadLine)
{
    const struct {
        const char* text;
        std::size_t most;
        const char* error;
    } cases[] = {
        {"http://h/a[1-", kMostPatternUrls, "\"[\" at character 11 has no closing \"]\"."},
        {"http://h/a.zip\nhttp://h/b[3-1]", kMostPatternUrls,
         "Line 2: \"[3-1]\" at character 11 counts backwards; write \"[1-3]\"."},
        {"http://h/a.zip\nmailto:x@h", kMostPatternUrls,
         "Line 2: \"mailto:x@h\" is not an http, https or ftp URL of a file."},
        {"http://h/a.zip\nhttp://h/dir/", kMostPatternUrls,
         "Line 2: \"http://h/dir/\" is not an http, https or ftp URL of a file."},
        {"file:///etc/[a-b]", kMostPatternUrls, "\"file:///etc/a\" is not an http, https or ftp URL of a file."},
        {"http://h/[1-6000]\nhttp://h/[1-6000].x", kMostPatternUrls,
         "The lines make more than 10000 URLs; Dromo adds at most 10000 at once."},
        {"http://h/1\nhttp://h/2\nhttp://h/3", 2, "The lines make more than 2 URLs; Dromo adds at most 2 at once."},
        {"http://h/[1-3]", 2, "The pattern makes 3 URLs; Dromo adds at most 2 at once."},
    };
    for (const auto& c : cases) {
        const UrlBatch batch = ReadUrlBatch(c.text, c.most);
        EXPECT_EQ(batch.error, c.error) << c.text;
        EXPECT_EQ(batch.Summary(), c.error) << c.text;
        EXPECT_TRUE(batch.urls.empty()) << c.text;
    }
}

TEST(UrlBatch, SavesManyIntoTheFolderOfSaveAs)
{
    const struct {
        const char* saveAs;
        const char* defaultFolder;
        const char* folder;
    } cases[] = {
        {"/home/u/Downloads/", "/home/u/Downloads/", ""},
        {"/home/u/Downloads/img[001-120].jpg", "/home/u/Downloads/", ""},
        {"/home/u/Downloads", "/home/u/Downloads/", "/home/u/"},
        {"/home/u/Downloads/", "/home/u/Downloads", ""},
        {"/data/pics/", "/home/u/Downloads/", "/data/pics/"},
        {"/data/pics/x.jpg", "/home/u/Downloads/", "/data/pics/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BatchSaveFolder(c.saveAs, c.defaultFolder), c.folder) << c.saveAs;
    }
}

}  // namespace
}  // namespace dromo
