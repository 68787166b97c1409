// One file from several mirrors at once: real servers on the loopback that
// serve it (nginx with a cap on each connection, Apache), and mirrors that
// fail (an error, another file, a bad piece), handed to the engine as a
// task's mirrors or to dromo-fetch in a Metalink file with piece digests.

#include <gtest/gtest.h>

#include <sys/xattr.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "base/text/base64.h"
#include "base/text/mirrorlist.h"
#include "engine/segmentplan.h"
#include "tests/engine/enginefixture.h"
#include "tests/support/hexdigest.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Fetcher;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::size_t kMiB = 1 << 20;

std::vector<std::string> StatusTexts(test::RecordingSink& sink)
{
    std::vector<std::string> texts;
    for (const auto& e : sink.OfKind(ProgressKind::Status)) {
        texts.push_back(e.text.substr(std::min<std::size_t>(9, e.text.size())));  // without the time
    }
    return texts;
}

bool Said(const std::vector<std::string>& texts, const std::string& start)
{
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.rfind(start, 0) == 0; });
}

int Answers(const std::vector<std::string>& requests, const std::string& status)
{
    return static_cast<int>(std::count_if(requests.begin(), requests.end(), [&](const std::string& line) {
        return line.size() > status.size() && line.compare(line.size() - status.size(), status.size(), status) == 0;
    }));
}

// The file's bytes a fault server has sent since it started.
std::int64_t BytesSent(const test::FaultServer& server)
{
    TempDir dir;
    Fetcher f;
    EXPECT_TRUE(f.Get(server.Url("/stats"), dir.File("stats"))) << f.Error();
    const std::string stats = ReadFile(dir.File("stats"));
    const std::size_t at = stats.find("bytes ");
    return at == std::string::npos ? -1 : std::stoll(stats.substr(at + 6));
}

class MirrorsTest : public ::testing::Test {
protected:
    TempDir www;
    TempDir elsewhere;
    TempDir out;
    std::string data = test::RandomBytes(16 * kMiB, 51);

    void SetUp() override
    {
        WriteFile(www.File("a.bin"), data);
        WriteFile(elsewhere.File("a.bin"), test::RandomBytes(16 * kMiB + 1000, 52));  // another file of the name
    }
};

TEST_F(MirrorsTest, RangesComeFromEveryMirrorAndTheFailingOnesAreLeft)
{
    // Every mirror capped, so that the task finds more connections worth
    // opening and each mirror gets one before any gets two.
    test::Nginx nginx(www.Path(), "limit_rate 1m;");
    test::Apache apache(www.Path(), "SetOutputFilter RATE_LIMIT\nSetEnv rate-limit 1024\n");
    test::FaultServer missing(www.Path());
    test::FaultServer other(elsewhere.Path());
    MirrorList mirrors;
    mirrors.Add({nginx.Url("/a.bin"), 1, "de"});
    mirrors.Add({apache.Url("/a.bin"), 2, ""});
    mirrors.Add({missing.Url("/file/gone.bin"), 3, ""});
    mirrors.Add({other.Url("/file/a.bin"), 4, ""});
    Fetcher f;
    f.engine.SetConnections(4);
    f.engine.SetMirrors(mirrors);
    ASSERT_TRUE(f.Get(nginx.Url("/a.bin"), out.File("a.bin"))) << f.Error();
    EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
    const std::vector<std::string> texts = StatusTexts(f.sink);
    EXPECT_TRUE(Said(texts, "Leaving the mirror " + missing.Url("/file/gone.bin") + ": Error 404 from server"));
    EXPECT_TRUE(Said(texts, "Leaving the mirror " + other.Url("/file/a.bin") + ": a file of 16778216 bytes"));
    EXPECT_GE(Answers(apache.Requests(), " 206"), 1) << "Apache gave ranges beside the first mirror";
}

// The raw bytes a hex digest stands for.
std::string DigestBytes(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

// A task that brought no mirrors: the ones its first server names for the
// file (Link: rel=duplicate) give ranges in the same call, but only when a
// digest checks the file (the task's checksum, or the server's
// Repr-Digest): one of them sends other bytes of the same size, and with no
// digest it is never asked, since nothing would tell its bytes from the
// file's.
TEST_F(MirrorsTest, TheMirrorsTheFirstServerNamesGiveRangesOnlyWhenADigestChecksThem)
{
    WriteFile(elsewhere.File("same-size.bin"), test::RandomBytes(data.size(), 53));
    test::Apache wrong(elsewhere.Path());
    test::FaultServer right(www.Path());
    const std::string link = "add_header Link '<" + wrong.Url("/same-size.bin") + ">; rel=duplicate, <" +
                             right.Url("/file/a.bin") + ">; rel=duplicate';";
    const std::string sum = test::HexDigest(data);
    const struct {
        const char* what;
        std::string serverDigest;  // nginx's header, if any
        std::string checksum;      // the task's, if any
        bool used;
    } cases[] = {
        {"no digest", "", "", false},
        {"the task's checksum", "", "sha-256=" + sum, true},
        {"the server's Repr-Digest", "add_header Repr-Digest 'sha-256=:" + Base64Encode(DigestBytes(sum)) + ":';", "",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::Nginx nginx(www.Path(), "limit_rate 1m; " + link + c.serverDigest);
        const std::int64_t rightBefore = BytesSent(right);
        const int wrongBefore = Answers(wrong.Requests(), " 206");
        TempDir dir;
        Fetcher f;
        f.engine.SetConnections(4);
        if (!c.checksum.empty()) {
            f.engine.SetExpectedDigests(c.checksum);
        }
        ASSERT_TRUE(f.Get(nginx.Url("/a.bin"), dir.File("a.bin"))) << f.Error();
        EXPECT_TRUE(ReadFile(dir.File("a.bin")) == data);
        const std::vector<std::string> texts = StatusTexts(f.sink);
        EXPECT_EQ(Said(texts, "The server names 2 mirrors of the file; none is used"), !c.used);
        EXPECT_EQ(f.engine.AnnouncedMirrors().Empty(), !c.used) << "the task keeps only mirrors it may use";
        EXPECT_EQ(Answers(wrong.Requests(), " 206") > wrongBefore, c.used);
        EXPECT_EQ(BytesSent(right) > rightBefore, c.used);
        if (c.used) {
            EXPECT_EQ(f.engine.Verified(), "SHA-256");
            EXPECT_TRUE(Said(texts, "Leaving the mirror " + wrong.Url("/same-size.bin") + ": its bytes"));
        }
    }
}

// The task's own URL is dead (an error answer, or a port nobody listens
// on), whatever the number of connections: the engine leaves it, says so,
// and the other mirrors carry the file in the same call.
TEST_F(MirrorsTest, ADeadLeadingMirrorIsLeftAndTheOthersCarryTheFile)
{
    test::Nginx nginx(www.Path());
    test::Apache apache(www.Path());
    test::FaultServer missing(www.Path());
    const struct {
        const char* what;
        std::string url;
        const char* why;
    } deads[] = {
        {"404", missing.Url("/file/gone.bin"), "Error 404 from server"},
        {"closed port", "http://127.0.0.1:" + std::to_string(test::FreePort()) + "/a.bin", "Fail to connect to"},
    };
    for (const auto& dead : deads) {
        for (const int connections : {1, 4}) {
            SCOPED_TRACE(std::string(dead.what) + ", " + std::to_string(connections) + " connections");
            MirrorList mirrors;
            mirrors.Add({dead.url, 1, ""});
            mirrors.Add({nginx.Url("/a.bin"), 2, ""});
            mirrors.Add({apache.Url("/a.bin"), 3, ""});
            TempDir dir;
            Fetcher f;
            f.engine.SetConnections(connections);
            f.engine.SetMirrors(mirrors);
            ASSERT_TRUE(f.Get(dead.url, dir.File("a.bin"))) << f.Error();
            EXPECT_EQ(f.engine.Outcome(), TransferOutcome::Completed);
            EXPECT_TRUE(ReadFile(dir.File("a.bin")) == data);
            EXPECT_TRUE(Said(StatusTexts(f.sink), "Leaving the mirror " + dead.url + ": " + dead.why));
        }
    }
}

// The most wanted mirror is an FTP server, which moves the file over one
// connection: the HTTP mirrors lead and give the ranges side by side, and
// the FTP one leads only when they are all left.
TEST_F(MirrorsTest, AnFtpMostWantedMirrorLetsTheHttpOnesShareTheRanges)
{
    test::FtpServer ftp(www.Path());
    test::Nginx nginx(www.Path(), "limit_rate 1m;");
    test::Apache apache(www.Path(), "SetOutputFilter RATE_LIMIT\nSetEnv rate-limit 1024\n");
    test::FaultServer missing(www.Path());
    const struct {
        const char* what;
        std::vector<std::string> http;
        bool apacheRanges;  // Apache gave ranges beside nginx
    } cases[] = {
        {"two HTTP mirrors", {nginx.Url("/a.bin"), apache.Url("/a.bin?case=two")}, true},
        {"the HTTP mirror gone: FTP carries it", {missing.Url("/file/gone.bin")}, false},
    };
    // Apache logs a request once it ends, so a row's ranges may be logged
    // while the next row runs: its requests are told by their query.
    const auto ranges = [&apache](const std::string& tag) {
        std::vector<std::string> own;
        for (const std::string& line : apache.Requests()) {
            if (line.find(tag) != std::string::npos) {
                own.push_back(line);
            }
        }
        return Answers(own, " 206");
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MirrorList mirrors;
        mirrors.Add({ftp.Url("/a.bin"), 1, ""});
        for (std::size_t i = 0; i < c.http.size(); ++i) {
            mirrors.Add({c.http[i], static_cast<int>(i) + 2, ""});
        }
        TempDir dir;
        Fetcher f;
        f.engine.SetConnections(4);
        f.engine.SetMirrors(mirrors);
        ASSERT_TRUE(f.Get(ftp.Url("/a.bin"), dir.File("a.bin"))) << f.Error();
        EXPECT_TRUE(ReadFile(dir.File("a.bin")) == data);
        if (c.apacheRanges) {
            EXPECT_GE(ranges("?case=two"), 1) << "Apache gave ranges beside nginx";
        }
    }
}

// Every mirror dead: the call fails once, with the failure another try may
// get past (a refused port) before a final one (a 404 of one mirror).
TEST_F(MirrorsTest, WhenEveryMirrorIsDeadTheCallFailsAsTheOneThatMayComeBack)
{
    test::FaultServer missing(www.Path());
    const std::string closed = "http://127.0.0.1:" + std::to_string(test::FreePort()) + "/a.bin";
    MirrorList mirrors;
    mirrors.Add({missing.Url("/file/gone.bin"), 1, ""});
    mirrors.Add({closed, 2, ""});
    Fetcher f;
    f.engine.SetMirrors(mirrors);
    EXPECT_FALSE(f.Get(missing.Url("/file/gone.bin"), out.File("a.bin")));
    EXPECT_EQ(f.engine.Outcome(), TransferOutcome::Failed) << f.Error();
    EXPECT_EQ(f.Error().rfind("Fail to connect to", 0), 0u) << f.Error();
    EXPECT_NE(f.Error().find("none of the 2 mirrors gives the file"), std::string::npos) << f.Error();
    EXPECT_FALSE(test::Exists(out.File("a.bin")));
}

constexpr std::int64_t kPiece = 1 << 20;

// A version 4 document for the file with its SHA-256, its pieces' digests
// (unless `pieces` is off) and the mirrors (URL, priority).
std::string Meta4(const std::string& data, const std::vector<std::pair<std::string, int>>& mirrors, bool pieces = true)
{
    std::string doc =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<metalink xmlns=\"urn:ietf:params:xml:ns:metalink\">\n<file name=\"a.bin\">\n<size>" +
        std::to_string(data.size()) + "</size>\n<hash type=\"sha-256\">" + test::HexDigest(data) + "</hash>\n";
    if (pieces) {
        doc += "<pieces length=\"" + std::to_string(kPiece) + "\" type=\"sha-256\">\n";
        for (std::size_t at = 0; at < data.size(); at += kPiece) {
            doc += "<hash>" + test::HexDigest(data.substr(at, kPiece)) + "</hash>\n";
        }
        doc += "</pieces>\n";
    }
    for (const auto& [url, priority] : mirrors) {
        doc += "<url priority=\"" + std::to_string(priority) + "\">" + url + "</url>\n";
    }
    return doc + "</file>\n</metalink>\n";
}

// The four mirrors of the file: nginx capped at 1 MB/s a connection
// (leading), Apache, a server whose every answer holds one wrong byte (so
// one piece of whatever it sends is bad), and one that answers 404.
// `slow` caps the others too, so a download lasts long enough to be killed.
struct FourMirrors {
    test::Nginx nginx;
    test::Apache apache;
    test::FaultServer faulty;
    test::FaultServer missing;
    std::string corrupt;

    FourMirrors(const std::string& root, bool slow)
        : nginx(root, "limit_rate 1m;"),
          apache(root, slow ? "SetOutputFilter RATE_LIMIT\nSetEnv rate-limit 1024\n" : ""), faulty(root), missing(root),
          corrupt(faulty.Url(std::string("/file/a.bin?corruptat=1000") + (slow ? "&amp;rate=1000000" : "")))
    {
    }
    std::vector<std::pair<std::string, int>> List() const
    {
        return {{nginx.Url("/a.bin"), 1}, {apache.Url("/a.bin"), 2}, {corrupt, 3}, {missing.Url("/file/gone.bin"), 4}};
    }
};

TEST_F(MirrorsTest, ABadPieceIsFetchedAgainElsewhereAndItsMirrorLeft)
{
    FourMirrors four(www.Path(), false);
    WriteFile(out.File("a.meta4"), Meta4(data, four.List()));
    std::string output;
    // No --connections: a Metalink's file takes one connection a mirror.
    ASSERT_EQ(test::RunCommand({DROMO_FETCH, "--quiet", "--metalink", out.File("a.meta4"), out.File("a.bin")}, &output),
              0)
        << output;
    EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
    const std::string corrupt = four.faulty.Url("/file/a.bin?corruptat=1000");
    EXPECT_NE(output.find("Leaving the mirror " + corrupt + ": piece "), std::string::npos) << output;
    EXPECT_NE(output.find("Leaving the mirror " + four.missing.Url("/file/gone.bin") + ": Error 404"),
              std::string::npos)
        << output;
    EXPECT_EQ(output.find("downloading it again from zero"), std::string::npos) << "the bad piece alone came again";
    EXPECT_NE(output.find("Verified SHA-256"), std::string::npos) << output;
}

// dromo-fetch goes the engine's one way: the Metalink's most wanted mirror
// is dead, the engine leaves it and the others carry the file.
TEST_F(MirrorsTest, DromoFetchLeavesADeadLeadingMirrorAsTheEngineDoes)
{
    test::Nginx nginx(www.Path());
    test::Apache apache(www.Path());
    test::FaultServer missing(www.Path());
    const std::string closed = "http://127.0.0.1:" + std::to_string(test::FreePort()) + "/a.bin";
    for (const std::string& dead : {missing.Url("/file/gone.bin"), closed}) {
        for (const char* connections : {"1", "4"}) {
            SCOPED_TRACE(dead + ", " + connections + " connections");
            TempDir dir;
            WriteFile(dir.File("a.meta4"),
                      Meta4(data, {{dead, 1}, {nginx.Url("/a.bin"), 2}, {apache.Url("/a.bin"), 3}}));
            std::string output;
            ASSERT_EQ(test::RunCommand({DROMO_FETCH, "--quiet", "--connections", connections, "--metalink",
                                        dir.File("a.meta4"), dir.File("a.bin")},
                                       &output),
                      0)
                << output;
            EXPECT_TRUE(ReadFile(dir.File("a.bin")) == data);
            EXPECT_NE(output.find("Leaving the mirror " + dead + ": "), std::string::npos) << output;
            EXPECT_NE(output.find("Verified SHA-256"), std::string::npos) << output;
        }
    }
}

// The whole file's hash alone, and one of three mirrors spoils a byte of
// every answer: the file fails its hash once, the mirrors' bytes are
// compared (a little of each first), the spoiling one is named and left,
// its bytes come again from the others and the file is verified, far from
// a second whole download. Through the engine and through dromo-fetch.
TEST_F(MirrorsTest, AWholeFileHashAloneFindsTheMirrorThatSpoilsItsBytes)
{
    for (const bool fetchProgram : {false, true}) {
        SCOPED_TRACE(fetchProgram ? "dromo-fetch" : "engine");
        test::FaultServer first(www.Path());
        test::FaultServer spoiling(www.Path());
        test::FaultServer second(www.Path());
        const std::string bad = spoiling.Url("/file/a.bin?corruptat=1000");
        const std::vector<std::pair<std::string, int>> list = {
            {first.Url("/file/a.bin"), 1}, {bad, 2}, {second.Url("/file/a.bin"), 3}};
        TempDir dir;
        std::string said;
        if (fetchProgram) {
            WriteFile(dir.File("a.meta4"), Meta4(data, list, false));
            ASSERT_EQ(
                test::RunCommand({DROMO_FETCH, "--quiet", "--metalink", dir.File("a.meta4"), dir.File("a.bin")}, &said),
                0)
                << said;
        } else {
            MirrorList mirrors;
            for (const auto& [url, priority] : list) {
                mirrors.Add({url, priority, ""});
            }
            Fetcher f;
            f.engine.SetConnections(3);
            f.engine.SetMirrors(mirrors);
            f.engine.SetExpectedDigests("sha-256=" + test::HexDigest(data));
            ASSERT_TRUE(f.Get(first.Url("/file/a.bin"), dir.File("a.bin"))) << f.Error();
            EXPECT_EQ(f.engine.Verified(), "SHA-256");
            // What the engine took in: the file, the bytes compared and the
            // spoiling mirror's share again.
            EXPECT_LT(f.ownHosts.Bytes(), static_cast<std::int64_t>(data.size()) * 3 / 2);
            for (const std::string& text : StatusTexts(f.sink)) {
                said += text + "\n";
            }
        }
        EXPECT_TRUE(ReadFile(dir.File("a.bin")) == data);
        EXPECT_NE(said.find("Leaving the mirror " + bad + ": its bytes "), std::string::npos) << said;
        EXPECT_EQ(said.find("Leaving the mirror " + first.Url("")), std::string::npos) << said;
        EXPECT_EQ(said.find("Leaving the mirror " + second.Url("")), std::string::npos) << said;
        EXPECT_EQ(said.find("downloading it again from zero"), std::string::npos) << said;
        // What the servers sent, with what a cut range left in the sockets.
        const std::int64_t sent = BytesSent(first) + BytesSent(spoiling) + BytesSent(second);
        EXPECT_LT(sent, static_cast<std::int64_t>(data.size()) * 2) << "bytes sent for a file of " << data.size();
    }
}

// A mirror that trickles a byte a second (a slowloris, with a login in its
// URL) beside two fast ones, the most wanted or not, with piece digests or
// the whole file's hash alone: once no range is left to halve, the range it
// holds goes to a free connection of another mirror (the end-game) and the
// mirror is left, named without its login, instead of holding the download
// until it gives up. The trace says whose range was taken.
TEST_F(MirrorsTest, ATricklingMirrorIsLeftAndItsRangeTakenOver)
{
    test::FaultServer good(www.Path());
    test::FaultServer slow(www.Path());
    const std::string fast = good.Url("/file/a.bin?rate=4000000");
    const std::string shown = slow.Url("/file/a.bin?trickle=1&auth=alice:secret");
    const std::string trickle = "http://alice:secret@" + shown.substr(std::string("http://").size());
    const auto inXml = [](std::string url) {
        for (std::size_t at = url.find('&'); at != std::string::npos; at = url.find('&', at + 1)) {
            url.replace(at, 1, "&amp;");
        }
        return url;
    };
    const struct {
        const char* what;
        bool leads;
        bool pieces;
    } cases[] = {
        {"second, with piece digests", false, true},
        {"most wanted, the whole file's hash alone", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::pair<std::string, int>> list = {
            {inXml(fast), 1}, {inXml(trickle), 2}, {inXml(fast + "&x=3"), 3}};
        if (c.leads) {
            std::swap(list[0].second, list[1].second);
        }
        TempDir dir;
        WriteFile(dir.File("a.meta4"), Meta4(data, list, c.pieces));
        std::string said;
        ASSERT_EQ(test::RunCommand(
                      {DROMO_FETCH, "--quiet", "--trace", "--metalink", dir.File("a.meta4"), dir.File("a.bin")}, &said),
                  0)
            << said;
        EXPECT_TRUE(ReadFile(dir.File("a.bin")) == data);
        EXPECT_NE(said.find("Verified SHA-256"), std::string::npos) << said;
        EXPECT_NE(said.find(" taken from 127.0.0.1:" + std::to_string(slow.Port()) + ": it brings "), std::string::npos)
            << said;
        EXPECT_NE(said.find("Leaving the mirror " + shown + ": it brings "), std::string::npos) << said;
        EXPECT_EQ(said.find("alice:secret@"), std::string::npos) << "the login is never shown";
    }
}

// Mirrors slower than the others, but not trickling, beside two fast ones
// (the file's hash and its piece digests in the Metalink): one at a tenth
// of their speed has the range it holds cut once nothing is left to halve,
// and the rest goes to another mirror, not back to it; it stays in use.
// One that pauses in each answer for half the end-game's window, while the
// others are done, is neither cut nor left: it is judged over the whole
// window (with a window a third as long, it was left every time). The file
// is the server's either way (a cut connection that wrote past its cut, or
// a range lost between two, would fail the hash).
TEST_F(MirrorsTest, AMirrorFarBehindHasItsRangeCutAndOneSlowBrieflyIsKept)
{
    test::FaultServer good(www.Path());
    test::FaultServer slow(www.Path());
    // Slow enough that the last MiB a connection keeps takes it longer
    // than the window, with two connections a mirror; at a tenth of the
    // others, between a quarter (cut) and a sixteenth (left).
    const std::string fast = good.Url("/file/a.bin?rate=1600000");
    const std::string port = "127.0.0.1:" + std::to_string(slow.Port());
    const struct {
        const char* what;
        std::string query;
        bool cut;
        std::int64_t share;  // it sends at least this much of the file
    } cases[] = {
        {"a tenth of their speed", "rate=160000", true, 256 * 1024},
        {"a pause of 1.5 s in each answer", "rate=1600000&amp;pause=1048576,1.5", false, 2 * kPiece},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string behind = slow.Url("/file/a.bin?" + c.query);  // as the Metalink writes it
        const std::int64_t sentBefore = BytesSent(slow);
        TempDir dir;
        WriteFile(dir.File("a.meta4"), Meta4(data, {{fast, 1}, {behind, 2}, {fast + "&amp;x=3", 3}}));
        std::string said;
        ASSERT_EQ(test::RunCommand({DROMO_FETCH, "--quiet", "--trace", "--connections", "6", "--metalink",
                                    dir.File("a.meta4"), dir.File("a.bin")},
                                   &said),
                  0)
            << said;
        EXPECT_TRUE(ReadFile(dir.File("a.bin")) == data);
        EXPECT_NE(said.find("Verified SHA-256"), std::string::npos) << said;
        EXPECT_EQ(said.find("Leaving the mirror"), std::string::npos) << said;
        EXPECT_EQ(said.find("does not match"), std::string::npos) << said;
        EXPECT_GE(BytesSent(slow) - sentBefore, c.share) << "it carried a share";
        const std::size_t taken = said.find(" taken from " + port + ": it brings ");
        EXPECT_EQ(taken != std::string::npos, c.cut) << said;
        if (taken != std::string::npos) {
            // "range A-B taken from ...": A-B is opened to the fast mirrors' server.
            const std::size_t from = said.rfind("range ", taken);
            const std::string range = said.substr(from, taken - from);
            EXPECT_NE(said.find(range + " opened to 127.0.0.1:" + std::to_string(good.Port()), taken),
                      std::string::npos)
                << said;
            EXPECT_EQ(said.find(range + " opened to " + port, taken), std::string::npos) << said;
        }
    }
}

// A hash that no mirror's file has: every byte is compared once, they all
// agree, and the call fails for good at once instead of fetching the file
// again from zero.
TEST_F(MirrorsTest, AHashNoMirrorsFileHasFailsOnceEveryByteAgrees)
{
    test::FaultServer first(www.Path());
    test::FaultServer second(www.Path());
    MirrorList mirrors;
    mirrors.Add({first.Url("/file/a.bin"), 1, ""});
    mirrors.Add({second.Url("/file/a.bin"), 2, ""});
    Fetcher f;
    f.engine.SetConnections(2);
    f.engine.SetMirrors(mirrors);
    f.engine.SetExpectedDigests("sha-256=" + test::HexDigest("another file"));
    EXPECT_FALSE(f.Get(first.Url("/file/a.bin"), out.File("a.bin")));
    EXPECT_EQ(f.engine.Outcome(), TransferOutcome::ChecksumMismatch) << f.Error();
    EXPECT_EQ(f.Error(), "Fail - the file does not match its SHA-256 checksum; its mirrors all give the same bytes");
    const std::vector<std::string> texts = StatusTexts(f.sink);
    EXPECT_FALSE(Said(texts, "Leaving the mirror")) << "no mirror is to blame";
    EXPECT_FALSE(Said(texts, "The file does not match its SHA-256 checksum: downloading it again from zero"));
    EXPECT_LT(f.ownHosts.Bytes(), static_cast<std::int64_t>(data.size()) * 21 / 10) << "the file and one comparison";
    EXPECT_TRUE(ReadFile(out.File("a.bin+++")) == data) << "the partial file stays";
}

std::string Attribute(const std::string& path, const char* name)
{
    char value[16384];
    const ssize_t n = ::getxattr(path.c_str(), name, value, sizeof value);
    return n > 0 ? std::string(value, static_cast<std::size_t>(n)) : std::string();
}

// Whole pieces the stored ranges call present that do not hold the file's
// bytes: none, ever, beside the mark that they were checked.
int BadPresentPieces(const std::string& partial, const std::string& source, std::int64_t& present)
{
    const auto plan = SegmentPlan::Parse(Attribute(partial, "user.dromo.ranges"));
    present = plan ? plan->Present() : -1;
    if (!plan) {
        return 0;
    }
    const std::string held = ReadFile(partial);
    int bad = 0;
    for (std::int64_t at = 0; at < plan->Total(); at += kPiece) {
        const std::int64_t end = std::min<std::int64_t>(at + kPiece, plan->Total());
        if (plan->Holds(at, end) &&
            held.compare(static_cast<std::size_t>(at), static_cast<std::size_t>(end - at), source,
                         static_cast<std::size_t>(at), static_cast<std::size_t>(end - at)) != 0) {
            ++bad;
        }
    }
    return bad;
}

// dromo-fetch killed (SIGKILL: nothing saved on the way out) ten times at
// random moments of a download over the four mirrors, each run resuming
// the last; then one to the end: byte-exact, the pieces checked before a
// kill never fetched or read again. Also with a dead most wanted mirror,
// which every run leaves before the others carry on.
TEST_F(MirrorsTest, KilledTenTimesAtRandomMomentsAndResumedByteExact)
{
    FourMirrors four(www.Path(), true);
    const std::string closed = "http://127.0.0.1:" + std::to_string(test::FreePort()) + "/a.bin";
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    for (const bool deadFirst : {false, true}) {
        SCOPED_TRACE(deadFirst ? "a dead most wanted mirror" : "four mirrors");
        TempDir dir;
        std::vector<std::pair<std::string, int>> list = four.List();
        if (deadFirst) {
            list.insert(list.begin(), {closed, 1});  // before the other most wanted one
        }
        WriteFile(dir.File("a.meta4"), Meta4(data, list));
        const std::string target = dir.File("a.bin");
        const std::vector<std::string> fetch = {DROMO_FETCH,  "--quiet",           "--connections", "4",
                                                "--metalink", dir.File("a.meta4"), target};
        std::int64_t present = -1;
        for (int kill = 0; kill < 10; ++kill) {
            test::ChildProcess child(fetch);
            std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(50, 700)(random)));
            child.Signal(SIGKILL, 5000);
            EXPECT_EQ(BadPresentPieces(target + "+++", data, present), 0) << "after kill " << kill;
            if (test::Exists(target)) {
                break;  // it ended before the kill
            }
        }
        const bool checked = Attribute(target + "+++", "user.dromo.pieces").rfind("pieces 1 ", 0) == 0;
        std::string output;
        ASSERT_EQ(test::RunCommand(fetch, &output), 0) << output;
        EXPECT_TRUE(ReadFile(target) == data);
        EXPECT_EQ(output.find("downloading it again from zero"), std::string::npos) << output;
        EXPECT_EQ(output.find("Leaving the mirror " + closed) != std::string::npos, deadFirst) << output;
        if (present > 0 && checked) {
            long long start = -1;
            std::sscanf(output.substr(output.find("\n3 ") + 1).c_str(), "3 %lld", &start);
            EXPECT_EQ(start, present) << "the checked pieces stay: " << output;
        }
    }
}

// Bytes of a piece that an earlier run kept are nobody's in this one: when
// the piece they began fails its digest, it comes again whole, and the
// mirror that only finished it is not left for bytes another one sent
// before the run was killed.
TEST_F(MirrorsTest, APieceBegunBeforeARestartFailsWithoutBlamingTheMirrorThatEndedIt)
{
    test::Nginx nginx(www.Path());
    test::Apache apache(www.Path());
    for (const char* connections : {"1", "4"}) {
        SCOPED_TRACE(std::string(connections) + " connections");
        TempDir dir;
        const std::string target = dir.File("a.bin");
        // Three whole pieces and half of the fourth on disk, a byte of that
        // half wrong, as a spoiling mirror had left it.
        const std::int64_t kept = 3 * kPiece + kPiece / 2;
        std::string held = data.substr(0, static_cast<std::size_t>(kept));
        held[static_cast<std::size_t>(3 * kPiece + 1000)] ^= 0x5a;
        WriteFile(target + "+++", held);
        const std::string ranges = "ranges 1 " + std::to_string(data.size()) + "\n" + std::to_string(kept) + "-" +
                                   std::to_string(data.size()) + "\n";
        ASSERT_EQ(::setxattr((target + "+++").c_str(), "user.dromo.ranges", ranges.data(), ranges.size(), 0), 0);
        WriteFile(dir.File("a.meta4"), Meta4(data, {{nginx.Url("/a.bin"), 1}, {apache.Url("/a.bin"), 2}}));
        std::string output;
        ASSERT_EQ(test::RunCommand(
                      {DROMO_FETCH, "--connections", connections, "--metalink", dir.File("a.meta4"), target}, &output),
                  0)
            << output;
        EXPECT_TRUE(ReadFile(target) == data);
        EXPECT_EQ(output.find("Leaving the mirror"), std::string::npos) << output;
        EXPECT_EQ(output.find("downloading it again from zero"), std::string::npos) << output;
    }
}

}  // namespace
}  // namespace dromo
