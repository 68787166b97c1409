#include "engine/curlengine.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <future>
#include <random>
#include <regex>
#include <thread>

#include "base/values/taskrecord.h"
#include "engine/cookielines.h"
#include "tests/engine/enginefixture.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Event;
using test::Exists;
using test::Fetcher;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Ms = std::chrono::milliseconds;

// Byte b of the server's n-th changed answer is (b + n) mod 256; the file
// is whole only when one n fits every byte.
int UniformShift(const std::string& original, const std::string& got)
{
    if (original.size() != got.size() || original.empty()) {
        return -1;
    }
    const int shift = (static_cast<unsigned char>(got[0]) - static_cast<unsigned char>(original[0]) + 256) % 256;
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (static_cast<unsigned char>(got[i]) != static_cast<unsigned char>(original[i] + shift)) {
            return -1;
        }
    }
    return shift;
}

// The fault server's Last-Modified, "Tue, 01 Dec 2026 10:00:00 GMT".
constexpr std::int64_t kFaultServerTime = 1796119200;

std::int64_t ModificationTime(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_mtime) : -1;
}

void SetModificationTime(const std::string& path, std::int64_t seconds, long nanoseconds = 0)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

class EngineTest : public ::testing::Test {
protected:
    TempDir www;
    TempDir out;
    std::string data = test::RandomBytes(1 << 20, 7);

    void SetUp() override { WriteFile(www.File("a.bin"), data); }
};

TEST_F(EngineTest, ResumeAfterDropsAtRandomOffsetsIsByteIdentical)
{
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::vector<std::int64_t> drops;
    for (int i = 0; i < 3; ++i) {
        drops.push_back(std::uniform_int_distribution<std::int64_t>(1, data.size() - 1)(random));
    }
    std::sort(drops.begin(), drops.end());
    drops.erase(std::unique(drops.begin(), drops.end()), drops.end());
    std::string list;
    for (auto d : drops) {
        list += (list.empty() ? "" : ",") + std::to_string(d);
    }
    SCOPED_TRACE("seed " + std::to_string(seed) + ", drops " + list);

    test::FaultServer http(www.Path());
    test::FtpServer ftp(www.Path(), list);
    for (const std::string& url : {http.Url("/file/a.bin?drops=" + list), ftp.Url("/a.bin")}) {
        SCOPED_TRACE(url);
        const std::string target = out.File(url.substr(0, 3) + ".bin");
        Fetcher f;
        std::vector<std::int64_t> starts;
        bool done = false;
        for (std::size_t attempt = 0; attempt <= drops.size() && !done; ++attempt) {
            f.sink.Clear();
            done = f.Get(url, target);
            if (!done) {
                EXPECT_NE(f.Error().find("10053"), std::string::npos) << f.Error();
                EXPECT_FALSE(Exists(target));
            }
            for (const Event& e : f.sink.OfKind(ProgressKind::Start)) {
                starts.push_back(e.bytes);
            }
        }
        ASSERT_TRUE(done) << f.Error();
        EXPECT_TRUE(ReadFile(target) == data);
        EXPECT_FALSE(Exists(target + "+++"));
        std::vector<std::int64_t> expectedStarts{0};
        expectedStarts.insert(expectedStarts.end(), drops.begin(), drops.end());
        EXPECT_EQ(starts, expectedStarts);
        const auto bytes = f.sink.OfKind(ProgressKind::Bytes);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.back().bytes, static_cast<std::int64_t>(data.size()));  // the row reads 100%
    }
}

// The bytes on disk came from one version of the file; the server now has
// another. Whether the server honours If-Range or not, the result is one
// whole version, never a splice of two.
TEST_F(EngineTest, AChangedRemoteFileRestartsFromZero)
{
    test::FaultServer server(www.Path());
    for (const std::string extra : {"", "&ifrange=ignore"}) {
        SCOPED_TRACE(extra);
        const std::string target = out.File("changed" + extra + ".bin");
        Fetcher f;
        f.sink.onEvent = [&f](const Event& e) {
            if (e.kind == ProgressKind::Bytes && e.bytes >= 100000) {
                f.engine.Abort();
            }
        };
        f.engine.SetRefresh(0);  // an event for every piece, so the abort comes right at the stall
        f.engine.SetAutoSave(16);
        EXPECT_FALSE(f.Get(server.Url("/file/a.bin?changing=1&stall=100000" + extra), target));
        f.sink.onEvent = nullptr;
        ASSERT_EQ(ReadFile(target + "+++").size(), 100000u);

        ASSERT_TRUE(f.Get(server.Url("/file/a.bin?changing=1" + extra), target)) << f.Error();
        EXPECT_GE(UniformShift(data, ReadFile(target)), 2);
    }
}

// Only an answer that continues our bytes is appended: a whole body to a
// range request, or a 206 that does not fit (here an error page sent as
// 206), starts the file again from zero.
TEST_F(EngineTest, AnswersThatDoNotContinueOurBytesAreNeverAppended)
{
    test::FaultServer server(www.Path());
    struct Case {
        const char* query;
        bool resumable;
        const char* status;  // a status text the engine must have shown
    } cases[] = {{"?noranges=1", false, ""}, {"?lie206=1", true, "does not fit the file"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        const std::string target = out.File(std::string("whole") + c.query);
        test::WriteOwnPartialFile(target + "+++", data.substr(0, 5000));
        Fetcher f;
        ASSERT_TRUE(f.Get(server.Url(std::string("/file/a.bin") + c.query), target)) << f.Error();
        EXPECT_TRUE(ReadFile(target) == data);
        EXPECT_EQ(f.engine.IsResumable(), c.resumable);
        EXPECT_EQ(f.sink.OfKind(ProgressKind::Start).back().bytes, 0);
        const auto statuses = f.sink.OfKind(ProgressKind::Status);
        EXPECT_TRUE(std::any_of(statuses.begin(), statuses.end(),
                                [&c](const Event& e) { return e.text.find(c.status) != std::string::npos; }));
    }
}

TEST_F(EngineTest, AbortEndsAStalledTransferAtOnceAndKeepsThePartialFile)
{
    test::FaultServer server(www.Path());
    const std::string target = out.File("stalled.bin");
    Fetcher f;
    std::promise<void> started;
    f.sink.onEvent = [&started, once = false](const Event& e) mutable {
        if (e.kind == ProgressKind::Start && !once) {
            once = true;
            started.set_value();
        }
    };
    std::chrono::steady_clock::time_point returned;
    bool ok = true;
    std::thread transfer([&] {
        ok = f.Get(server.Url("/file/a.bin?stall=1000"), target);
        returned = std::chrono::steady_clock::now();
    });
    started.get_future().wait();
    // Into the stall: the server has sent its first 1000 bytes and no more come.
    long long sent = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (sent < 1000 && std::chrono::steady_clock::now() < deadline) {
        Fetcher stats;
        std::remove(out.File("stats").c_str());  // a file already there would be kept
        EXPECT_TRUE(stats.Get(server.Url("/stats"), out.File("stats"))) << stats.Error();
        std::sscanf(ReadFile(out.File("stats")).c_str(),
                    "requests %*d ranged %*d concurrent %*d sending %*d bytes %lld", &sent);
        std::this_thread::sleep_for(Ms(20));
    }
    EXPECT_GE(sent, 1000) << "the server never sent the bytes before its stall";
    const auto asked = std::chrono::steady_clock::now();
    f.engine.Abort();
    const auto abortReturned = std::chrono::steady_clock::now();
    transfer.join();
    EXPECT_FALSE(ok);
    EXPECT_NE(f.Error().find("cancelled by user."), std::string::npos) << f.Error();
    // Abort only asks: it never waits for the transfer, which would stall
    // until the idle time. A bound of a second holds on a loaded machine.
    EXPECT_LT(std::chrono::duration_cast<Ms>(abortReturned - asked).count(), 1000);
    // Generous bound for a loaded machine; bench/ measures the real figure.
    EXPECT_LT(std::chrono::duration_cast<Ms>(returned - asked).count(), 1000);
    EXPECT_EQ(ReadFile(target + "+++").size(), 1000u);
    EXPECT_FALSE(Exists(target));
}

TEST_F(EngineTest, AnAbortBetweenTransfersCancelsTheNextOneOnly)
{
    test::FaultServer server(www.Path());
    Fetcher f;
    f.engine.Abort();
    const auto u = ParseUrl(server.Url("/file/a.bin"));
    EXPECT_FALSE(f.engine.HttpGet(u->host, u->port, u->remotePath, out.File("x"), "", ""));
    EXPECT_NE(f.Error().find("cancelled by user."), std::string::npos);
    f.engine.Close();
    EXPECT_TRUE(f.Get(server.Url("/file/a.bin"), out.File("x"))) << f.Error();
}

TEST_F(EngineTest, ErrorAnswersAreReportedAndNeverWritten)
{
    test::FaultServer server(www.Path());
    const struct {
        std::string path;
        std::string expected;
    } cases[] = {
        {"/status/404", " 404 "},
        {"/file/missing.bin", " 404 "},
        {"/status/500", "Error 500"},
        {"/status/403", "Error 403"},
        {"/file/a.bin?auth=u:p", "Error 401"},
        {"/garbage", "Error in the server's answer"},
        {"/redirect/20?to=/file/a.bin", "too many redirects"},
        {"/setcookie?to=/file/a.bin%3Fcookie%3D1", "Error 403"},  // cookies are off
    };
    for (const auto& c : cases) {
        const std::string target = out.File("err.bin");
        Fetcher f;
        EXPECT_FALSE(f.Get(server.Url(c.path), target)) << c.path;
        EXPECT_NE(f.Error().find(c.expected), std::string::npos) << c.path << ": " << f.Error();
        EXPECT_TRUE(f.Error().rfind("Error ", 0) == 0 || f.Error().rfind("Fail ", 0) == 0) << f.Error();
        EXPECT_FALSE(Exists(target)) << c.path;
        EXPECT_FALSE(Exists(target + "+++")) << c.path;
        const auto status = f.sink.OfKind(ProgressKind::Status);
        ASSERT_FALSE(status.empty());
        EXPECT_NE(status.back().text.find(f.Error()), std::string::npos);  // shown in the row
    }
}

TEST_F(EngineTest, ServerFeaturesThatSucceed)
{
    test::FaultServer server(www.Path());
    const struct {
        std::string path;
        std::string user, password;
        int cookies;
    } cases[] = {
        {"/file/a.bin", "", "", 0},
        {"/file/a.bin?chunked=1", "", "", 0},
        {"/file/a.bin?auth=u:p%C3%BC", "u", "p\xC3\xBC", 0},
        {"/redirect/3?to=/file/a.bin", "", "", 0},
        {"/setcookie?to=/file/a.bin%3Fcookie%3D1", "", "", 1},
    };
    for (const auto& c : cases) {
        const std::string target = out.File("ok.bin");
        std::remove(target.c_str());
        Fetcher f;
        f.engine.SetCookies(c.cookies);
        ASSERT_TRUE(f.Get(server.Url(c.path), target, c.user, c.password)) << c.path << ": " << f.Error();
        EXPECT_TRUE(ReadFile(target) == data) << c.path;
    }
}

TEST_F(EngineTest, StatusTextsAreTimeStamped)
{
    test::FaultServer server(www.Path());
    Fetcher f;
    ASSERT_TRUE(f.Get(server.Url("/file/a.bin"), out.File("s.bin")));
    const auto status = f.sink.OfKind(ProgressKind::Status);
    ASSERT_GE(status.size(), 3u);
    const std::regex stamp("^[0-2][0-9]:[0-5][0-9]:[0-5][0-9] .+");
    for (const Event& e : status) {
        EXPECT_TRUE(std::regex_match(e.text, stamp)) << e.text;
    }
    EXPECT_EQ(status.front().text.substr(9), "Connecting to 127.0.0.1:" + std::to_string(server.Port()) + "...");
    EXPECT_EQ(status[1].text.substr(9), "HTTP/1.1 200 OK");
    EXPECT_EQ(status.back().text.substr(9), "File has been downloaded");
    EXPECT_EQ(f.engine.FileSize(), static_cast<std::int64_t>(data.size()));
    EXPECT_TRUE(f.engine.IsResumable());
}

// The task's identifier comes back in every event, whole, past the old
// 16-bit end too, over one connection or several.
TEST_F(EngineTest, EveryEventCarriesTheWholeTaskIdentifier)
{
    test::FaultServer server(www.Path());
    for (const std::int32_t connections : {1, 4}) {
        for (const TaskId id : {TaskId{32768}, TaskId{70000}, kLastTaskId}) {
            SCOPED_TRACE(std::to_string(connections) + " connections, task " + std::to_string(id));
            Fetcher f;
            f.engine.SetTaskId(id);
            f.engine.SetConnections(connections);
            const std::string target = out.File("id-" + std::to_string(connections) + "-" + std::to_string(id));
            ASSERT_TRUE(f.Get(server.Url("/file/a.bin"), target)) << f.Error();
            const auto events = f.sink.Events();
            ASSERT_FALSE(f.sink.OfKind(ProgressKind::Bytes).empty());
            for (const Event& e : events) {
                EXPECT_EQ(e.taskId, id) << "kind " << e.kind << " " << e.text;
            }
        }
    }
}

TEST_F(EngineTest, UserAgentAndHttpVersionReachTheServer)
{
    test::FaultServer server(www.Path());
    for (const std::string version : {"1.0", "1.1"}) {
        std::remove(out.File("echo").c_str());
        Fetcher f;
        f.engine.SetUserAgent("Dromo/1.03 [en]");
        f.engine.SetHttpVersion(version);
        ASSERT_TRUE(f.Get(server.Url("/echo"), out.File("echo")));
        EXPECT_EQ(ReadFile(out.File("echo")), "GET /echo HTTP/" + version + "\nDromo/1.03 [en]\n");
    }
}

TEST_F(EngineTest, IdleTimeOutKeepsWhatArrived)
{
    test::FaultServer server(www.Path());
    Fetcher f;
    f.engine.SetIdleTime(1);
    const std::string target = out.File("idle.bin");
    EXPECT_FALSE(f.Get(server.Url("/file/a.bin?stall=500"), target));
    EXPECT_NE(f.Error().find("no data received for 1 seconds"), std::string::npos) << f.Error();
    EXPECT_EQ(f.Error().find("10053"), std::string::npos);  // retried, not treated as a dropped line
    EXPECT_EQ(ReadFile(target + "+++").size(), 500u);
}

// A server that sends a byte every two seconds is idle against an idle time
// of four: the transfer ends with the idle text, over one connection and
// over several, long before the server would give up.
TEST_F(EngineTest, AServerThatTricklesIsCutAtTheIdleTime)
{
    WriteFile(www.File("trickle.bin"), test::RandomBytes(8 << 20, 3));
    test::FaultServer server(www.Path());
    for (const int connections : {1, 4}) {
        SCOPED_TRACE(std::to_string(connections) + " connections");
        Fetcher f;
        f.engine.SetIdleTime(4);
        f.engine.SetConnections(connections);
        const auto start = std::chrono::steady_clock::now();
        std::atomic<bool> done{false};
        std::thread guard([&f, &done, start] {  // in case the trickle is never cut
            while (!done && std::chrono::steady_clock::now() - start < std::chrono::seconds(25)) {
                std::this_thread::sleep_for(Ms(50));
            }
            if (!done) {
                f.engine.Abort();
            }
        });
        EXPECT_FALSE(f.Get(server.Url("/file/trickle.bin?trickle=2"), out.File("trickle.bin")));
        done = true;
        guard.join();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(f.Error(), "Error - less than one byte a second received for 4 seconds");
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::TimedOut);
        EXPECT_LT(seconds, 15.0);
    }
}

TEST_F(EngineTest, SpeedLimitHoldsTheTransferBack)
{
    test::FaultServer server(www.Path());
    WriteFile(www.File("six.bin"), test::RandomBytes(6 << 20, 5));
    Fetcher f;
    f.engine.SetSpeedLimit(2000);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(f.Get(server.Url("/file/six.bin"), out.File("slow.bin")));
    // 6 MB at 2000 KB/s takes three seconds (libcurl lets the first few
    // hundred KB through at once); unlimited it takes milliseconds.
    EXPECT_GE(std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start).count(), 2000);
}

TEST_F(EngineTest, ByteEventsComeAtMostOncePerRefreshInterval)
{
    test::Nginx nginx(www.Path());
    WriteFile(www.File("big.bin"), test::RandomBytes(8 << 20, 3));
    Fetcher f;
    f.engine.SetRefresh(100);
    f.engine.SetSpeedLimit(16 * 1024);  // half a second or so
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(f.Get(nginx.Url("/big.bin"), out.File("big.bin")));
    const auto elapsed = std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start).count();
    const auto bytes = f.sink.OfKind(ProgressKind::Bytes);
    ASSERT_FALSE(bytes.empty());
    EXPECT_LE(static_cast<long>(bytes.size()), elapsed / 100 + 2);
    EXPECT_EQ(bytes.back().bytes, 8 << 20);
    for (std::size_t i = 1; i < bytes.size(); ++i) {
        EXPECT_GE(bytes[i].bytes, bytes[i - 1].bytes);
    }
}

TEST_F(EngineTest, ProxyWithLoginForHttpAndFtp)
{
    test::FaultServer server(www.Path());
    test::FtpServer ftp(www.Path());
    test::Tinyproxy proxy("pu:pp");
    const std::string where = "127.0.0.1:" + std::to_string(proxy.Port());
    for (const std::string& url : {server.Url("/file/a.bin"), ftp.Url("/a.bin")}) {
        Fetcher f;
        f.UseProxy(where, "pu", "pp");
        const std::string target = out.File("proxied.bin");
        std::remove(target.c_str());
        ASSERT_TRUE(f.Get(url, target)) << url << ": " << f.Error();
        EXPECT_TRUE(ReadFile(target) == data);

        // The proxy is really in the way: a wrong login is refused.
        Fetcher wrong;
        wrong.UseProxy(where, "pu", "bad");
        EXPECT_FALSE(wrong.Get(url, out.File("refused.bin"))) << url;
        // tinyproxy answers a bad login with 401 rather than 407.
        EXPECT_TRUE(wrong.Error().find("401") != std::string::npos || wrong.Error().find("407") != std::string::npos)
            << wrong.Error();
    }
}

TEST_F(EngineTest, FtpLoginsAndModes)
{
    test::FtpServer ftp(www.Path());
    const struct {
        std::string user, password;
        int passive;
    } cases[] = {{"", "", 1}, {"", "", 0}, {"anonymous", "dromo@example.com", 1}, {"user", "secret", 0}};
    for (const auto& c : cases) {
        Fetcher f;
        f.engine.SetPasvMode(c.passive);
        const std::string target = out.File("ftp.bin");
        std::remove(target.c_str());
        ASSERT_TRUE(f.Get(ftp.Url("/a.bin"), target, c.user, c.password))
            << c.user << " passive " << c.passive << ": " << f.Error();
        EXPECT_TRUE(ReadFile(target) == data);
        EXPECT_TRUE(f.engine.IsResumable());
        EXPECT_EQ(f.engine.FileSize(), static_cast<std::int64_t>(data.size()));
    }
    Fetcher f;
    EXPECT_FALSE(f.Get(ftp.Url("/missing.bin"), out.File("missing.bin")));
    EXPECT_NE(f.Error().find("550"), std::string::npos) << f.Error();
    EXPECT_FALSE(Exists(out.File("missing.bin+++")));
    Fetcher denied;
    EXPECT_FALSE(denied.Get(ftp.Url("/a.bin"), out.File("denied.bin"), "user", "wrong"));
    EXPECT_EQ(denied.Error().rfind("Fail ", 0), 0u) << denied.Error();
}

// Only our own "+++" file is ever continued: a file of the target's name
// is the same download done before (same length), or somebody else's,
// which stays untouched while the download takes the next free name.
TEST_F(EngineTest, AnExistingFileIsNeverWrittenInto)
{
    test::FaultServer http(www.Path());
    test::FtpServer ftp(www.Path());
    const std::string other = test::RandomBytes(data.size() + 10, 99);
    for (const std::string& url : {http.Url("/file/a.bin"), ftp.Url("/a.bin")}) {
        SCOPED_TRACE(url);
        TempDir dir;
        const std::string target = dir.File("existing.bin");
        WriteFile(target, data);
        // The server's length and time: the same file, as far as anyone can tell.
        SetModificationTime(target, url.rfind("ftp", 0) == 0 ? ModificationTime(www.File("a.bin")) : kFaultServerTime);
        Fetcher f;
        ASSERT_TRUE(f.Get(url, target)) << f.Error();
        EXPECT_NE(f.Error().find("has already existed"), std::string::npos) << f.Error();
        EXPECT_TRUE(ReadFile(target) == data);
        EXPECT_FALSE(Exists(target + "+++"));

        struct Case {
            std::string content;
            const char* savedAs;
        } cases[] = {{data.substr(0, 3000), "existing (1).bin"}, {other, "existing (2).bin"}};
        for (const Case& c : cases) {
            WriteFile(target, c.content);
            f.sink.Clear();
            ASSERT_TRUE(f.Get(url, target)) << f.Error();
            EXPECT_TRUE(ReadFile(target) == c.content) << "the user's file is untouched";
            EXPECT_EQ(f.engine.SavedAs(), dir.File(c.savedAs));
            EXPECT_TRUE(ReadFile(dir.File(c.savedAs)) == data);
            EXPECT_EQ(f.sink.OfKind(ProgressKind::Start).at(0).bytes, 0);
        }
        EXPECT_FALSE(Exists(target + "+++"));
        // A free name another task of the list holds is never taken.
        test::ListedClaims claims;
        claims.heldByOthers = {dir.File("existing (3).bin")};
        f.engine.SetFileClaims(&claims);
        WriteFile(target, other);
        ASSERT_TRUE(f.Get(url, target)) << f.Error();
        EXPECT_EQ(f.engine.SavedAs(), dir.File("existing (4).bin"));
        EXPECT_EQ(claims.claimed.at(0), dir.File("existing (4).bin"));
        f.engine.SetFileClaims(nullptr);
    }
    // A fresh download that breaks leaves the old file untouched; the next
    // attempt continues its own partial file under the name it moved to.
    const std::string target = out.File("kept.bin");
    WriteFile(target, other);
    Fetcher f;
    EXPECT_FALSE(f.Get(http.Url("/file/a.bin?drops=4000"), target));
    EXPECT_TRUE(ReadFile(target) == other);
    EXPECT_EQ(f.engine.SavedAs(), out.File("kept (1).bin"));
    EXPECT_EQ(ReadFile(out.File("kept (1).bin+++")).size(), 4000u);
    ASSERT_TRUE(f.Get(http.Url("/file/a.bin"), f.engine.SavedAs())) << f.Error();
    EXPECT_TRUE(ReadFile(out.File("kept (1).bin")) == data);
    EXPECT_EQ(f.sink.OfKind(ProgressKind::Start).back().bytes, 4000);
}

// A file of the target's name is this download done before only when
// Dromo can tell: its record of the version it finished matches what the
// server says now, or, with no record, its length and time are the
// server's. A length alone never is enough.
TEST_F(EngineTest, AnExistingFileIsTakenAsDoneOnlyWhenItIsProvablyTheSame)
{
    test::FaultServer http(www.Path());
    test::FtpServer ftp(www.Path());
    const std::string other = test::RandomBytes(data.size(), 98);  // the same length, other bytes
    // A day old on the server, so no file written now has its time by chance.
    SetModificationTime(www.File("a.bin"), std::time(nullptr) - 86400);
    for (const bool overFtp : {false, true}) {
        const std::string url = overFtp ? ftp.Url("/a.bin") : http.Url("/file/a.bin");
        SCOPED_TRACE(url);
        const std::int64_t serverTime = overFtp ? ModificationTime(www.File("a.bin")) : kFaultServerTime;
        TempDir dir;
        const std::string target = dir.File("f.bin");
        Fetcher f;
        // Finished by Dromo: it carries the server's time, and is known again.
        ASSERT_TRUE(f.Get(url, target)) << f.Error();
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::Completed);
        EXPECT_EQ(ModificationTime(target), serverTime);
        ASSERT_TRUE(f.Get(url, target)) << f.Error();
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::AlreadyExisted) << f.Error();
        EXPECT_EQ(f.engine.SavedAs(), target);
        // Dromo's own file, touched since: its record still names the version.
        SetModificationTime(target, serverTime - 3600);
        ASSERT_TRUE(f.Get(url, target)) << f.Error();
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::AlreadyExisted) << f.Error();

        // The user's own file of that name and length is not the download.
        const std::string mine = dir.File("mine.bin");
        WriteFile(mine, other);
        ASSERT_TRUE(f.Get(url, mine)) << f.Error();
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::Completed) << f.Error();
        EXPECT_EQ(f.engine.SavedAs(), dir.File("mine (1).bin"));
        EXPECT_TRUE(ReadFile(mine) == other) << "the user's file is untouched";
        EXPECT_TRUE(ReadFile(dir.File("mine (1).bin")) == data);
        // Written by the user within the second the server dates its file:
        // a time that came from a write, not from a server, proves nothing.
        const std::string same = dir.File("same.bin");
        WriteFile(same, other);
        SetModificationTime(same, serverTime, 500000000);
        ASSERT_TRUE(f.Get(url, same)) << f.Error();
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::Completed) << f.Error();
        EXPECT_EQ(f.engine.SavedAs(), dir.File("same (1).bin"));
        EXPECT_TRUE(ReadFile(same) == other) << "the user's file is untouched";
        // A file with the server's length and time, as another tool leaves it.
        const std::string copy = dir.File("copy.bin");
        WriteFile(copy, data);
        SetModificationTime(copy, serverTime);
        ASSERT_TRUE(f.Get(url, copy)) << f.Error();
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::AlreadyExisted) << f.Error();
        SetModificationTime(copy, serverTime + 1);
        ASSERT_TRUE(f.Get(url, copy)) << f.Error();
        EXPECT_EQ(f.engine.SavedAs(), dir.File("copy (1).bin"));
    }
    // Dromo's file of an older version of the server's file (another ETag,
    // the same length) is not the file the server has now.
    TempDir dir;
    const std::string target = dir.File("v.bin");
    Fetcher f;
    ASSERT_TRUE(f.Get(http.Url("/file/a.bin?changing=1"), target)) << f.Error();
    ASSERT_TRUE(f.Get(http.Url("/file/a.bin?changing=1"), target)) << f.Error();
    EXPECT_EQ(f.engine.Outcome(), TransferOutcome::Completed) << f.Error();
    EXPECT_EQ(f.engine.SavedAs(), dir.File("v (1).bin"));
    EXPECT_EQ(UniformShift(data, ReadFile(dir.File("v (1).bin"))), 2);
    EXPECT_EQ(UniformShift(data, ReadFile(target)), 1);
}

// Only Dromo's own partial file is ever continued: a "+++" file without
// Dromo's record on it is somebody else's and is left alone.
TEST_F(EngineTest, APartialFileDromoDidNotWriteIsNeverContinued)
{
    test::FaultServer http(www.Path());
    test::FtpServer ftp(www.Path());
    const std::string planted = test::RandomBytes(5000, 66);
    for (const std::string& url : {http.Url("/file/a.bin"), ftp.Url("/a.bin")}) {
        SCOPED_TRACE(url);
        TempDir dir;
        WriteFile(dir.File("victim.bin+++"), planted);
        Fetcher f;
        ASSERT_TRUE(f.Get(url, dir.File("victim.bin"))) << f.Error();
        EXPECT_EQ(f.engine.SavedAs(), dir.File("victim (1).bin"));
        EXPECT_TRUE(ReadFile(dir.File("victim (1).bin")) == data);
        EXPECT_TRUE(ReadFile(dir.File("victim.bin+++")) == planted);
        EXPECT_FALSE(Exists(dir.File("victim.bin")));
        EXPECT_EQ(f.sink.OfKind(ProgressKind::Start).at(0).bytes, 0);

        // Names other tasks hold are passed over too.
        test::ListedClaims claims;
        claims.heldByOthers = {dir.File("victim (2).bin"), dir.File("victim (3).bin")};
        f.engine.SetFileClaims(&claims);
        ASSERT_TRUE(f.Get(url, dir.File("victim.bin"))) << f.Error();
        EXPECT_EQ(f.engine.SavedAs(), dir.File("victim (4).bin"));
        EXPECT_TRUE(ReadFile(dir.File("victim (4).bin")) == data);
        EXPECT_EQ(claims.claimed.front(), dir.File("victim (4).bin"));

        // The task list knows it as the task's own (taken over with "Load
        // Broken File", or written where files keep no attributes): continued.
        WriteFile(dir.File("taken.bin+++"), data.substr(0, 5000));
        claims.ownedPartials = {dir.File("taken.bin")};
        f.sink.Clear();
        ASSERT_TRUE(f.Get(url, dir.File("taken.bin"))) << f.Error();
        EXPECT_EQ(f.engine.SavedAs(), dir.File("taken.bin"));
        EXPECT_TRUE(ReadFile(dir.File("taken.bin")) == data);
        EXPECT_EQ(f.sink.OfKind(ProgressKind::Start).at(0).bytes, 5000);
        EXPECT_EQ(claims.writing.back(), dir.File("taken.bin"));
        f.engine.SetFileClaims(nullptr);
    }
    // Dromo's own partial file is Dromo's whatever the list says.
    TempDir dir;
    Fetcher f;
    EXPECT_FALSE(f.Get(http.Url("/file/a.bin?drops=4000"), dir.File("own.bin")));
    ASSERT_TRUE(f.Get(http.Url("/file/a.bin"), dir.File("own.bin"))) << f.Error();
    EXPECT_EQ(f.engine.SavedAs(), dir.File("own.bin"));
    EXPECT_TRUE(ReadFile(dir.File("own.bin")) == data);
    EXPECT_EQ(f.sink.OfKind(ProgressKind::Start).back().bytes, 4000);
}

// A partial file as long as the file is whole only when Dromo's validator
// says which version it holds; without one (a copy, a file taken over) it
// is fetched again rather than finished unseen.
TEST_F(EngineTest, APartialFileAsLongAsTheFileIsWholeOnlyByItsValidator)
{
    test::FaultServer http(www.Path());
    test::FtpServer ftp(www.Path());
    const std::string zeros(data.size(), '\0');
    for (const std::string& url : {http.Url("/file/a.bin"), ftp.Url("/a.bin")}) {
        SCOPED_TRACE(url);
        TempDir dir;
        test::ListedClaims claims;
        claims.ownedPartials = {dir.File("full.bin")};
        WriteFile(dir.File("full.bin+++"), zeros);
        Fetcher f;
        f.engine.SetFileClaims(&claims);
        ASSERT_TRUE(f.Get(url, dir.File("full.bin"))) << f.Error();
        EXPECT_TRUE(ReadFile(dir.File("full.bin")) == data);
        EXPECT_EQ(f.engine.Outcome(), TransferOutcome::Completed);
    }
}

TEST_F(EngineTest, SizesBeyondFourGiB)
{
    test::FaultServer server(www.Path());
    const std::int64_t huge = 5368709120;  // 5 GiB
    const std::string target = out.File("huge.bin");
    for (const std::int64_t onDisk : {std::int64_t{0}, std::int64_t{4831838208}}) {  // 4.5 GiB sparse
        if (onDisk > 0) {
            WriteFile(target + "+++", "");
            ASSERT_EQ(truncate((target + "+++").c_str(), onDisk), 0);
            test::MarkAsDromosPartialFile(target + "+++");
        }
        Fetcher f;
        std::int64_t seenSize = 0;
        std::int64_t startMark = -1;
        f.sink.onEvent = [&](const Event& e) {
            if (e.kind == ProgressKind::Start) {
                startMark = e.bytes;
            }
            if (e.kind == ProgressKind::Bytes) {
                seenSize = f.engine.FileSize();
                f.engine.Abort();
            }
        };
        f.engine.SetRefresh(1);
        f.engine.SetAutoSave(16);
        EXPECT_FALSE(f.Get(server.Url("/huge/" + std::to_string(huge)), target));
        EXPECT_EQ(seenSize, huge);
        EXPECT_EQ(startMark, onDisk);
        struct stat st {};
        ASSERT_EQ(stat((target + "+++").c_str(), &st), 0);
        EXPECT_GT(st.st_size, onDisk);
        if (onDisk == 0) {
            std::remove((target + "+++").c_str());
        }
    }
}

TEST_F(EngineTest, BadTargetsFailAtOnceWithAClearText)
{
    test::FaultServer server(www.Path());
    WriteFile(out.File("plainfile"), "x");
    mkdir(out.File("dir+++").c_str(), 0755);
    const struct {
        std::string target;
        std::string expected;
    } cases[] = {
        {out.Path() + "/", "Fail - the target"},
        {out.Path(), "Fail - the target"},
        {out.File("no/such/folder/f.bin"), "Fail to write into"},
        {out.File("plainfile/f.bin"), "Fail to write into"},
        {out.File("dir"), "Fail to open"},
    };
    for (const auto& c : cases) {
        Fetcher f;
        EXPECT_FALSE(f.Get(server.Url("/file/a.bin"), c.target)) << c.target;
        EXPECT_EQ(f.Error().rfind(c.expected, 0), 0u) << c.target << ": " << f.Error();
    }
    EXPECT_FALSE(Exists(out.Path() + "+++"));
}

TEST_F(EngineTest, UnreachableServersFailWithAClearText)
{
    Fetcher f;
    const int closed = test::FreePort();
    EXPECT_FALSE(f.Get("http://127.0.0.1:" + std::to_string(closed) + "/a.bin", out.File("r.bin")));
    EXPECT_EQ(f.Error().rfind("Fail to connect to 127.0.0.1:" + std::to_string(closed), 0), 0u) << f.Error();
    EXPECT_FALSE(f.Get("ftp://127.0.0.1:" + std::to_string(closed) + "/a.bin", out.File("r.bin")));
    EXPECT_EQ(f.Error().rfind("Fail to connect", 0), 0u) << f.Error();

    // An unknown host, resolved where no name server can be reached: in a
    // network namespace of its own that only has a loopback device.
    std::string output;
    const int status = test::RunCommand(
        {"unshare", "-n", DROMO_FETCH, "--quiet", "http://no-such-host.invalid/a.bin", out.File("u.bin")}, &output);
    if (status != 1 && output.find("unshare") != std::string::npos) {
        GTEST_SKIP() << "no network namespaces here: " << output;
    }
    EXPECT_EQ(status, 1) << output;
    EXPECT_NE(output.find("Fail to resolve no-such-host.invalid:80"), std::string::npos) << output;
}

// Certificates are checked against the system's store: a self-signed one is
// refused before any byte is written.
TEST_F(EngineTest, AnUntrustedCertificateIsRefused)
{
    TempDir keys;
    ASSERT_TRUE(test::MakeSelfSignedCertificate(keys.Path()));
    test::FaultServer server(www.Path(), keys.File("cert.pem"), keys.File("key.pem"));
    Fetcher f;
    const std::string target = out.File("tls.bin");
    EXPECT_FALSE(f.Get(server.Url("/file/a.bin"), target));
    EXPECT_EQ(f.Error().rfind("Fail - secure connection to 127.0.0.1:" + std::to_string(server.Port()), 0), 0u)
        << f.Error();
    EXPECT_NE(f.Error().find("certificate"), std::string::npos) << f.Error();
    EXPECT_FALSE(Exists(target + "+++"));
}

// A full disk: a small tmpfs where the machine allows mounting one, else a
// file size limit on a dromo-fetch process, which fails writes alike.
TEST_F(EngineTest, AFullDiskFailsTheTaskAndKeepsWhatWasWritten)
{
    test::FaultServer server(www.Path());
    TempDir small;
    const bool mounted = mount("tmpfs", small.Path().c_str(), "tmpfs", 0, "size=256k") == 0;
    std::string output;
    const std::string target = small.File("full.bin");
    int status = 0;
    if (mounted) {
        status =
            test::RunCommand({DROMO_FETCH, "--quiet", "--autosave", "16", server.Url("/file/a.bin"), target}, &output);
    } else {
        status = test::RunCommand({"prlimit", "--fsize=262144", DROMO_FETCH, "--quiet", "--autosave", "16",
                                   server.Url("/file/a.bin"), target},
                                  &output);
    }
    const std::string kept = ReadFile(target + "+++");
    if (mounted) {
        umount(small.Path().c_str());
    }
    EXPECT_EQ(status, 1) << output;
    EXPECT_NE(output.find("Error writing " + target + "+++: "), std::string::npos) << output;
    EXPECT_GT(kept.size(), 0u);
    EXPECT_TRUE(kept == data.substr(0, kept.size()));
    EXPECT_FALSE(Exists(target));
}

// Names from the server replace a name taken from the URL at the final
// rename; hostile ones are made safe and never leave the folder.
TEST_F(EngineTest, TheServersNameIsTakenOnlyWhenAllowedAndMadeSafe)
{
    test::FaultServer server(www.Path());
    const std::string photo = "/file/a.bin?disposition=";
    struct Case {
        std::string path;
        bool allowed;
        const char* expected;
    } cases[] = {
        {photo + "attachment%3B%20filename%3Dreport.pdf", true, "report.pdf"},
        {photo + "attachment%3B%20filename%3D%22Quarterly%20Report%202026.zip%22", true, "Quarterly Report 2026.zip"},
        {photo + "attachment%3B%20filename%2A%3DUTF-8%27%27%25C3%259Cbersicht.txt%3B%20filename%3Dplain.txt", true,
         "\xC3\x9C"
         "bersicht.txt"},
        {photo + "attachment%3B%20filename%3D%22..%2F..%2F.bashrc%22", true, "___.._.bashrc"},
        {photo + "attachment%3B%20filename%3D%22%2Fetc%2Fx%22", true, "_etc_x"},
        {photo + "attachment%3B%20filename%3D%22victim2.bin%2B%2B%2B%22", true, "victim2.bin++_"},
        {photo + "attachment%3B%20filename%3Dreport.pdf", false, "get"},
        {"/redirect/2?to=/file/a.bin", true, "a.bin"},
        {"/redirect/1?to=/file/a.bin", false, "get"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        TempDir dir;
        Fetcher f;
        f.engine.SetServerNameAllowed(c.allowed);
        ASSERT_TRUE(f.Get(server.Url(c.path), dir.File("get"))) << f.Error();
        EXPECT_EQ(f.engine.SavedAs(), dir.File(c.expected));
        EXPECT_TRUE(ReadFile(dir.File(c.expected)) == data);
        std::string listing;
        test::RunCommand({"ls", "-A", dir.Path()}, &listing);
        EXPECT_EQ(listing, std::string(c.expected) + "\n");
    }
    // A server name that is taken by another file gets a free number.
    TempDir dir;
    WriteFile(dir.File("report.pdf"), "mine");
    Fetcher f;
    f.engine.SetServerNameAllowed(true);
    ASSERT_TRUE(f.Get(server.Url(cases[0].path), dir.File("get"))) << f.Error();
    EXPECT_EQ(f.engine.SavedAs(), dir.File("report (1).pdf"));
    EXPECT_EQ(ReadFile(dir.File("report.pdf")), "mine");
    // Nor is a name another task of the list holds.
    test::ListedClaims claims;
    claims.heldByOthers = {dir.File("report (2).pdf")};
    f.engine.SetFileClaims(&claims);
    ASSERT_TRUE(f.Get(server.Url(cases[0].path), dir.File("get"))) << f.Error();
    EXPECT_EQ(f.engine.SavedAs(), dir.File("report (3).pdf"));
    EXPECT_TRUE(ReadFile(dir.File("report (3).pdf")) == data);
    EXPECT_EQ(claims.claimed.back(), dir.File("report (3).pdf"));
}

TEST_F(EngineTest, ProtocolFaultsGiveClearTexts)
{
    test::FaultServer server(www.Path());
    test::FtpServer ftp(www.Path());
    const std::string dead = "127.0.0.1:" + std::to_string(test::FreePort());
    struct Case {
        std::string url;
        bool ok;
        std::string textBegins;  // of ErrorText on failure
        std::string textHas;
        std::int32_t retryAfter;
    } cases[] = {
        {server.Url("/status/503?retryafter=7"), false, "Error 503", "", 7},
        {server.Url("/status/429?retryafter=99999"), false, "Error 429", "", 3600},
        {server.Url("/status/503"), false, "Error 503", "", -1},
        {server.Url("/redirect/1?to=" + ftp.Url("/a.bin")), true, "", "", -1},
        {ftp.Url("/pub/"), false, "Fail", "is a folder on the server", -1},
        {server.Url("/bighead?lines=400"), false, "Error in the server's answer", "", -1},
        {server.Url("/bighead?lines=1&size=200000"), false, "Error in the server's answer", "too large", -1},
        {server.Url("/redirect/1?to=http://" + dead + "/x"), false, "Fail to connect to " + dead, "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        TempDir dir;
        Fetcher f;
        EXPECT_EQ(f.Get(c.url, dir.File("f.bin")), c.ok) << f.Error();
        EXPECT_EQ(f.engine.RetryAfter(), c.retryAfter);
        if (c.ok) {
            EXPECT_TRUE(ReadFile(dir.File("f.bin")) == data);
            continue;
        }
        EXPECT_EQ(f.Error().rfind(c.textBegins, 0), 0u) << f.Error();
        EXPECT_NE(f.Error().find(c.textHas), std::string::npos) << f.Error();
        EXPECT_EQ(f.Error().find("10053"), std::string::npos) << f.Error();
        EXPECT_FALSE(Exists(dir.File("f.bin")));
    }
}

// Sets one of the variables that name a CA bundle for the life of the
// object; the machine's own settings of both are put back afterwards.
class ScopedCaBundle {
public:
    ScopedCaBundle(const char* variable, const std::string& file)
    {
        for (const char* name : {"SSL_CERT_FILE", "CURL_CA_BUNDLE"}) {
            if (const char* value = std::getenv(name)) {
                m_saved.emplace_back(name, value);
            }
            unsetenv(name);
        }
        setenv(variable, file.c_str(), 1);
    }
    ~ScopedCaBundle()
    {
        unsetenv("SSL_CERT_FILE");
        unsetenv("CURL_CA_BUNDLE");
        for (const auto& [name, value] : m_saved) {
            setenv(name.c_str(), value.c_str(), 1);
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> m_saved;
};

// A CA given through the environment is trusted as the curl tool trusts it;
// a login inside the host never shows in a status text.
TEST_F(EngineTest, HttpsWithACertificateAuthorityFromTheEnvironment)
{
    TempDir keys;
    ASSERT_TRUE(test::MakeSelfSignedCertificate(keys.Path()));
    test::FaultServer server(www.Path(), keys.File("cert.pem"), keys.File("key.pem"));
    for (const char* variable : {"SSL_CERT_FILE", "CURL_CA_BUNDLE"}) {
        SCOPED_TRACE(variable);
        ScopedCaBundle bundle(variable, keys.File("cert.pem"));
        const std::string target = out.File(std::string("tls-") + variable);
        test::WriteOwnPartialFile(target + "+++", data.substr(0, 70000));
        Fetcher f;
        ASSERT_TRUE(f.Get(server.Url("/file/a.bin"), target)) << f.Error();
        EXPECT_TRUE(ReadFile(target) == data);
        EXPECT_EQ(f.sink.OfKind(ProgressKind::Start).at(0).bytes, 70000);
    }
    Fetcher f;
    f.engine.SetSecure(false);
    test::FaultServer plain(www.Path());
    ASSERT_TRUE(f.engine.HttpGet("alice:secret@127.0.0.1", static_cast<std::uint16_t>(plain.Port()), "/file/a.bin",
                                 out.File("login.bin"), "", ""))
        << f.Error();
    for (const Event& e : f.sink.Events()) {
        EXPECT_EQ(e.text.find("secret"), std::string::npos) << e.text;
    }
}

// Through a proxy's tunnel the origin's answer decides, never the proxy's
// "200 Connection established": a missing file is no download, and a
// resume continues the partial file as it would directly.
TEST_F(EngineTest, HttpsThroughAProxyDecidesOnTheOriginsAnswer)
{
    TempDir keys;
    ASSERT_TRUE(test::MakeSelfSignedCertificate(keys.Path()));
    test::FaultServer server(www.Path(), keys.File("cert.pem"), keys.File("key.pem"));
    test::Tinyproxy proxy;
    ScopedCaBundle bundle("CURL_CA_BUNDLE", keys.File("cert.pem"));
    const auto viaProxy = [&proxy](Fetcher& f) {
        f.engine.SetProxyServer1("127.0.0.1:" + std::to_string(proxy.Port()));
    };
    Fetcher missing;
    viaProxy(missing);
    EXPECT_FALSE(missing.Get(server.Url("/status/404"), out.File("missing.bin")));
    EXPECT_NE(missing.Error().find(" 404 "), std::string::npos) << missing.Error();
    EXPECT_FALSE(Exists(out.File("missing.bin")));
    EXPECT_FALSE(Exists(out.File("missing.bin+++")));

    const std::string target = out.File("tunnel.bin");
    test::WriteOwnPartialFile(target + "+++", data.substr(0, 123456));
    Fetcher f;
    viaProxy(f);
    ASSERT_TRUE(f.Get(server.Url("/file/a.bin"), target)) << f.Error();
    EXPECT_TRUE(ReadFile(target) == data);
    EXPECT_EQ(f.sink.OfKind(ProgressKind::Start).at(0).bytes, 123456);
}

// A browser's cookie and referrer travel with every request of the task;
// the cookie only to the URL's own host, never to where a redirect leads.
TEST_F(EngineTest, ABrowsersCookieAndReferrerReachOnlyTheirOwnSite)
{
    test::FaultServer server(www.Path());
    Fetcher without;
    EXPECT_FALSE(without.Get(server.Url("/file/a.bin?cookie=1"), out.File("members.bin")));
    EXPECT_NE(without.Error().find(" 403 "), std::string::npos) << without.Error();

    Fetcher f;
    f.engine.SetRequestDetails("theme=dark; dromo=yes", "http://127.0.0.1/page.html");
    ASSERT_TRUE(f.Get(server.Url("/file/a.bin?cookie=1"), out.File("members.bin"))) << f.Error();
    EXPECT_TRUE(ReadFile(out.File("members.bin")) == data);

    ASSERT_TRUE(f.Get(server.Url("/echo?details=1"), out.File("same.txt"))) << f.Error();
    const std::string same = ReadFile(out.File("same.txt"));
    const std::string cookieLine = same.substr(same.find("Cookie: "), same.find("\nReferer") - same.find("Cookie: "));
    EXPECT_NE(cookieLine.find("theme=dark"), std::string::npos) << same;
    EXPECT_NE(cookieLine.find("dromo=yes"), std::string::npos) << same;
    EXPECT_NE(same.find("Referer: http://127.0.0.1/page.html"), std::string::npos) << same;

    const std::string elsewhere = "http://localhost:" + std::to_string(server.Port()) + "/echo?details=1";
    ASSERT_TRUE(f.Get(server.Url("/redirect/1?to=" + elsewhere), out.File("other.txt"))) << f.Error();
    const std::string other = ReadFile(out.File("other.txt"));
    EXPECT_NE(other.find("Cookie: \n"), std::string::npos) << other;
}

// Cookies a browser sent to an https URL may be Secure ones: they go over
// TLS only. (libcurl, as browsers do, counts a loopback host as a secure
// context, so a redirect to plain http on 127.0.0.1 cannot show the
// difference; the lines say it instead.)
TEST_F(EngineTest, CookiesOfAnHttpsUrlTravelOnlyOverTls)
{
    const struct {
        const char* header;
        bool secure;
        std::vector<std::string> lines;
    } cases[] = {
        {"sid=secret; theme=dark",
         true,
         {"h.example\tFALSE\t/\tTRUE\t0\tsid\tsecret", "h.example\tFALSE\t/\tTRUE\t0\ttheme\tdark"}},
        {"sid=secret", false, {"h.example\tFALSE\t/\tFALSE\t0\tsid\tsecret"}},
        {" a = 1 ;=nameless; novalue; b=x\ty; c=",
         true,
         {"h.example\tFALSE\t/\tTRUE\t0\ta \t 1", "h.example\tFALSE\t/\tTRUE\t0\tc\t"}},
        {"", true, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CookieLines(c.header, "h.example", c.secure), c.lines) << c.header;
    }
    // Over TLS the cookie goes with the request.
    TempDir keys;
    ASSERT_TRUE(test::MakeTestCa(keys.Path()));
    const test::ScopedEnv ca("SSL_CERT_FILE", keys.File("ca.pem").c_str());
    const test::ScopedEnv bundle("CURL_CA_BUNDLE", nullptr);  // it would be read first
    test::FaultServer secure(www.Path(), keys.File("cert.pem"), keys.File("key.pem"));
    Fetcher f;
    f.engine.SetRequestDetails("sid=secret", "");
    ASSERT_TRUE(f.Get(secure.Url("/echo?details=1"), out.File("echo.txt"))) << f.Error();
    EXPECT_NE(ReadFile(out.File("echo.txt")).find("Cookie: sid=secret\n"), std::string::npos)
        << ReadFile(out.File("echo.txt"));
}

// The worker decides by the outcome; the texts keep the markers the Status
// column, the history page and stored profiles have always shown.
TEST_F(EngineTest, EveryOutcomesTextCarriesItsMarker)
{
    test::FaultServer server(www.Path());
    const std::string dead = "http://127.0.0.1:" + std::to_string(test::FreePort()) + "/a.bin";
    WriteFile(out.File("equal.bin"), data);
    SetModificationTime(out.File("equal.bin"), kFaultServerTime);
    struct Case {
        std::string url;
        std::string target;
        bool abort;
        TransferOutcome outcome;
        const char* text;  // also in the text, beside the marker
    } cases[] = {
        {server.Url("/file/a.bin"), "done.bin", false, TransferOutcome::Completed, ""},
        {server.Url("/file/a.bin"), "equal.bin", false, TransferOutcome::AlreadyExisted, ""},
        {server.Url("/file/a.bin?stall=1000"), "stalled.bin", true, TransferOutcome::Cancelled, ""},
        {server.Url("/status/404"), "missing.bin", false, TransferOutcome::NotFound, ""},
        {server.Url("/file/a.bin?auth=u:p"), "login.bin", false, TransferOutcome::AccessDenied, " 401 "},
        {server.Url("/file/a.bin?cookie=1"), "members.bin", false, TransferOutcome::AccessDenied, " 403 "},
        {server.Url("/file/a.bin?drops=1000"), "dropped.bin", false, TransferOutcome::ConnectionLost, ""},
        {dead, "dead.bin", false, TransferOutcome::Failed, "Fail to connect"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        Fetcher f;
        if (c.abort) {
            f.sink.onEvent = [&f](const Event& e) {
                if (e.kind == ProgressKind::Start) {
                    f.engine.Abort();
                }
            };
        }
        const bool ok = f.Get(c.url, out.File(c.target));
        EXPECT_EQ(ok, c.outcome == TransferOutcome::Completed || c.outcome == TransferOutcome::AlreadyExisted);
        EXPECT_EQ(f.engine.Outcome(), c.outcome);
        EXPECT_NE(f.Error().find(OutcomeMarker(c.outcome)), std::string::npos) << f.Error();
        EXPECT_NE(f.Error().find(c.text), std::string::npos) << f.Error();
    }
}

}  // namespace
}  // namespace dromo
