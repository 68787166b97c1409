// The download machinery of base driving the real engine against nginx:
// many tasks on several workers, and Stop All in the middle of them.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "base/download/downloadcore.h"
#include "base/ports/clock.h"
#include "base/tasks/tasktable.h"
#include "base/text/base64.h"
#include "engine/curlengine.h"
#include "tests/base/fakes/fakes.h"
#include "tests/support/hexdigest.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

class RealClock : public Clock {
public:
    std::int64_t Now() override { return std::time(nullptr); }
    LocalTime Local() override { return {0, 0}; }
    std::uint32_t Milliseconds() override
    {
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
    }
    void Sleep(std::uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

struct Downloads {
    test::TempDir www;
    test::TempDir out;
    TaskTable table;
    RealClock clock;
    test::FakeCompletion completion;
    test::FakeMessages messages;
    test::FakeShell shell;
    test::FakeSound sound;
    test::RecordingObserver observer;
    CurlEngineFactory engines;
    DownloadCore core{table, DownloadPorts{clock, messages, shell, sound, engines, observer}, completion, completion};

    explicit Downloads(int threads)
    {
        core.options.maxThreadNumber = threads;
        core.options.saveTo = out.Path() + "/";
        core.options.retryInterval = 1;
    }
    ~Downloads()
    {
        core.pool.StopAllWorkers(core.commands, nullptr);
        core.StopAndJoin();  // before the engines and fakes above go
    }
    int Count(TaskState s)
    {
        auto guard = table.Lock();
        return table.CountIn(s);
    }
    // No task waits, runs or is between attempts.
    bool Settled()
    {
        auto guard = table.Lock();
        return core.state.Counts(guard).activeCount == 0 &&
               table.CountIn(TaskState::Queued) + table.CountIn(TaskState::Running) + table.CountIn(TaskState::Error) ==
                   0;
    }
    bool WaitFor(const std::function<bool()>& condition, int seconds)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
};

TEST(Downloads, TwentyTasksOfMixedSizesOnOneFourAndTwelveThreads)
{
    for (int threads : {1, 4, 12}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        Downloads d(threads);
        std::vector<std::string> contents;
        for (int i = 0; i < 20; ++i) {
            const std::size_t size = (i % 5 == 0) ? 0 : static_cast<std::size_t>(1) << (10 + i % 11);
            contents.push_back(test::RandomBytes(size + i, static_cast<unsigned>(i)));
            test::WriteFile(d.www.File("f" + std::to_string(i) + ".bin"), contents.back());
        }
        test::Nginx nginx(d.www.Path());
        for (int i = 0; i < 20; ++i) {
            ASSERT_EQ(d.core.adder.AddTask(nginx.Url("/f" + std::to_string(i) + ".bin"), ""), AddResult::Added);
        }
        ASSERT_TRUE(d.WaitFor([&] { return d.Count(TaskState::Done) == 20; }, 60));
        for (int i = 0; i < 20; ++i) {
            EXPECT_TRUE(test::ReadFile(d.out.File("f" + std::to_string(i) + ".bin")) == contents[i]) << i;
            EXPECT_EQ(d.table.RowCopy(i).texts[kColProgress], "100%") << i;
        }
        ASSERT_TRUE(d.WaitFor([&] { return d.completion.Count("history") == 20; }, 10));
        {
            auto guard = d.table.Lock();
            EXPECT_EQ(d.core.state.Counts(guard).activeCount, 0);
            EXPECT_LE(d.core.state.Counts(guard).workerCount, threads);
        }
        EXPECT_TRUE(d.core.pool.StopAllWorkers(d.core.commands, nullptr));
        auto guard = d.table.Lock();
        EXPECT_EQ(d.core.state.Counts(guard).workerCount, 0);
    }
}

TEST(Downloads, StopAllEndsTwelveRunningDownloadsWithinASecond)
{
    Downloads d(12);
    test::FaultServer server(d.www.Path());
    test::WriteFile(d.www.File("slow.bin"), test::RandomBytes(1 << 20, 1));
    for (int i = 0; i < 12; ++i) {
        // Each stalls after a little data: running until stopped.
        TaskRecord r;
        r.saveAs = d.out.File("s" + std::to_string(i));
        r.errorCount = 3;
        r.idleTime = 60;
        r.refresh = 0;  // an event for every piece of data
        r.autoSave = "64";
        r.speedLimit = -1;
        r.httpVersion = "1.1";
        ASSERT_EQ(d.core.adder.AddTaskFromRecord(server.Url("/file/slow.bin?stall=1000"), r), AddResult::Added);
    }
    // Running, and the first 1000 bytes arrived before the stall.
    ASSERT_TRUE(d.WaitFor(
        [&] {
            auto guard = d.table.Lock();
            for (int i = 0; i < 12; ++i) {
                if (d.table.RowCopy(i).texts[kColSize] != "0 of 1024") {
                    return false;
                }
            }
            return true;
        },
        20));
    const auto start = std::chrono::steady_clock::now();
    d.core.commands.StopAll();
    ASSERT_TRUE(d.WaitFor([&] { return d.Count(TaskState::Paused) == 12; }, 10));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 1000);
    {
        auto guard = d.table.Lock();
        EXPECT_EQ(d.core.state.Counts(guard).activeCount, 0);
    }
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(test::ReadFile(d.out.File("s" + std::to_string(i)) + "+++").size(), 1000u);
        EXPECT_NE(d.table.RowCopy(i).texts[kColStatus].find("cancelled by user."), std::string::npos);
    }
}

// From the add path to the file on disk: every ordinary link shape ends
// with the server's bytes under the expected name, and files that were
// there before stay as they were.
TEST(Downloads, LinkShapesEndInTheExpectedFileAndNothingIsSpliced)
{
    const std::string data = test::RandomBytes(300000, 5);
    const std::string shorter = data.substr(0, 1000);
    const std::string foreign = test::RandomBytes(400000, 6);
    struct Case {
        std::vector<std::string> paths;                           // added in this order
        std::vector<std::pair<std::string, std::string>> before;  // files already there
        std::set<std::string> after;                              // the folder at the end
        bool serversTime = false;                                 // files there have the server's time
    } cases[] = {
        {{"/file/a.bin?id=3&token=x"}, {}, {"a.bin"}},
        {{"/file/a.bin#part"}, {}, {"a.bin"}},
        {{"/file/%C3%9C%20b.bin"}, {}, {"\xC3\x9C b.bin"}},
        {{"/file/a.bin?disposition=attachment%3B%20filename%3D%22Quarterly%20Report.zip%22"},
         {},
         {"Quarterly Report.zip"}},
        {{"/file/a.bin?disposition=attachment%3B%20filename%3D%22..%2F..%2F.bashrc%22"}, {}, {"___.._.bashrc"}},
        {{"/redirect/2?to=/file/a.bin"}, {}, {"a.bin"}},
        {{"/file/a.bin"}, {{"a.bin", shorter}}, {"a.bin", "a (1).bin"}},
        {{"/file/a.bin"}, {{"a.bin", foreign}}, {"a.bin", "a (1).bin"}},
        // The same bytes with the server's time: this download done before.
        {{"/file/a.bin"}, {{"a.bin", data}}, {"a.bin"}, true},
        // The same bytes and length, but nothing tells it is the same file.
        {{"/file/a.bin"}, {{"a.bin", data}}, {"a.bin", "a (1).bin"}},
        {{"/file/a.bin", "/file/a.bin?x=1"}, {}, {"a.bin", "a (1).bin"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paths.front());
        Downloads d(2);
        test::WriteFile(d.www.File("a.bin"), data);
        test::WriteFile(d.www.File("%C3%9C%20b.bin"), data);
        test::FaultServer server(d.www.Path());
        for (const auto& [name, content] : c.before) {
            test::WriteFile(d.out.File(name), content);
            if (c.serversTime) {
                // The fault server's Last-Modified, Tue, 01 Dec 2026 10:00:00 GMT.
                const struct timespec times[2] = {{0, UTIME_OMIT}, {1796119200, 0}};
                ASSERT_EQ(::utimensat(AT_FDCWD, d.out.File(name).c_str(), times, 0), 0);
            }
        }
        for (const std::string& path : c.paths) {
            ASSERT_EQ(d.core.adder.AddTask(server.Url(path), ""), AddResult::Added);
        }
        // A download found already there leaves the list at once.
        ASSERT_TRUE(d.WaitFor(
            [&] { return d.Count(TaskState::Queued) + d.Count(TaskState::Running) + d.Count(TaskState::Error) == 0; },
            30));
        EXPECT_EQ(d.Count(TaskState::Paused), 0);
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(d.out.Path())) {
            names.insert(entry.path().filename().string());
        }
        EXPECT_EQ(names, c.after);
        for (const std::string& name : c.after) {
            const auto before = std::find_if(c.before.begin(), c.before.end(),
                                             [&name](const auto& file) { return file.first == name; });
            const std::string expected = before != c.before.end() ? before->second : data;
            EXPECT_TRUE(test::ReadFile(d.out.File(name)) == expected) << name;
        }
    }
}

// A server that names other places of its file and gives its digest: the
// task keeps them as its mirrors, relative ones read at the URL that
// answered; what a redirect or an error page names is not the file's, nor
// are mirrors no digest could check.
TEST(Downloads, MirrorsTheServerNamesAreKeptWithTheTask)
{
    Downloads d(1);
    const std::string data = test::RandomBytes(100000, 9);
    for (const char* name : {"named.bin", "plain.bin", "sub/rel.bin", "unchecked.bin"}) {
        std::filesystem::create_directories(std::filesystem::path(d.www.File(name)).parent_path());
        test::WriteFile(d.www.File(name), data);
    }
    std::string raw;
    const std::string hex = test::HexDigest(data);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        raw += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    const std::string digest = "add_header Repr-Digest 'sha-256=:" + Base64Encode(raw) + ":'; ";
    test::Nginx mirror(d.www.Path());
    const std::string b = mirror.Url("/named.bin");
    const std::string duplicate = "'<" + b + ">; rel=duplicate";
    const std::string config = "location = /named.bin { " + digest + "add_header Link " + duplicate + "; pri=1'; } " +
                               "location /r/ { add_header Link " + duplicate + "' always; return 302 /sub/rel.bin; } " +
                               "location /sub/ { " + digest + "add_header Link '<other.bin>; rel=duplicate; geo=DE, <" +
                               b + ">; rel=describedby'; } " + "location = /missing.bin { add_header Link " +
                               duplicate + "' always; } location = /unchecked.bin { add_header Link " + duplicate +
                               "'; }";
    test::Nginx origin(d.www.Path(), config);
    const struct {
        const char* path;
        TaskState state;
        std::string mirrors;
    } cases[] = {
        {"/named.bin", TaskState::Done, "1::" + b},
        {"/r/moved.bin", TaskState::Done, "999999:de:" + origin.Url("/sub/other.bin")},
        {"/missing.bin", TaskState::Paused, ""},
        {"/plain.bin", TaskState::Done, ""},
        {"/unchecked.bin", TaskState::Done, ""},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(d.core.adder.AddTask(origin.Url(c.path), ""), AddResult::Added) << c.path;
    }
    ASSERT_TRUE(d.WaitFor([&] { return d.Settled(); }, 30));
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const std::optional<TaskRecord> task = d.table.CopyOut(i);
        ASSERT_TRUE(task) << cases[i].path;
        EXPECT_TRUE(task->Is(cases[i].state)) << cases[i].path;
        EXPECT_EQ(task->mirrors, cases[i].mirrors) << cases[i].path;
    }
    EXPECT_TRUE(test::ReadFile(d.out.File("named.bin")) == data);
}

// The files of the output folder.
std::set<std::string> FilesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Two links that end in one name, beside a file of the user's of that name:
// each download ends in a numbered name of its own, and neither row leaves
// the list before its file is there.
TEST(Downloads, TwoLinksWithOneNameBesideTheUsersFileBothArrive)
{
    const std::string data = test::RandomBytes(200000, 8);
    const std::string mine = test::RandomBytes(1000, 9);
    for (int threads : {1, 2}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        Downloads d(threads);
        std::filesystem::create_directories(d.www.File("files"));
        std::filesystem::create_directories(d.www.File("mirror2/files"));
        test::WriteFile(d.www.File("files/same.iso"), data);
        test::WriteFile(d.www.File("mirror2/files/same.iso"), data);
        test::WriteFile(d.out.File("same.iso"), mine);
        test::Nginx nginx(d.www.Path());
        ASSERT_EQ(d.core.adder.AddTask(nginx.Url("/files/same.iso?k"), ""), AddResult::Added);
        ASSERT_EQ(d.core.adder.AddTask(nginx.Url("/mirror2/files/same.iso?k"), ""), AddResult::Added);
        ASSERT_TRUE(d.WaitFor([&] { return d.Settled(); }, 30));
        ASSERT_EQ(d.table.Count(), 2) << "a row left the list";
        ASSERT_TRUE(d.WaitFor([&] { return d.completion.Count("history") == 2; }, 10));
        EXPECT_EQ(d.Count(TaskState::Done), 2);
        EXPECT_EQ(FilesIn(d.out.Path()), (std::set<std::string>{"same.iso", "same (1).iso", "same (2).iso"}));
        EXPECT_TRUE(test::ReadFile(d.out.File("same.iso")) == mine);
        std::set<std::string> saved;
        for (int row = 0; row < 2; ++row) {
            const std::string path = d.table.CopyOut(row)->saveAs;
            saved.insert(path);
            EXPECT_TRUE(test::ReadFile(path) == data) << path;
        }
        EXPECT_EQ(saved.size(), 2u) << "two rows, two files";
    }
}

// Two stored tasks with one file (older profiles can hold such pairs) both
// come back and both download, the later one under a free name.
TEST(Downloads, TwoStoredTasksWithOneFileBothDownload)
{
    const std::string data = test::RandomBytes(150000, 10);
    Downloads d(2);
    d.core.options.resumeIfStart = 1;
    test::WriteFile(d.www.File("x.iso"), data);
    test::WriteFile(d.www.File("y.iso"), data);
    test::Nginx nginx(d.www.Path());
    TaskRecord stored;
    stored.saveAs = d.out.File("x.iso");
    stored.errorCount = 2;
    stored.httpVersion = "1.1";
    stored.autoSave = "64";
    stored.SetState(TaskState::Paused);
    ASSERT_TRUE(d.core.adder.RestoreTask(nginx.Url("/x.iso"), "0", "N/A", "0", stored));
    ASSERT_TRUE(d.core.adder.RestoreTask(nginx.Url("/y.iso"), "0", "N/A", "0", stored));
    ASSERT_TRUE(d.WaitFor([&] { return d.Settled(); }, 30));
    ASSERT_EQ(d.table.Count(), 2) << "a row left the list";
    ASSERT_TRUE(d.WaitFor([&] { return d.completion.Count("history") == 2; }, 10));
    EXPECT_EQ(d.Count(TaskState::Done), 2);
    EXPECT_EQ(FilesIn(d.out.Path()), (std::set<std::string>{"x.iso", "x (1).iso"}));
    EXPECT_NE(d.table.CopyOut(0)->saveAs, d.table.CopyOut(1)->saveAs);
}

}  // namespace
}  // namespace dromo
