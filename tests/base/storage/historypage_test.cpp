#include "base/storage/historypage.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/base/fakes/rig.h"

namespace dromo {
namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TaskRow Row(const std::string& size, const std::string& status)
{
    TaskRow row;
    row.texts[kColTarget] = "http://h/f.zip";
    row.texts[kColSize] = size;
    row.texts[kColResume] = "Yes";
    row.texts[kColProgress] = "100%";
    row.texts[kColTime] = "0:1:15";
    row.texts[kColRetry] = "0 of 6";
    row.texts[kColStatus] = status;
    return row;
}

TEST(HistoryPage, TheResumedDownloadExample)
{
    TaskRecord task;
    task.saveAs = "/dl/f.zip";
    task.checkpointKB = 300;
    task.checkpointTime = 1'800'000'000;
    task.startTime = task.checkpointTime - 5;
    const std::string record =
        HistoryPage::Record(task, Row("1000 of 1000", "12:00:00 File has been downloaded"), task.checkpointTime + 70);
    const std::string expectedParts[] = {
        "<font face=Arial size=2 color=darkblue>\n<p>\n<b>URL </b><a href=\"http://h/f.zip\">http://h/f.zip</a>\n<br>\n",
        "<b>Save as </b>/dl/f.zip\n<br>\n",
        "<b>Site Support Resume </b>Yes\n<br>\n",
        "<b>Total Time </b>0:1:15s\n<br>\n",
        "<b>Time spent transferring data </b>0:1:10s\n<br>\n",
        "<b>File Size </b>1000KB\n<br>\n",
        "<b>Start Download at </b>300KB\n<br>\n",
        "<b>Finish Download at </b>1000KB\n<br>\n",
        "<b>Downloaded Percent </b>70%\n<br>\n",
        "<b>Total Percent </b>100%\n<br>\n",
        "<b>Average Speed </b>10.0KB/s\n<br>\n",
        "<b>Retry </b>0 of 6\n<br>\n",
        "<b>Status </b>File has been downloaded\n</font></p>\n",
    };
    for (const std::string& part : expectedParts) {
        EXPECT_NE(record.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(std::count(record.begin(), record.end(), '\n'), 32);  // 33 lines, "</font>" without its own
}

TEST(HistoryPage, SizeStatusAndCheckpointRules)
{
    TaskRecord task;
    task.checkpointKB = -1;
    EXPECT_EQ(HistoryPage::Record(task, Row("0 of 100", "s"), 0), "");
    EXPECT_EQ(HistoryPage::Record(task, Row("512", "s"), 0), "");
    EXPECT_EQ(HistoryPage::Record(task, Row("", "s"), 0), "");
    const std::string noCheckpoint = HistoryPage::Record(task, Row("512 of 512", "123456789"), 99);
    EXPECT_NE(noCheckpoint.find("<b>Start Download at </b>512KB"), std::string::npos);
    EXPECT_NE(noCheckpoint.find("<b>Downloaded Percent </b>0%"), std::string::npos);
    EXPECT_NE(noCheckpoint.find("<b>Time spent transferring data </b>0s"), std::string::npos);
    EXPECT_NE(noCheckpoint.find("<b>Status </b>123456789\n"), std::string::npos);  // nine: kept whole
    const std::string ten = HistoryPage::Record(task, Row("512 of 512", "1234567890"), 99);
    EXPECT_NE(ten.find("<b>Status </b>0\n"), std::string::npos);
    task.checkpointKB = 0;
    EXPECT_NE(HistoryPage::Record(task, Row("512 of 0", "s"), 99).find("Downloaded Percent </b>0%"), std::string::npos);
}

TEST(HistoryPage, EveryTextIsEscaped)
{
    TaskRecord task;
    task.saveAs = "/dl/<b>&x";
    TaskRow row = Row("1 of 1", "12:00:00 Error <script>alert('x')</script>");
    row.texts[kColTarget] = "http://h/a\"><script>x</script>";
    const std::string record = HistoryPage::Record(task, row, 0);
    EXPECT_EQ(record.find("<script>"), std::string::npos);
    EXPECT_NE(record.find("href=\"http://h/a&quot;&gt;&lt;script&gt;x&lt;/script&gt;\""), std::string::npos);
    EXPECT_NE(record.find("/dl/&lt;b&gt;&amp;x"), std::string::npos);
    EXPECT_NE(record.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"), std::string::npos);
}

// A login given inside the URL appears nowhere on the page, not even where
// a status text quotes the address.
TEST(HistoryPage, NoLoginFromTheUrlReachesThePage)
{
    TaskRecord task;
    task.saveAs = "/dl/f.zip";
    TaskRow row = Row("1 of 1", "12:00:00 Connecting to alice:pa55word@h:80... then alice:pa55word@h again");
    row.texts[kColTarget] = "ftp://alice:pa55word@h/f.zip";
    const std::string record = HistoryPage::Record(task, row, 0);
    EXPECT_EQ(record.find("pa55word"), std::string::npos) << record;
    EXPECT_EQ(record.find("alice"), std::string::npos) << record;
    EXPECT_NE(record.find("<a href=\"ftp://h/f.zip\">ftp://h/f.zip</a>"), std::string::npos) << record;
    EXPECT_NE(record.find("Connecting to h:80... then h again"), std::string::npos) << record;
}

TEST(HistoryPage, WorkersAppendWholeRecordsAndViewClear)
{
    test::Rig rig;
    rig.options.maxThreadNumber = 0;
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("dromo-hist-" + std::to_string(::getpid()))).string();
    const std::string path = dir + "/Dromo/history.htm";
    HistoryPage page(path, rig.table, rig.options, rig.clock);
    for (int i = 0; i < 8; ++i) {
        rig.adder.AddTask("http://h/f" + std::to_string(i), "");
        rig.table.SetText(i, kColSize, "10 of 10");
    }
    rig.options.enableLog = 0;
    page.WriteHistoryEntry(0);
    EXPECT_FALSE(std::filesystem::exists(path));
    page.View(rig.shell, rig.messages);
    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{"No history."});

    rig.options.enableLog = 1;
    std::vector<std::thread> workers;
    for (int i = 0; i < 8; ++i) {
        workers.emplace_back([&page, i] {
            for (int k = 0; k < 20; ++k) {
                page.WriteHistoryEntry(static_cast<TaskId>(i));
            }
        });
    }
    for (auto& t : workers) {
        t.join();
    }
    const std::string text = Slurp(path);
    std::size_t records = 0;
    for (std::size_t at = text.find("<font"); at != std::string::npos; at = text.find("<font", at + 1)) {
        ++records;
        // Each record runs unbroken to its end.
        EXPECT_EQ(text.find("</font></p>\n", at), text.find("<b>Status </b>", at) + 15) << at;
    }
    EXPECT_EQ(records, 160u);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // the page tells what the user fetched

    rig.messages.shown.clear();
    page.View(rig.shell, rig.messages);
    EXPECT_EQ(rig.shell.opened, std::vector<std::string>{path});
    rig.messages.answer = false;
    page.Clear(rig.messages);
    EXPECT_TRUE(std::filesystem::exists(path));
    rig.messages.answer = true;
    page.Clear(rig.messages);
    EXPECT_FALSE(std::filesystem::exists(path));

    // A page an older run left readable by all is made private.
    std::ofstream(path) << "<p>before</p>\n";
    ::chmod(path.c_str(), 0644);
    page.WriteHistoryEntry(0);
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(Slurp(path).rfind("<p>before</p>\n", 0), 0u);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace dromo
