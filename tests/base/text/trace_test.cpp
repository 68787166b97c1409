#include "base/text/trace.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>
#include <vector>

#include "base/tasks/tasktable.h"

namespace dromo {
namespace {

std::vector<std::string> g_lines;

void Keep(const std::string& line)
{
    g_lines.push_back(line);
}

class Trace : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_lines.clear();
        trace::SetSink(&Keep);
    }
    void TearDown() override
    {
        trace::SetSink(nullptr);
        trace::Enable(false);
    }
};

TEST_F(Trace, OffIsSilentAndOnWritesOneStampedLine)
{
    trace::Enable(false);
    trace::Line("task 1", "Connecting to h");
    EXPECT_TRUE(g_lines.empty());

    trace::Enable(true);
    trace::Line("task 1", "a server's text\r\n[trace] forged line");
    ASSERT_EQ(g_lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        g_lines[0], std::regex(R"(\[trace\] \d\d:\d\d:\d\d\.\d\d\d task 1: a server's text  \[trace\] forged line\n)")))
        << g_lines[0];
}

TEST_F(Trace, NoLoginOrQueryTokenReachesALine)
{
    const struct {
        const char* url;
        const char* traced;
    } cases[] = {
        {"http://h/a.zip", "http://h/a.zip"},
        {"ftp://me:secret@h:21/pub/a.iso", "ftp://…@h:21/pub/a.iso"},
        {"https://me@h/a", "https://…@h/a"},
        {"https://h/a?token=secret#part", "https://h/a?…#part"},
        {"http://u:p@w@h/x?k=v", "http://…@h/x?…"},
        {"http://h/path@with-at", "http://h/path@with-at"},  // an at-sign in the path is no login
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trace::Url(c.url), c.traced) << c.url;
    }
    // A login inside any text (an engine's message quoting a URL) is dropped too.
    trace::Enable(true);
    trace::Line("task 2", "Fail - ftp://me:secret@h/a.iso: 530 and http://x:y@h2/ too");
    ASSERT_EQ(g_lines.size(), 1u);
    EXPECT_EQ(g_lines[0].find("secret"), std::string::npos) << g_lines[0];
    EXPECT_EQ(g_lines[0].find("x:y"), std::string::npos) << g_lines[0];
    EXPECT_NE(g_lines[0].find("ftp://…@h/a.iso: 530 and http://…@h2/ too"), std::string::npos) << g_lines[0];
}

// Any URL a line quotes goes as trace::Url gives it, whoever wrote the line:
// a redirect's target, a server's text naming where it sends the client.
TEST_F(Trace, EveryUrlInALineLosesItsQuery)
{
    trace::Enable(true);
    const struct {
        const char* text;
        const char* traced;
    } cases[] = {
        {"more connections go to https://cdn/a.iso?token=secret", "more connections go to https://cdn/a.iso?…"},
        {"to http://h/a?k=secret#frag, then ftp://u:pw@h/b?x=secret now",
         "to http://h/a?…#frag, then ftp://…@h/b?… now"},
        {"\"http://h/a?k=secret\" refused", "\"http://h/a?…\" refused"},
        {"<https://h/a?k=secret> and a question? no URL", "<https://h/a?…> and a question? no URL"},
        {"range 0-100 opened to h:80", "range 0-100 opened to h:80"},
    };
    for (const auto& c : cases) {
        g_lines.clear();
        trace::Line("task 3", c.text);
        ASSERT_EQ(g_lines.size(), 1u);
        EXPECT_EQ(g_lines[0].substr(g_lines[0].find("task 3: ") + 8), std::string(c.traced) + "\n") << c.text;
    }
}

TEST_F(Trace, EveryStateChangeOfTheTableIsTracedOnce)
{
    trace::Enable(true);
    TaskTable table;
    TaskRecord r;
    r.saveAs = "/d/a.zip";
    r.SetState(TaskState::Queued);
    const auto id = table.Append(r, TaskRow{});
    ASSERT_TRUE(id);
    table.Update(*id, [](TaskRecord& t) { t.SetState(TaskState::Running); });
    table.Update(*id, [](TaskRecord& t) { t.checkpointKB = 5; });  // no state change: no line
    table.SetState(0, TaskState::Done);
    table.SetState(0, TaskState::Done);
    table.Remove(0);
    std::vector<std::string> texts;
    for (const std::string& line : g_lines) {
        texts.push_back(line.substr(line.find(" task ") + 1));
    }
    const std::string task = "task " + std::to_string(*id) + ": ";
    EXPECT_EQ(texts,
              (std::vector<std::string>{task + "added, Queued (/d/a.zip)\n", task + "Queued -> Running (/d/a.zip)\n",
                                        task + "Running -> Done (/d/a.zip)\n", task + "removed\n"}));
}

TEST_F(Trace, LinesFromManyThreadsStayWhole)
{
    trace::Enable(true);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i) {
                trace::Line("thread " + std::to_string(t), std::string(100, static_cast<char>('a' + t)));
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    ASSERT_EQ(g_lines.size(), 800u);
    for (const std::string& line : g_lines) {
        EXPECT_TRUE(std::regex_match(line, std::regex(R"(\[trace\] [0-9:.]+ thread (\d): ([a-d])\2{99}\n)"))) << line;
    }
}

}  // namespace
}  // namespace dromo
