#include "base/text/startup.h"

#include <gtest/gtest.h>

#include "base/tasks/workerstate.h"
#include "base/text/metalinkdocument.h"

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
        // The classic switches of a program started for automation, before
        // or after the URLs: never taken for a URL.
        {{"/Automation"}, true, false, {}, false},
        {{"/Embedding"}, true, false, {}, false},
        {{"-Automation"}, true, false, {}, false},
        {{"http://h/a.zip", "/Automation"}, true, false, {"http://h/a.zip"}, false},
        {{"/Embedding", "http://h/a.zip", "--trace"}, true, false, {"http://h/a.zip"}, false},
        {{"--", "/Automation"}, false, false, {"/Automation"}, false},
        {{"/automation"}, true, false, {}, false},  // in any letter case, as OLE servers take them
        {{"-EMBEDDING"}, true, false, {}, false},
        {{"/Automations"}, false, false, {"/Automations"}, false},
    };
    for (const Case& c : cases) {
        const StartupOptions o = ParseCommandLine(c.args);
        EXPECT_EQ(o.ShowMinimised(), c.minimised);
        EXPECT_EQ(o.help, c.help);
        EXPECT_EQ(o.urls, c.urls);
        EXPECT_EQ(!o.error.empty(), c.error);
        EXPECT_EQ(o.automation || o.embedding, c.minimised);
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

namespace dromo {
namespace {

// "dromo image.meta4" names a file of the folder it was run in, which the
// running instance that takes it over does not share; a URL or an absolute
// path stays as it is, and so does every other argument.
TEST(Startup, ARelativeMetalinkPathIsMadeAbsolute)
{
    const struct {
        const char* arg;
        const char* folder;
        const char* expected;
    } cases[] = {
        {"image.meta4", "/home/u/dl", "/home/u/dl/image.meta4"},
        {"./sub/a.METALINK", "/home/u/", "/home/u/sub/a.METALINK"},
        {"/abs/a.meta4", "/home/u", "/abs/a.meta4"},
        {"http://h/a.meta4", "/home/u", "http://h/a.meta4"},
        {"file:///x/a.meta4", "/home/u", "file:///x/a.meta4"},
        {"notes.txt", "/home/u", "notes.txt"},
        {"a.meta4", "", "a.meta4"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AbsoluteMetalinkArgument(c.arg, c.folder), c.expected) << c.arg;
    }
    const struct {
        const char* text;
        std::optional<std::string> path;
    } local[] = {
        {"/home/u/a.meta4", "/home/u/a.meta4"},
        {"file:///home/u/my%20a.metalink", "/home/u/my a.metalink"},
        {"FILE:///a.meta4", "/a.meta4"},
        {"file://host/a.meta4", std::nullopt},
        {"http://h/a.meta4", std::nullopt},
        {"/home/u/a.iso", std::nullopt},
        {"a.meta4", std::nullopt},
    };
    for (const auto& c : local) {
        EXPECT_EQ(LocalMetalinkPath(c.text), c.path) << c.text;
    }
}

}  // namespace
}  // namespace dromo
