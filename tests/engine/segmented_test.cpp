// One file over several connections: the range planner on its own, then the
// engine against real servers that drop, refuse, ignore ranges and change
// the file between requests.

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/xattr.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "engine/segmentedtransfer.h"
#include "engine/segmentplan.h"
#include "tests/engine/enginefixture.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Fetcher;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::int64_t kMiB = 1 << 20;

// ---- the planner ----------------------------------------------------------

// Every byte of the file is in exactly one range or before/after the open
// ones: the ranges never overlap and stay inside the file.
void ExpectDisjoint(const SegmentPlan& plan, int count)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    for (int i = 0; i < count; ++i) {
        spans.emplace_back(plan.At(i).next, plan.At(i).end);
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 0; i < spans.size(); ++i) {
        EXPECT_GE(spans[i].first, 0);
        EXPECT_LE(spans[i].second, plan.Total());
        if (i > 0) {
            EXPECT_LE(spans[i - 1].second, spans[i].first);
        }
    }
}

TEST(SegmentPlan, HandsOutHalvesOfTheLargestRangeButNothingBelowTheMinimum)
{
    const struct {
        std::int64_t total;
        std::int64_t present;
        int connections;
        int expectWork;  // connections that get a range
    } cases[] = {
        {10 * kMiB, 0, 8, 8},
        {3 * kMiB, 0, 4, 2},         // 1.5 MiB halves cannot be halved again
        {2 * kMiB - 1, 0, 4, 1},     // below two pieces: one connection
        {5 * kMiB, 4 * kMiB, 4, 1},  // only the last MiB is missing
        {5LL << 30, 0, 16, 16},      // beyond 4 GiB
        {0, 0, 2, 0},                // an empty file has nothing to fetch
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.total) + " bytes, " + std::to_string(c.present) + " present");
        SegmentPlan plan(c.total, c.present);
        int given = 0;
        for (int id = 0; id < c.connections; ++id) {
            const int range = plan.Assign(id, kMiB);
            if (range < 0) {
                break;
            }
            ++given;
            EXPECT_EQ(plan.At(range).owner, id);
            EXPECT_GE(plan.At(range).Left(), std::min<std::int64_t>(kMiB, c.total - c.present));
        }
        EXPECT_EQ(given, c.expectWork);
        EXPECT_EQ(plan.Present(), c.present);
        ExpectDisjoint(plan, given);
    }
}

TEST(SegmentPlan, DividesIntoEqualSharesNoSmallerThanTheMinimum)
{
    const struct {
        std::int64_t total;
        std::int64_t present;
        int pieces;
        int expectRanges;
    } cases[] = {
        {64 * kMiB, 0, 8, 8}, {64 * kMiB + 5, kMiB, 8, 8},  // the remainder goes to the last range
        {3 * kMiB, 0, 8, 3},  {kMiB + 1, 0, 4, 1},         {5LL << 30, 0, 16, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.total) + " in " + std::to_string(c.pieces));
        SegmentPlan plan(c.total, c.present);
        const int first = plan.Assign(0, kMiB);
        plan.Divide(first, c.pieces, kMiB);
        int open = 0;
        std::int64_t covered = 0;
        for (int i = 0; i < c.pieces && plan.FirstOpen() >= 0; ++i) {
            const int range = i == 0 ? first : plan.Assign(i, kMiB);
            if (range < 0 || plan.At(range).owner != i) {
                break;
            }
            EXPECT_GE(plan.At(range).Left(), kMiB);
            EXPECT_LE(plan.At(range).Left() - (c.total - c.present) / c.expectRanges, c.pieces);
            covered += plan.At(range).Left();
            ++open;
        }
        EXPECT_EQ(open, c.expectRanges);
        EXPECT_EQ(covered, c.total - c.present);
        EXPECT_EQ(plan.Present(), c.present);
        ExpectDisjoint(plan, open);
    }
}

// A server that caps each connection sends a burst of `burst` bytes the
// moment a connection asks, then as much again each second: the seconds
// until a range of `bytes` is in, for a connection whose burst is spent or not.
int SecondsFor(std::int64_t bytes, std::int64_t burst, bool spent)
{
    const std::int64_t bursts = (bytes + burst - 1) / burst;
    return static_cast<int>(spent ? bursts : bursts - 1);
}

TEST(SegmentPlan, SharesARangeSoThatAConnectionPastItsBurstEndsWithTheNewOnes)
{
    const struct {
        const char* what;
        std::int64_t next, end;  // the owned range: the missing end of a file
        int joining;
        std::int64_t fetched, kept;
        std::int64_t expectKeep;  // left to the owner
        int expectPieces;
        std::int64_t burst;  // the server's, when all must end in the same second
    } cases[] = {
        // The first request's 2 MiB range is in, the next request on the
        // same connection has had its 2 MiB burst: 7.75 MiB each, counting
        // what it fetched.
        {"the first burst", 4 * kMiB, 64 * kMiB, 7, 2 * kMiB, 0, 23 * kMiB / 4, 7, 2 * kMiB},
        {"a burst of 4 MiB", 8 * kMiB, 64 * kMiB, 3, 4 * kMiB, 0, 11 * kMiB, 3, 4 * kMiB},
        {"what is on its way stays with it", 4 * kMiB, 64 * kMiB, 7, 2 * kMiB, 9 * kMiB, 9 * kMiB, 7, 0},
        {"it fetched more than a share: it keeps the minimum", 40 * kMiB, 64 * kMiB, 3, 40 * kMiB, 0, kMiB, 3, 0},
        {"too little for every newcomer", 0, 4 * kMiB, 7, 0, 0, kMiB, 3, 0},
        {"too little for any", 0, 3 * kMiB / 2, 3, 0, 0, 3 * kMiB / 2, 0, 0},
        {"none joining", 0, 64 * kMiB, 0, 2 * kMiB, 0, 64 * kMiB, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SegmentPlan plan(c.end, c.next);
        const int owned = plan.Assign(0, kMiB);
        EXPECT_EQ(plan.Share(owned, c.joining, c.fetched, c.kept, kMiB), c.expectPieces);
        EXPECT_EQ(plan.At(owned).Left(), c.expectKeep);
        std::vector<int> pieces;
        std::int64_t covered = plan.At(owned).Left();
        for (int id = 1; id <= c.expectPieces; ++id) {
            const int range = plan.Assign(id, std::numeric_limits<std::int64_t>::max());  // unowned ones, never a split
            ASSERT_GE(range, 0);
            EXPECT_GE(plan.At(range).Left(), kMiB);
            covered += plan.At(range).Left();
            pieces.push_back(range);
        }
        EXPECT_EQ(plan.Assign(c.expectPieces + 1, std::numeric_limits<std::int64_t>::max()), -1);
        ExpectDisjoint(plan, plan.RangeCount());
        EXPECT_EQ(covered, c.end - c.next);
        // All end in the same second; halving the rest would have left the
        // first connection a second behind the others.
        for (const int range : pieces) {
            if (c.burst > 0) {
                EXPECT_EQ(SecondsFor(plan.At(range).Left(), c.burst, false),
                          SecondsFor(plan.At(owned).Left(), c.burst, true));
            }
        }
    }
}

// The first connection's burst is spent and it stops: what it left and the
// rest of the file are shared equally by the connections that open at once.
TEST(SegmentPlan, SpreadsWhatNobodyFetchesEquallyOverTheConnectionsAboutToOpen)
{
    const struct {
        const char* what;
        std::int64_t total;
        std::int64_t stoppedAt;  // the first range [0, 2 MiB) was left there
        int pieces;
        bool ownedMiddle;  // a range in the middle keeps its connection
        int expectRanges;
    } cases[] = {
        {"24 MiB, the first MiB in", 24 * kMiB, kMiB, 8, false, 8},
        {"64 MiB, the first MiB in", 64 * kMiB, kMiB, 8, false, 8},
        {"8 MiB: never below the minimum", 8 * kMiB, kMiB, 8, false, 7},
        {"the first range whole in", 24 * kMiB, 2 * kMiB, 8, false, 8},
        // [1, 2) MiB stays one range; [6, 24) MiB is cut in eight.
        {"an owned range in between is not joined", 24 * kMiB, kMiB, 8, true, 9},
        {"too little for two", kMiB * 5 / 2, kMiB, 4, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SegmentPlan plan(c.total, 0);
        const int first = plan.Assign(0, kMiB);
        plan.Cut(first, 2 * kMiB);
        std::int64_t owned = 0;
        if (c.ownedMiddle) {
            const int taken = plan.Assign(1, std::numeric_limits<std::int64_t>::max());  // [2 MiB, end)
            plan.Cut(taken, 6 * kMiB);
            owned = plan.At(taken).Left();
        }
        plan.Advance(first, c.stoppedAt);
        plan.Release(first);
        const std::int64_t waiting = c.total - c.stoppedAt - owned;
        EXPECT_EQ(plan.Spread(c.pieces, kMiB), c.expectRanges);
        std::int64_t covered = 0;
        std::int64_t least = std::numeric_limits<std::int64_t>::max();
        std::int64_t most = 0;
        int ranges = 0;
        for (int i = 0; i < plan.RangeCount(); ++i) {
            if (plan.At(i).owner < 0 && plan.At(i).Left() > 0) {
                covered += plan.At(i).Left();
                least = std::min(least, plan.At(i).Left());
                most = std::max(most, plan.At(i).Left());
                ++ranges;
            }
        }
        EXPECT_EQ(ranges, c.expectRanges);
        EXPECT_EQ(covered, waiting);
        EXPECT_GE(least, std::min<std::int64_t>(kMiB, waiting));
        if (!c.ownedMiddle) {
            EXPECT_LE(most - least, c.pieces) << "equal shares";
        }
        EXPECT_EQ(plan.Present(), c.stoppedAt);
        ExpectDisjoint(plan, plan.RangeCount());
    }
}

TEST(SegmentPlan, AFinishedOrLostConnectionTakesOpenWorkFirstThenSteals)
{
    SegmentPlan plan(8 * kMiB, 0);
    const int a = plan.Assign(0, kMiB);
    const int b = plan.Assign(1, kMiB);  // upper half of a
    EXPECT_EQ(plan.At(a).end, 4 * kMiB);
    EXPECT_EQ(plan.At(b).next, 4 * kMiB);
    plan.Advance(a, 4 * kMiB);  // a is done
    EXPECT_EQ(plan.At(a).Left(), 0);
    const int c = plan.Assign(0, kMiB);  // steals half of b
    EXPECT_EQ(plan.At(c).next, 6 * kMiB);
    EXPECT_EQ(plan.At(b).end, 6 * kMiB);
    plan.Advance(b, kMiB);
    plan.Release(b);  // b's connection dropped at 5 MiB
    const int d = plan.Assign(2, kMiB);
    EXPECT_EQ(d, b) << "an unowned open range goes before any split";
    EXPECT_EQ(plan.At(d).next, 5 * kMiB);
    plan.Advance(d, 100 * kMiB);  // never past its end
    plan.Advance(c, 2 * kMiB);
    EXPECT_TRUE(plan.Complete());
    EXPECT_EQ(plan.Present(), 8 * kMiB);
}

TEST(SegmentPlan, StoredFormRoundTripsAndStrangeTextIsRefused)
{
    SegmentPlan plan(5LL << 30, 0);
    const int a = plan.Assign(0, kMiB);
    const int b = plan.Assign(1, kMiB);
    plan.Advance(a, 12345);
    plan.Advance(b, (1LL << 32) + 7);
    const std::string text = plan.Serialize();
    const auto back = SegmentPlan::Parse(text);
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(back->Total(), plan.Total());
    EXPECT_EQ(back->Present(), plan.Present());
    EXPECT_EQ(back->Serialize(), text);
    EXPECT_EQ(back->FirstOpen(), 0);
    EXPECT_EQ(back->At(0).next, 12345);

    for (const char* bad :
         {"", "ranges 1\n", "ranges 2 10\n", "ranges 1 x\n", "ranges 1 10\n5-3\n", "ranges 1 10\n0-11\n",
          "ranges 1 10\n0-5\n4-8\n", "ranges 1 10\n0-5\nx\n", "ranges 1 10\n-1-5\n", "ranges 1 10\n3-3\n"}) {
        EXPECT_FALSE(SegmentPlan::Parse(bad).has_value()) << bad;
    }
    EXPECT_TRUE(SegmentPlan::Parse("ranges 1 10\n").has_value()) << "a complete file has no open ranges";
}

// Where a new address's bytes are compared with those on disk: the longest
// run no range still needs, wherever it lies.
TEST(SegmentPlan, TheLongestRunOnDiskMayLieAnywhereInTheFile)
{
    using Run = std::pair<std::int64_t, std::int64_t>;
    const struct {
        const char* stored;
        Run expect;
    } cases[] = {
        {"ranges 1 100\n40-100\n", {0, 40}},                 // one connection's partial file
        {"ranges 1 100\n0-20\n50-100\n", {20, 50}},          // the middle came first
        {"ranges 1 100\n0-10\n30-40\n45-100\n", {10, 30}},   // the longest of two
        {"ranges 1 100\n0-60\n", {60, 100}},                 // the end came first
        {"ranges 1 100\n0-100\n", {0, 0}},                   // nothing on disk
        {"ranges 1 100\n", {0, 100}},                        // all there
        {"ranges 1 100\n10-20\n20-30\n90-100\n", {30, 90}},  // touching open ranges
    };
    for (const auto& c : cases) {
        const std::optional<SegmentPlan> plan = SegmentPlan::Parse(c.stored);
        ASSERT_TRUE(plan.has_value()) << c.stored;
        EXPECT_EQ(plan->LongestPresentRun(), c.expect) << c.stored;
    }
}

// ---- the engine -------------------------------------------------------------

std::string StoredRanges(const std::string& path)
{
    char value[16384];
    const ssize_t n = ::getxattr(path.c_str(), "user.dromo.ranges", value, sizeof value);
    return n > 0 ? std::string(value, static_cast<std::size_t>(n)) : std::string();
}

// What the ranges stored with a partial file call present, and whether the
// file really holds the source's bytes there: the ranges are never ahead
// of the data.
struct RecordCheck {
    std::int64_t recorded = -1;  // bytes the ranges call present; -1 without ranges
    std::int64_t wrong = 0;      // of them, bytes that differ from the source's
};

RecordCheck CheckRecord(const std::string& partial, const std::string& source)
{
    RecordCheck check;
    const auto plan = SegmentPlan::Parse(StoredRanges(partial));
    if (!plan) {
        return check;
    }
    check.recorded = plan->Present();
    const std::string held = ReadFile(partial);
    // The stored form lists the open ranges in order after its first line;
    // everything between them is what the record calls present.
    std::istringstream lines(plan->Serialize());
    std::string line;
    std::getline(lines, line);
    std::int64_t at = 0;
    const auto checkUpTo = [&](std::int64_t end) {
        for (; at < end; ++at) {
            const auto i = static_cast<std::size_t>(at);
            check.wrong += i < held.size() && held[i] == source[i] ? 0 : 1;
        }
    };
    while (std::getline(lines, line)) {
        checkUpTo(std::stoll(line.substr(0, line.find('-'))));
        at = std::stoll(line.substr(line.find('-') + 1));
    }
    checkUpTo(plan->Total());
    return check;
}

// Bytes of the partial file that are the source's, in whole 4 KiB blocks
// (holes read as zeros, which random data never is).
std::int64_t BytesOnDisk(const std::string& partial, const std::string& source)
{
    const std::string held = ReadFile(partial);
    std::int64_t same = 0;
    for (std::size_t at = 0; at < held.size() && at < source.size(); at += 4096) {
        const std::size_t n = std::min<std::size_t>(4096, std::min(held.size(), source.size()) - at);
        same += held.compare(at, n, source, at, n) == 0 ? static_cast<std::int64_t>(n) : 0;
    }
    return same;
}

struct Stats {
    int requests = 0;
    int ranged = 0;
    int concurrent = 0;
    int sending = 0;
    long long bytes = 0;  // body bytes the server handed to the network
    int again = 0;        // answers on a connection that had sent one before
};

// What the server counted since the last call. The server notices a
// connection the client closed only at its next write; the count starts
// again once it has.
Stats ServerStats(const test::FaultServer& server)
{
    TempDir dir;
    Stats s;
    for (int i = 0; i < 100; ++i) {
        Fetcher f;
        EXPECT_TRUE(f.Get(server.Url("/stats?reset=1"), dir.File("stats")));
        std::sscanf(ReadFile(dir.File("stats")).c_str(),
                    "requests %d ranged %d concurrent %d sending %d bytes %lld again %d", &s.requests, &s.ranged,
                    &s.concurrent, &s.sending, &s.bytes, &s.again);
        if (s.sending == 0) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return s;
}

class SegmentedTest : public ::testing::Test {
protected:
    TempDir www;
    TempDir out;
    std::string data = test::RandomBytes(8 * kMiB, 11);
    // 8 MiB/s for each connection: slow enough that the first connection
    // is still at work when the others join.
    const std::string rate = "rate=8000000";

    void SetUp() override { WriteFile(www.File("a.bin"), data); }
};

TEST_F(SegmentedTest, ByteExactThroughDropsAtRandomOffsetsInRandomConnections)
{
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::string list;
    for (int i = 0; i < 6; ++i) {
        list += (list.empty() ? "" : ",") +
                std::to_string(std::uniform_int_distribution<std::int64_t>(1, data.size() - 1)(random));
    }
    SCOPED_TRACE("seed " + std::to_string(seed) + ", drops " + list);
    test::FaultServer http(www.Path());
    Fetcher f;
    f.engine.SetConnections(4);
    bool done = false;
    for (int attempt = 0; attempt < 8 && !done; ++attempt) {
        done = f.Get(http.Url("/file/a.bin?" + rate + "&drops=" + list), out.File("a.bin"));
        if (!done) {
            EXPECT_EQ(f.engine.Outcome(), TransferOutcome::ConnectionLost) << f.Error();
        }
    }
    ASSERT_TRUE(done) << f.Error();
    EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
    EXPECT_GT(ServerStats(http).ranged, 0);
}

// Servers that do not play along: the task still ends with the whole file,
// in one call, over however many connections they allow.
TEST_F(SegmentedTest, ServersThatRefuseOrIgnoreRangesCostConnectionsNotTheTask)
{
    test::FaultServer http(www.Path());
    const struct {
        const char* what;
        std::string query;
        int connections;
        bool segmented;  // the server sent ranges; else requests did it all, one after the other
        int requests;    // those requests
    } cases[] = {
        {"the fifth connection refused", "maxconn=4", 8, true, 0},
        {"every second range ignored", "ignorerange=2", 4, true, 0},
        {"no ranges at all", "noranges=1", 4, false, 1},
        {"unknown length", "noranges=1&chunked=1", 4, false, 1},
        // A range without its length is never trusted; the file comes whole.
        {"ranges sent chunked, without a length", "chunked=1", 4, false, 2},
        {"one connection", "", 1, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ServerStats(http);
        Fetcher f;
        f.engine.SetConnections(c.connections);
        ASSERT_TRUE(f.Get(http.Url("/file/a.bin?" + rate + "&" + c.query), out.File("a.bin"))) << f.Error();
        EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
        const Stats s = ServerStats(http);
        EXPECT_EQ(s.ranged > 1, c.segmented);
        if (!c.segmented) {
            EXPECT_EQ(s.requests, c.requests);
        }
        std::remove(out.File("a.bin").c_str());
    }
}

// A proxy that counts this machine's connections refuses the first extra
// ones (403) while another is open: one more is asked for a little later,
// and again, and the download does not stay at one connection. (A refused
// connection the server had begun to answer counts once at the most.)
TEST_F(SegmentedTest, ExtraConnectionsRefusedAtFirstAreAskedForAgain)
{
    test::FaultServer http(www.Path());
    Fetcher f;
    f.engine.SetConnections(4);
    // 1 MB/s on each connection: eight seconds over one.
    ASSERT_TRUE(f.Get(http.Url("/file/a.bin?rate=1000000&refuseextra=3"), out.File("a.bin"))) << f.Error();
    EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
    EXPECT_GE(ServerStats(http).concurrent, 3);
}

// Each TCP connection keeps the validator it answered with first: a server
// that names the file its own way on each connection (the same bytes, the
// same modification time) has its ranges fetched side by side, none lost
// to "another version"; a connection whose own ETag changes shows a
// changed file, never taken into this one.
TEST_F(SegmentedTest, EachConnectionIsCheckedByItsOwnValidator)
{
    test::FaultServer http(www.Path());
    const struct {
        const char* what;
        const char* query;
        bool changes;  // a connection's ETag changes with its next answer
    } cases[] = {
        {"an ETag of each connection", "etagperconn=1", false},
        {"an ETag of each answer", "etagperanswer=1", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ServerStats(http);
        const std::string target = out.File(std::string(c.query) + ".bin");
        std::string said;
        const int code = test::RunCommand({DROMO_FETCH, "--quiet", "--trace", "--connections", "4",
                                           http.Url("/file/a.bin?" + rate + "&" + c.query), target},
                                          &said);
        const Stats s = ServerStats(http);
        EXPECT_EQ(said.find("Another version of the file"), std::string::npos) << said;
        const bool changed = said.find("The file changed on the server") != std::string::npos;
        if (!c.changes || s.again == 0) {
            EXPECT_EQ(code, 0) << said;
            EXPECT_FALSE(changed) << said;
            EXPECT_TRUE(ReadFile(target) == data);
        } else {
            EXPECT_TRUE(changed) << "a connection answered again with another ETag: " << said;
        }
    }
}

// A connection taken under another ETag on the word of the same
// modification time proves it by its bytes: its first ones and the first
// connection's are asked again. A server whose every answer is another
// version (new bytes, new ETag, the same Last-Modified) never has its
// versions joined into one file: the call fails as one that keeps
// changing, and nothing the record calls present is of two versions. A
// server that only names the file its own way on each connection still
// gives it byte-exact.
TEST_F(SegmentedTest, AnotherETagWithTheSameTimeIsProvenByTheBytes)
{
    test::FaultServer http(www.Path());
    const struct {
        const char* what;
        const char* query;
        bool versions;  // each answer is another version of the file
    } cases[] = {
        {"every answer another version", "changing=1", true},
        {"an ETag of each connection", "etagperconn=1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string target = out.File(std::string(c.query) + ".bin");
        std::string said;
        const int code = test::RunCommand(
            {DROMO_FETCH, "--connections", "4", http.Url("/file/a.bin?" + rate + "&" + c.query), target}, &said);
        if (!c.versions) {
            EXPECT_EQ(code, 0) << said;
            EXPECT_TRUE(ReadFile(target) == data);
            continue;
        }
        EXPECT_NE(code, 0) << said;
        EXPECT_NE(said.find("Error - the server keeps changing the file; try again later"), std::string::npos) << said;
        EXPECT_FALSE(test::Exists(target)) << "a file of several versions was finished";
        // Whatever the record calls present is of one version.
        const auto plan = SegmentPlan::Parse(StoredRanges(target + "+++"));
        if (plan) {
            const std::string held = ReadFile(target + "+++");
            std::set<int> shifts;
            for (std::int64_t at = 0; at < plan->Total(); at += 4096) {
                if (plan->Holds(at, at + 1)) {
                    shifts.insert((static_cast<unsigned char>(held[static_cast<std::size_t>(at)]) -
                                   static_cast<unsigned char>(data[static_cast<std::size_t>(at)]) + 256) %
                                  256);
                }
            }
            EXPECT_LE(shifts.size(), 1u);
        }
    }
}

TEST_F(SegmentedTest, AFileChangedBetweenRequestsIsFetchedAgainNeverMixed)
{
    test::FaultServer http(www.Path());
    Fetcher f;
    f.engine.SetConnections(4);
    // The first answer is the old file, every later one the new file.
    ASSERT_TRUE(f.Get(http.Url("/file/a.bin?" + rate + "&changeafter=1"), out.File("a.bin"))) << f.Error();
    const std::string got = ReadFile(out.File("a.bin"));
    ASSERT_EQ(got.size(), data.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (static_cast<unsigned char>(got[i]) != static_cast<unsigned char>(data[i] + 1)) {
            FAIL() << "byte " << i << " is not the new file's";
        }
    }
    bool restarted = false;
    for (const auto& e : f.sink.OfKind(ProgressKind::Status)) {
        restarted = restarted || e.text.find("The file changed on the server") != std::string::npos;
    }
    EXPECT_TRUE(restarted);
}

TEST_F(SegmentedTest, TinyAndEmptyFilesMoveOverOneConnection)
{
    test::FaultServer http(www.Path());
    for (const std::string& content : {std::string("x"), std::string()}) {
        SCOPED_TRACE(content.size());
        WriteFile(www.File("small.bin"), content);
        ServerStats(http);
        Fetcher f;
        f.engine.SetConnections(8);
        ASSERT_TRUE(f.Get(http.Url("/file/small.bin"), out.File("small.bin"))) << f.Error();
        EXPECT_EQ(ReadFile(out.File("small.bin")), content);
        EXPECT_EQ(ServerStats(http).requests, 1);
        std::remove(out.File("small.bin").c_str());
    }
}

// 5 GiB announced: the ranges are planned beyond 4 GiB; aborted long before.
TEST_F(SegmentedTest, AFiveGibibyteFileIsPlannedInRangesAndAbortKeepsThem)
{
    test::FaultServer http(www.Path());
    constexpr std::int64_t kTotal = 5LL << 30;
    Fetcher f;
    f.engine.SetConnections(4);
    f.engine.SetAutoSave(16);
    const std::string target = out.File("huge.bin");
    std::thread aborter([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            const auto plan = SegmentPlan::Parse(StoredRanges(target + "+++"));
            if (plan && plan->Present() > 0 && f.ownHosts.InUse("127.0.0.1:" + std::to_string(http.Port())) == 4) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        f.engine.Abort();
    });
    EXPECT_FALSE(f.Get(http.Url("/huge/" + std::to_string(kTotal)), target));
    aborter.join();
    EXPECT_EQ(f.engine.Outcome(), TransferOutcome::Cancelled);
    EXPECT_EQ(f.engine.FileSize(), kTotal);
    const auto plan = SegmentPlan::Parse(StoredRanges(target + "+++"));
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(plan->Total(), kTotal);
    EXPECT_GT(plan->Present(), 0);
    EXPECT_LT(plan->Present(), 64 * kMiB);
    std::istringstream lines(plan->Serialize());
    std::string line;
    std::vector<std::string> open;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        open.push_back(line);
    }
    ASSERT_EQ(open.size(), 4u) << plan->Serialize();
    EXPECT_EQ(open.back().substr(open.back().find('-') + 1), std::to_string(kTotal));
    EXPECT_EQ(f.ownHosts.InUse("127.0.0.1:" + std::to_string(http.Port())), 0);
}

TEST_F(SegmentedTest, HttpsThroughNginxWithTheTestCa)
{
    TempDir keys;
    ASSERT_TRUE(test::MakeTestCa(keys.Path()));
    test::Nginx nginx(www.Path(), "limit_rate 4m;", keys.File("cert.pem"), keys.File("key.pem"));
    test::ScopedEnv ca("CURL_CA_BUNDLE", keys.File("ca.pem").c_str());
    Fetcher f;
    f.engine.SetConnections(4);
    std::int64_t peak = 0;
    f.sink.onEvent = [&](const test::Event&) {
        peak = std::max<std::int64_t>(peak, f.ownHosts.InUse("127.0.0.1:" + std::to_string(nginx.Port())));
    };
    ASSERT_TRUE(f.Get(nginx.Url("/a.bin"), out.File("a.bin"))) << f.Error();
    EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
    EXPECT_GT(peak, 1);
    const auto bytes = f.sink.OfKind(ProgressKind::Bytes);
    ASSERT_FALSE(bytes.empty());
    for (std::size_t i = 1; i < bytes.size(); ++i) {
        EXPECT_GE(bytes[i].bytes, bytes[i - 1].bytes) << "bytes present never go back";
    }
    EXPECT_EQ(bytes.back().bytes, static_cast<std::int64_t>(data.size()));
}

TEST_F(SegmentedTest, TheSpeedShownHoldsBetweenTheBurstsOfCappedConnections)
{
    // nginx's per-connection cap sends about a second's worth at a time and
    // then nothing: a speed taken over one refresh step read 0 between the
    // bursts, and the Speed column showed 0.0KB/s for a running download.
    test::Nginx nginx(www.Path(), "limit_rate 1m;");
    Fetcher f;
    f.engine.SetConnections(2);
    f.engine.SetRefresh(200);
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::pair<double, std::int64_t>> speeds;  // seconds since start, speed
    f.sink.onEvent = [&](const test::Event& e) {
        if (e.kind == ProgressKind::Bytes) {
            speeds.emplace_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                                e.speed);
        }
    };
    ASSERT_TRUE(f.Get(nginx.Url("/a.bin"), out.File("a.bin"))) << f.Error();
    EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
    ASSERT_GE(speeds.size(), 2u);
    speeds.pop_back();  // the final event gives the average
    int checked = 0;
    for (const auto& [at, speed] : speeds) {
        if (at >= 2.5) {
            EXPECT_GT(speed, 0) << "at " << at << " s";
            ++checked;
        }
    }
    EXPECT_GE(checked, 3) << "the transfer is long enough to see the bursts";
}

TEST_F(SegmentedTest, TheHostCapHoldsAcrossTwoTasks)
{
    test::FaultServer http(www.Path());
    WriteFile(www.File("b.bin"), test::RandomBytes(8 * kMiB, 12));
    HostConnections hosts;  // as one engine factory's engines share it
    hosts.SetCap(5);
    ServerStats(http);
    Fetcher a(hosts);
    Fetcher b(hosts);
    a.engine.SetConnections(4);
    b.engine.SetConnections(4);
    // The engine's count, as both tasks see it on every event; the server's
    // own count lags behind a connection closed at the end of its range.
    const std::string hostPort = "127.0.0.1:" + std::to_string(http.Port());
    std::atomic<int> peak{0};
    auto watch = [&](const test::Event&) {
        const int now = hosts.InUse(hostPort);
        int seen = peak.load();
        while (now > seen && !peak.compare_exchange_weak(seen, now)) {
        }
    };
    a.sink.onEvent = watch;
    b.sink.onEvent = watch;
    bool okA = false;
    std::thread other([&] { okA = a.Get(http.Url("/file/a.bin?rate=4000000"), out.File("a.bin")); });
    const bool okB = b.Get(http.Url("/file/b.bin?rate=4000000"), out.File("b.bin"));
    other.join();
    ASSERT_TRUE(okA) << a.Error();
    ASSERT_TRUE(okB) << b.Error();
    EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
    EXPECT_TRUE(ReadFile(out.File("b.bin")) == ReadFile(www.File("b.bin")));
    EXPECT_LE(peak.load(), 5);
    EXPECT_GE(peak.load(), 3) << "both tasks were split";
    const Stats s = ServerStats(http);
    EXPECT_GE(s.concurrent, 3);
    EXPECT_GT(s.ranged, 0);
}

// The limit is the task's, not each connection's: four connections at
// 1024 KB/s cannot move 4 MiB in less than about four seconds. (Only the
// bound the limiter guarantees is checked; its precision is measured in
// bench/segmented_vs_aria2.sh.)
TEST_F(SegmentedTest, TheSpeedLimitIsSharedByTheConnections)
{
    WriteFile(www.File("four.bin"), test::RandomBytes(4 * kMiB, 13));
    test::FaultServer http(www.Path());
    ServerStats(http);
    Fetcher f;
    f.engine.SetConnections(4);
    f.engine.SetSpeedLimit(1024);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(f.Get(http.Url("/file/four.bin"), out.File("four.bin"))) << f.Error();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(ReadFile(out.File("four.bin")) == ReadFile(www.File("four.bin")));
    EXPECT_GE(seconds, (4.0 * kMiB - 64 * 1024) / (1024 * 1024));
    EXPECT_GT(ServerStats(http).ranged, 0);
}

// dromo-fetch killed mid-transfer (nothing saved on the way out), then run
// again: with as many connections, with one, and after the server's file
// changed. The partial file's ranges carry the resume.
TEST_F(SegmentedTest, AKilledTransferResumesItsRangesByteExact)
{
    test::FaultServer http(www.Path());
    const struct {
        const char* what;
        const char* connections;  // of the second run
        bool changeFile;
    } cases[] = {
        {"four again", "4", false},
        {"one connection", "1", false},
        {"the file changed", "4", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(www.File("k.bin"), data);
        const std::string target = out.File("k.bin");
        const std::string url = http.Url("/file/k.bin?rate=1000000");
        {
            test::ChildProcess fetch({DROMO_FETCH, "--connections", "4", "--quiet", url, target});
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (std::chrono::steady_clock::now() < deadline) {
                const auto plan = SegmentPlan::Parse(StoredRanges(target + "+++"));
                if (plan && plan->Present() > 0) {
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            fetch.Signal(SIGKILL, 5000);
        }
        const auto plan = SegmentPlan::Parse(StoredRanges(target + "+++"));
        ASSERT_TRUE(plan.has_value());
        ASSERT_FALSE(plan->Complete());
        std::string expected = data;
        if (c.changeFile) {
            expected = test::RandomBytes(8 * kMiB + 3, 99);  // another length: the ranges cannot fit
            WriteFile(www.File("k.bin"), expected);
        }
        ServerStats(http);
        std::string output;
        ASSERT_EQ(test::RunCommand({DROMO_FETCH, "--connections", c.connections, url, target}, &output), 0) << output;
        EXPECT_TRUE(ReadFile(target) == expected);
        EXPECT_FALSE(test::Exists(target + "+++"));
        long long start = -1;
        std::sscanf(output.substr(output.find("\n3 ") + 1).c_str(), "3 %lld", &start);
        EXPECT_EQ(start, c.changeFile ? 0 : plan->Present()) << "the bytes already present at the start";
        if (!c.changeFile) {
            const Stats s = ServerStats(http);
            EXPECT_EQ(s.ranged, s.requests) << "only the missing ranges are fetched";
        }
        std::remove(target.c_str());
    }
}

// A segmented partial file copied without its attributes (cp, a backup,
// another machine) has holes nobody can name: it is never read as the
// start of the file.
TEST_F(SegmentedTest, APartialFileCopiedWithoutItsRangesIsNeverReadAsAPrefix)
{
    test::FaultServer http(www.Path());
    WriteFile(www.File("k.bin"), data);
    const std::string url = http.Url("/file/k.bin?rate=1000000");
    const std::string target = out.File("k.bin");
    {
        test::ChildProcess fetch({DROMO_FETCH, "--connections", "4", "--quiet", url, target});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            const auto plan = SegmentPlan::Parse(StoredRanges(target + "+++"));
            if (plan && plan->Present() > static_cast<std::int64_t>(kMiB)) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        fetch.Signal(SIGKILL, 5000);
    }
    const auto plan = SegmentPlan::Parse(StoredRanges(target + "+++"));
    ASSERT_TRUE(plan.has_value());
    ASSERT_FALSE(plan->Complete());
    TempDir copy;
    WriteFile(copy.File("k.bin+++"), ReadFile(target + "+++"));
    ASSERT_EQ(StoredRanges(copy.File("k.bin+++")), "");
    std::string output;
    ASSERT_EQ(test::RunCommand({DROMO_FETCH, "--quiet", url, copy.File("k.bin")}, &output), 0) << output;
    for (const auto& entry : std::filesystem::directory_iterator(copy.Path())) {
        const std::string name = entry.path().filename().string();
        if (name.size() < 3 || name.substr(name.size() - 3) != "+++") {
            EXPECT_TRUE(ReadFile(entry.path().string()) == data) << name << " is not the server's file";
        }
    }
    // Taken over on purpose ("Load Broken File"): continued, but as the
    // whole file it cannot be told from, never as a prefix.
    EXPECT_EQ(ReadFile(target + "+++").size(), data.size()) << "as long as the file from the start";
    TempDir taken;
    WriteFile(taken.File("k.bin+++"), ReadFile(target + "+++"));
    test::ListedClaims claims;
    claims.ownedPartials = {taken.File("k.bin")};
    Fetcher f;
    f.engine.SetFileClaims(&claims);
    ASSERT_TRUE(f.Get(http.Url("/file/k.bin"), taken.File("k.bin"))) << f.Error();
    EXPECT_EQ(f.engine.SavedAs(), taken.File("k.bin"));
    EXPECT_TRUE(ReadFile(taken.File("k.bin")) == data);
}

// A tmpfs of the test's own, gone with the object; Mounted() false where
// this machine does not let the test mount one.
class SmallTmpfs {
public:
    SmallTmpfs(const std::string& folder, const char* size)
        : m_folder(folder), m_mounted(mount("tmpfs", folder.c_str(), "tmpfs", 0, size) == 0)
    {
    }
    ~SmallTmpfs()
    {
        if (m_mounted) {
            umount2(m_folder.c_str(), MNT_DETACH);
        }
    }
    bool Mounted() const { return m_mounted; }
    bool Grow(const char* size) { return mount("tmpfs", m_folder.c_str(), "tmpfs", MS_REMOUNT, size) == 0; }

private:
    std::string m_folder;
    bool m_mounted;
};

// The disk fills up in the middle: the call fails with the system's reason,
// the record calls present only bytes that are in the file, and once there
// is room again the next call ends with the server's file, byte for byte.
// (A connection's buffer was thrown away on a failed write while the ranges
// counted it: after the space was freed the file was "done" with 48 KiB of
// zeros.) Two ways a disk fills: a small tmpfs, where the test may mount
// one, and a file size limit on the process, where writes fail alike.
TEST_F(SegmentedTest, AFullDiskKeepsTheRecordTrueAndTheResumeExact)
{
    const std::string big = test::RandomBytes(16 * kMiB, 23);
    WriteFile(www.File("big.bin"), big);
    test::FaultServer http(www.Path());
    const std::string url = http.Url("/file/big.bin?rate=16000000");
    for (const bool tmpfs : {false, true}) {
        SCOPED_TRACE(tmpfs ? "a full tmpfs" : "a file size limit");
        TempDir folder;
        std::optional<SmallTmpfs> small;
        if (tmpfs && !small.emplace(folder.Path(), "size=6m").Mounted()) {
            continue;  // the size limit stands for it here
        }
        const std::string target = folder.File("big.bin");
        // A large auto-save step: many pieces gather before a write fails.
        std::vector<std::string> first = {DROMO_FETCH, "--quiet", "--connections", "4", "--autosave",
                                          "1024",      url,       target};
        if (!tmpfs) {
            first.insert(first.begin(), {"prlimit", "--fsize=" + std::to_string(6 * kMiB)});
        }
        std::string output;
        EXPECT_EQ(test::RunCommand(first, &output), 1) << output;
        EXPECT_NE(output.find("Error writing " + target + "+++: "), std::string::npos) << output;
        const RecordCheck check = CheckRecord(target + "+++", big);
        EXPECT_GE(check.recorded, 0) << "the ranges are kept";
        EXPECT_EQ(check.wrong, 0) << "the record calls present bytes that are not in the file";
        if (small) {
            ASSERT_TRUE(small->Grow("size=64m"));
        }
        EXPECT_EQ(test::RunCommand({DROMO_FETCH, "--quiet", "--connections", "4", url, target}, &output), 0) << output;
        EXPECT_TRUE(ReadFile(target) == big) << "the resumed file is not the server's";
        std::remove(target.c_str());
    }
}

// A server that sends a burst and then nothing: what the burst brought is
// written and recorded while the connections wait, so a kill loses none of
// it. (Records came only with data, and the flush cost rule held them off
// through a burst: 4-5 MB received, 65-82 KB recorded at a kill.)
TEST_F(SegmentedTest, WhatABurstBroughtIsRecordedBeforeTheNextOne)
{
    test::FaultServer http(www.Path());
    constexpr std::int64_t kBurst = 600000;  // each connection's, not a whole number of auto-save steps
    const std::string target = out.File("burst.bin");
    const std::string url = http.Url("/file/a.bin");
    // 8 MiB over 4 connections, 2 MiB each: they open at once, four bursts.
    constexpr std::int64_t kBursts = 4 * kBurst;
    RecordCheck check;
    {
        test::ChildProcess fetch(
            {DROMO_FETCH, "--quiet", "--connections", "4", url + "?stall=" + std::to_string(kBurst), target});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (std::chrono::steady_clock::now() < deadline) {
            check = CheckRecord(target + "+++", data);
            if (check.recorded == kBursts) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        fetch.Signal(SIGKILL, 5000);
    }
    check = CheckRecord(target + "+++", data);
    EXPECT_EQ(check.recorded, kBursts) << "recorded of what arrived";
    EXPECT_EQ(check.wrong, 0);
    EXPECT_GE(BytesOnDisk(target + "+++", data), kBursts - 4 * 8192);
    std::string output;
    ASSERT_EQ(test::RunCommand({DROMO_FETCH, "--quiet", "--connections", "4", url, target}, &output), 0) << output;
    EXPECT_TRUE(ReadFile(target) == data);
}

// A file split in pieces crosses the network once: the first request asks
// for a range of its own, not the whole file, whose excess was thrown away
// once the others had their shares (3 MiB moved 4.5 to 5 MiB, 2 MiB 3 MiB).
TEST_F(SegmentedTest, TheFileCrossesTheNetworkOnce)
{
    const std::string three = test::RandomBytes(3 * kMiB, 29);
    WriteFile(www.File("three.bin"), three);
    test::FaultServer http(www.Path());
    for (const int connections : {2, 4, 8}) {
        SCOPED_TRACE(std::to_string(connections) + " connections");
        ServerStats(http);
        Fetcher f;
        f.engine.SetConnections(connections);
        ASSERT_TRUE(f.Get(http.Url("/file/three.bin"), out.File("three.bin"))) << f.Error();
        EXPECT_TRUE(ReadFile(out.File("three.bin")) == three);
        const Stats s = ServerStats(http);
        EXPECT_GE(s.ranged, 2) << "split";
        // Once, but for what a connection whose range was halved had in
        // flight when it stopped: on a loaded machine up to a piece. The
        // whole-file first request cost 1.5 to 2 MiB over 2 and 4 connections.
        EXPECT_GE(s.bytes, static_cast<long long>(three.size()));
        EXPECT_LE(s.bytes, static_cast<long long>(three.size() + kMiB));
        std::remove(out.File("three.bin").c_str());
    }
}

}  // namespace
}  // namespace dromo
