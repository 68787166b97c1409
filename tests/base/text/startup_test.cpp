#include "base/text/startup.h"

#include <gtest/gtest.h>

#include "base/tasks/workerstate.h"

namespace dromo {
namespace {

TEST(Startup, MemoryTextGroupsThousands)
{
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 KB"},
        {512ull * 1024, "512 KB"},
        {1000ull * 1024, "1,000 KB"},
        {131072ull * 1024, "131,072 KB"},
        {4194303ull * 1024, "4,194,303 KB"},
        {4194303ull * 1024 + 1023, "4,194,303 KB"},
        {1234567890ull * 1024, "1,234,567,890 KB"},
    };
    for (auto [bytes, text] : cases) {
        EXPECT_EQ(FormatMemoryText(bytes), text) << bytes;
    }
}

TEST(Startup, OnlyAllowMultiInstanceLetsASecondInstanceStart)
{
    EXPECT_TRUE(MayStart(0, false));
    EXPECT_FALSE(MayStart(0, true));
    EXPECT_TRUE(MayStart(1, true));
    EXPECT_TRUE(MayStart(-7, true));  // any nonzero value is on
}

TEST(Startup, CommandLine)
{
    struct Case {
        std::vector<std::string> args;
        bool minimised;
        bool help;
        std::vector<std::string> urls;
        bool error;
    };
    const Case cases[] = {
        {{}, false, false, {}, false},
        {{"--automation"}, true, false, {}, false},
        {{"--embedding"}, true, false, {}, false},
        {{"--help"}, false, true, {}, false},
        {{"http://h/a.zip", "ftp://h/b"}, false, false, {"http://h/a.zip", "ftp://h/b"}, false},
        {{"--", "-odd"}, false, false, {"-odd"}, false},
        {{"--bogus"}, false, false, {}, true},
    };
    for (const Case& c : cases) {
        const StartupOptions o = ParseCommandLine(c.args);
        EXPECT_EQ(o.ShowMinimised(), c.minimised);
        EXPECT_EQ(o.help, c.help);
        EXPECT_EQ(o.urls, c.urls);
        EXPECT_EQ(!o.error.empty(), c.error);
    }
    const StartupOptions version = ParseCommandLine({"--version"});
    EXPECT_TRUE(version.version);
    EXPECT_TRUE(version.error.empty());
    EXPECT_FALSE(ParseCommandLine({"--versions"}).version);
    const StartupOptions traced = ParseCommandLine({"--trace", "http://h/a"});
    EXPECT_TRUE(traced.trace);
    EXPECT_EQ(traced.urls, std::vector<std::string>{"http://h/a"});
    EXPECT_FALSE(ParseCommandLine({"http://h/a"}).trace);
}

TEST(Startup, WorkerStateStartsStoppedFreeWithTheEndEventSignalled)
{
    WorkerState state;
    EXPECT_FALSE(state.stop);
    TaskTable table;
    auto guard = table.Lock();
    EXPECT_EQ(state.Counts(guard).workerCount, 0);
    EXPECT_EQ(state.Counts(guard).activeCount, 0);
    // Auto-reset: the first wait consumes the signal, the second times out.
    EXPECT_TRUE(state.allWorkersEnded.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_FALSE(state.allWorkersEnded.WaitFor(std::chrono::milliseconds(1)));
    state.allWorkersEnded.Set();
    EXPECT_TRUE(state.allWorkersEnded.IsSet());
    state.allWorkersEnded.Reset();
    EXPECT_FALSE(state.allWorkersEnded.IsSet());
}

}  // namespace
}  // namespace dromo
