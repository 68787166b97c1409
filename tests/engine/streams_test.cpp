// Video streams recorded as one file: streams made by ffmpeg from its
// synthetic sources at test time, served on the loopback, recorded through
// dromo-fetch or the engine, and the result read back by ffprobe and
// decoded whole by ffmpeg.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/engine/enginefixture.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::ReadFile;
using test::RunCommand;
using test::TempDir;
using test::WriteFile;

namespace fs = std::filesystem;

// Every stream is 8 seconds of a 25 frames-per-second picture and a tone.
constexpr double kSeconds = 8;
constexpr int kFrames = 200;
constexpr double kSegmentSeconds = 2;

std::vector<std::string> Sources(const std::string& size, double seconds)
{
    const std::string length = std::to_string(seconds);
    return {"ffmpeg", "-v",    "error", "-y",         "-f", "lavfi", "-i",   "testsrc=size=" + size + ":rate=25",
            "-f",     "lavfi", "-i",    "sine=f=440", "-t", length,  "-c:v", "libx264",
            "-g",     "25",    "-c:a",  "aac"};
}

// Runs ffmpeg with the sources followed by `output`; false with its words.
void Ffmpeg(std::vector<std::string> argv, const std::vector<std::string>& output)
{
    argv.insert(argv.end(), output.begin(), output.end());
    std::string words;
    ASSERT_EQ(RunCommand(argv, &words), 0) << words;
}

std::vector<std::string> Hls(const std::string& folder, std::vector<std::string> extra)
{
    std::vector<std::string> args = {"-f", "hls", "-hls_time", "2", "-hls_playlist_type", "vod"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(folder + "/index.m3u8");
    return args;
}

// The streams of the table test, each in a folder of `root`.
void MakeStreams(const std::string& root)
{
    for (const char* folder : {"ts", "fmp4", "ranges", "aes", "aesseq", "multi", "dash"}) {
        fs::create_directories(root + "/" + folder);
    }
    const auto small = Sources("320x240", kSeconds);
    Ffmpeg(small, Hls(root + "/ts", {"-hls_segment_filename", root + "/ts/s%03d.ts"}));
    Ffmpeg(small, Hls(root + "/fmp4", {"-hls_segment_type", "fmp4", "-hls_fmp4_init_filename", "init.mp4",
                                       "-hls_segment_filename", root + "/fmp4/s%03d.m4s"}));
    Ffmpeg(small, Hls(root + "/ranges", {"-hls_flags", "single_file"}));
    // AES-128 with the IV in the tag, and with the sequence number for IV.
    WriteFile(root + "/key.bin", test::RandomBytes(16, 38));
    WriteFile(root + "/aes.info", "../key.bin\n" + root + "/key.bin\n00112233445566778899aabbccddeeff\n");
    WriteFile(root + "/aesseq.info", "../key.bin\n" + root + "/key.bin\n");
    Ffmpeg(small, Hls(root + "/aes",
                      {"-hls_key_info_file", root + "/aes.info", "-hls_segment_filename", root + "/aes/s%03d.ts"}));
    Ffmpeg(small, Hls(root + "/aesseq", {"-hls_key_info_file", root + "/aesseq.info", "-hls_segment_filename",
                                         root + "/aesseq/s%03d.ts"}));
    // Two variants of video alone and one audio rendition both share.
    std::vector<std::string> two = Sources("640x360", kSeconds);
    two.insert(two.end(), {"-filter_complex", "[0:v]split=2[a][b];[b]scale=320:180[c]", "-map", "[a]", "-map", "[c]",
                           "-map", "1:a", "-b:v:0", "800k", "-b:v:1", "200k"});
    Ffmpeg(two, {"-f", "hls", "-hls_time", "2", "-hls_playlist_type", "vod", "-master_pl_name", "master.m3u8",
                 "-var_stream_map", "v:0,agroup:aud v:1,agroup:aud a:0,agroup:aud", "-hls_segment_filename",
                 root + "/multi/v%v_%03d.ts", root + "/multi/v%v.m3u8"});
    Ffmpeg(small, {"-f", "dash", "-seg_duration", "2", "-use_template", "1", "-use_timeline", "1",
                   root + "/dash/manifest.mpd"});
    // A playlist whose URL names no playlist, served as plain text.
    fs::copy_file(root + "/ts/index.m3u8", root + "/ts/watch");
}

// What ffprobe finds in a file.
struct Probe {
    double seconds = 0;
    int videoStreams = 0;
    int audioStreams = 0;
    int width = 0;
    int frames = 0;
};

// The value of `key` in one of ffprobe's compact lines ("stream|a=1|b=2").
std::string Field(const std::string& line, const std::string& key)
{
    const std::size_t at = line.find("|" + key + "=");
    return at == std::string::npos ? std::string()
                                   : line.substr(at + key.size() + 2, line.find('|', at + 1) - at - key.size() - 2);
}

Probe ProbeFile(const std::string& path)
{
    std::string out;
    Probe p;
    if (RunCommand({"ffprobe", "-v", "error", "-count_packets", "-show_entries",
                    "format=duration:stream=index,codec_type,width,nb_read_packets", "-of", "compact", path},
                   &out, "", false) != 0) {
        return p;
    }
    std::istringstream lines(out);
    std::set<std::string> seen;
    for (std::string line; std::getline(lines, line);) {
        // An MPEG-TS file lists its streams again under its program.
        if (line.rfind("program|", 0) == 0) {
            line.erase(0, 8);
        }
        if (line.rfind("stream|", 0) == 0 && !seen.insert(Field(line, "index")).second) {
            continue;
        }
        if (line.rfind("stream|", 0) == 0 && Field(line, "codec_type") == "video") {
            ++p.videoStreams;
            p.width = std::atoi(Field(line, "width").c_str());
            p.frames = std::atoi(Field(line, "nb_read_packets").c_str());
        } else if (line.rfind("stream|", 0) == 0 && Field(line, "codec_type") == "audio") {
            ++p.audioStreams;
        } else if (line.rfind("format|", 0) == 0) {
            p.seconds = std::atof(Field(line, "duration").c_str());
        }
    }
    return p;
}

// Decoded whole by ffmpeg without one error: "" or its words.
std::string DecodeErrors(const std::string& path)
{
    std::string out;
    const int status = RunCommand({"ffmpeg", "-v", "error", "-i", path, "-f", "null", "-"}, &out);
    return status == 0 ? out : "status " + std::to_string(status) + ": " + out;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class StreamsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_www = new TempDir;
        MakeStreams(s_www->Path());
    }
    static void TearDownTestSuite()
    {
        delete s_www;
        s_www = nullptr;
    }
    static TempDir* s_www;
};
TempDir* StreamsTest::s_www = nullptr;

TEST_F(StreamsTest, EachKindOfStreamBecomesOneFileThatPlays)
{
    ASSERT_FALSE(HasFatalFailure());
    test::Nginx nginx(s_www->Path(),
                      "types { application/vnd.apple.mpegurl m3u8; video/mp2t ts; application/dash+xml mpd; "
                      "text/plain watch; }");
    TempDir out;
    const struct {
        const char* what;
        std::string path;
        std::vector<std::string> options;
        std::string target;  // given to dromo-fetch
        std::string file;    // what comes of it
        int width;
        int audioStreams;
    } cases[] = {
        {"MPEG-TS segments", "/ts/index.m3u8", {}, "ts.mp4", "ts.mp4", 320, 1},
        {"a playlist's name becomes .mp4", "/ts/index.m3u8", {}, "named.m3u8", "named.mp4", 320, 1},
        {"Matroska when named so", "/ts/index.m3u8", {}, "ts.mkv", "ts.mkv", 320, 1},
        {"MPEG-TS when named so", "/ts/index.m3u8", {}, "copy.ts", "copy.ts", 320, 1},
        {"told by its first bytes", "/ts/watch", {}, "watch", "watch.mp4", 320, 1},
        {"fMP4 with EXT-X-MAP", "/fmp4/index.m3u8", {}, "fmp4.mp4", "fmp4.mp4", 320, 1},
        {"byte ranges of one file", "/ranges/index.m3u8", {}, "ranges.mp4", "ranges.mp4", 320, 1},
        {"AES-128 with its IV", "/aes/index.m3u8", {}, "aes.mp4", "aes.mp4", 320, 1},
        {"AES-128, IV by sequence", "/aesseq/index.m3u8", {}, "aesseq.mp4", "aesseq.mp4", 320, 1},
        {"the best variant, audio apart", "/multi/master.m3u8", {}, "best.mp4", "best.mp4", 640, 1},
        {"the variant asked for", "/multi/master.m3u8", {"--variant", "180p"}, "low.mp4", "low.mp4", 320, 1},
        {"the lowest", "/multi/master.m3u8", {"--variant", "lowest"}, "lowest.mp4", "lowest.mp4", 320, 1},
        {"a static DASH manifest", "/dash/manifest.mpd", {}, "dash.mpd", "dash.mp4", 320, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> argv = {DROMO_FETCH, "--quiet", "--connections", "4"};
        argv.insert(argv.end(), c.options.begin(), c.options.end());
        argv.insert(argv.end(), {nginx.Url(c.path), out.File(c.target)});
        std::string output;
        ASSERT_EQ(RunCommand(argv, &output), 0) << output;
        const std::string file = out.File(c.file);
        const Probe p = ProbeFile(file);
        EXPECT_NEAR(p.seconds, kSeconds, kSegmentSeconds) << output;
        EXPECT_EQ(p.videoStreams, 1);
        EXPECT_EQ(p.audioStreams, c.audioStreams);
        EXPECT_EQ(p.width, c.width);
        EXPECT_EQ(p.frames, kFrames);
        EXPECT_EQ(DecodeErrors(file), "");
        EXPECT_FALSE(test::Exists(file + "+++")) << "the partial file stays behind";
    }
}

TEST(Streams, ProtectedOrBrokenStreamsAreRefusedWithTheirReasonAndLeaveNoFile)
{
    TempDir www;
    const std::string head = "#EXTM3U\n#EXT-X-TARGETDURATION:2\n";
    WriteFile(www.File("sample.m3u8"), head + "#EXT-X-KEY:METHOD=SAMPLE-AES,URI=\"k\"\n#EXTINF:2,\na.ts\n");
    WriteFile(www.File("fairplay.m3u8"), head +
                                             "#EXT-X-KEY:METHOD=AES-128,URI=\"skd://k\",KEYFORMAT=\"com.apple."
                                             "streamingkeydelivery\"\n#EXTINF:2,\na.ts\n#EXT-X-ENDLIST\n");
    WriteFile(www.File("cenc.mpd"),
              "<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\" type=\"static\" mediaPresentationDuration=\"PT8S\">"
              "<Period><AdaptationSet mimeType=\"video/mp4\"><ContentProtection "
              "schemeIdUri=\"urn:mpeg:dash:mp4protection:2011\" value=\"cenc\"/><Representation id=\"v\" "
              "bandwidth=\"1000\"><SegmentTemplate media=\"s$Number$.m4s\" duration=\"2\"/></Representation>"
              "</AdaptationSet></Period></MPD>");
    WriteFile(www.File("live.mpd"), "<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\" type=\"dynamic\"><Period/></MPD>");
    WriteFile(www.File("missing.m3u8"), head + "#EXTINF:2,\n/status/404\n#EXT-X-ENDLIST\n");
    WriteFile(www.File("nothing.m3u8"), "#EXTM3U\n#EXT-X-VERSION:3\nthis is no playlist\n");
    test::Nginx nginx(www.Path(), "location /status/404 { return 404; }");
    TempDir out;
    const struct {
        const char* name;
        std::vector<std::string> options;
        int status;
        const char* reason;
    } cases[] = {
        {"sample.m3u8", {}, 1, "SAMPLE-AES"},
        {"fairplay.m3u8", {}, 1, "KEYFORMAT"},
        {"cenc.mpd", {}, 1, "ContentProtection"},
        {"live.mpd", {}, 1, "dynamic"},
        {"missing.m3u8", {}, 1, "404"},
        {"nothing.m3u8", {}, 1, "follows neither EXTINF"},
        {"sample.m3u8", {"--variant", "sharpest"}, 2, "--variant takes best, lowest"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> argv = {DROMO_FETCH, "--quiet"};
        argv.insert(argv.end(), c.options.begin(), c.options.end());
        argv.insert(argv.end(), {nginx.Url(std::string("/") + c.name), out.File(c.name)});
        std::string output;
        EXPECT_EQ(RunCommand(argv, &output), c.status) << output;
        EXPECT_NE(output.find(c.reason), std::string::npos) << output;
        for (const std::string& left : FilesIn(out.Path())) {
            EXPECT_TRUE(left.size() > 3 && left.compare(left.size() - 3, 3, "+++") == 0) << left << " was made";
        }
    }
}

// The task's cookie, referrer and user agent go with the playlists, the
// key and every segment; the segments come over several connections at
// once, one whose connection drops is fetched again alone, and a slow one
// is waited for.
TEST_F(StreamsTest, SegmentsComeInParallelWithTheTasksDetailsAndADroppedOneIsFetchedAgain)
{
    ASSERT_FALSE(HasFatalFailure());
    TempDir www;
    const std::string aes = s_www->Path() + "/aes/";
    for (const std::string& name : FilesIn(aes)) {
        fs::copy_file(aes + name, www.File(name));
    }
    fs::copy_file(s_www->File("key.bin"), www.File("key.bin"));
    std::string playlist = ReadFile(www.File("index.m3u8"));
    playlist.replace(playlist.find("../key.bin"), 10, "key.bin");
    for (const char* segment : {"s000.ts", "s003.ts"}) {
        playlist.replace(playlist.find(segment), 7, std::string(segment) + "?rate=60000");
    }
    playlist.replace(playlist.find("s001.ts"), 7, "s001.ts?dropfirst=1");
    // A slow server: nothing for two seconds in the middle of a segment,
    // well inside the idle time, is waited for, not fetched again.
    playlist.replace(playlist.find("s002.ts"), 7, "s002.ts?pause=1000,2");
    WriteFile(www.File("index.m3u8"), playlist);
    test::FaultServer server(www.Path());
    TempDir out;
    test::Fetcher f;
    f.engine.SetConnections(4);
    f.engine.SetUserAgent("StreamTester/1.0");
    f.engine.SetRequestDetails("session=abc123", server.Url("/page.html"));
    RequestHeads(server);  // from here on
    ASSERT_TRUE(f.Get(server.Url("/file/index.m3u8"), out.File("video.mp4"))) << f.Error();
    EXPECT_EQ(f.engine.FoundStream(), "HLS");
    EXPECT_EQ(DecodeErrors(out.File("video.mp4")), "");
    EXPECT_NEAR(ProbeFile(out.File("video.mp4")).seconds, kSeconds, kSegmentSeconds);

    std::map<std::string, int> asked;
    for (const std::string& head : RequestHeads(server)) {
        const std::string line = head.substr(0, head.find('\r'));
        if (line.find("/heads") != std::string::npos) {
            continue;
        }
        ++asked[line.substr(line.find('/'), line.find('?') == std::string::npos ? line.rfind(' ') - line.find('/')
                                                                                : line.find('?') - line.find('/'))];
        EXPECT_EQ(test::HeaderValues(head, "Cookie"), std::vector<std::string>{"session=abc123"}) << line;
        EXPECT_EQ(test::HeaderValues(head, "Referer"), std::vector<std::string>{server.Url("/page.html")}) << line;
        EXPECT_EQ(test::HeaderValues(head, "User-Agent"), std::vector<std::string>{"StreamTester/1.0"}) << line;
    }
    const std::map<std::string, int> expected = {{"/file/index.m3u8", 1}, {"/file/key.bin", 1}, {"/file/s000.ts", 1},
                                                 {"/file/s001.ts", 2},    {"/file/s002.ts", 1}, {"/file/s003.ts", 1}};
    EXPECT_EQ(asked, expected);
    std::string stats;
    ASSERT_TRUE(f.Get(server.Url("/stats"), out.File("stats"))) << f.Error();
    stats = ReadFile(out.File("stats"));
    const int concurrent = std::atoi(stats.substr(stats.find("concurrent ") + 11).c_str());
    EXPECT_GE(concurrent, 2) << stats;
}

// Over HTTP/2 a recording's segments go as streams of one connection, side
// by side (each held to a slow pace by the server, so streams that were
// asked for together are seen to overlap), and the file is whole.
TEST_F(StreamsTest, OverHttp2TheSegmentsShareOneConnectionAtOnce)
{
    ASSERT_FALSE(HasFatalFailure());
    TempDir keys;
    ASSERT_TRUE(test::MakeTestCa(keys.Path()));
    test::ScopedEnv ca("CURL_CA_BUNDLE", keys.File("ca.pem").c_str());
    test::Nginx nginx(s_www->Path(), "location ~ \\.ts$ { limit_rate 100k; }", keys.File("cert.pem"),
                      keys.File("key.pem"), true);
    TempDir out;
    test::Fetcher f;
    f.engine.SetConnections(4);
    f.engine.SetHttpVersion("2");
    ASSERT_TRUE(f.Get(nginx.Url("/ts/index.m3u8"), out.File("video.mp4"))) << f.Error();
    EXPECT_EQ(DecodeErrors(out.File("video.mp4")), "");
    const std::vector<std::string> names = FilesIn(s_www->Path() + "/ts");
    const auto segments = static_cast<std::size_t>(
        std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.ends_with(".ts"); }));
    const std::vector<test::Nginx::Logged> logged = nginx.Requests(segments + 1, 5000);
    ASSERT_EQ(logged.size(), segments + 1);
    std::set<std::string> connections;
    for (const auto& r : logged) {
        EXPECT_EQ(r.protocol, "HTTP/2.0") << r.uri;
        connections.insert(r.connection);
    }
    EXPECT_EQ(connections.size(), 1U) << "a connection of its own for a stream";
    int overlapping = 0;
    for (std::size_t i = 0; i < logged.size(); ++i) {
        for (std::size_t j = i + 1; j < logged.size(); ++j) {
            const auto& a = logged[i];
            const auto& b = logged[j];
            overlapping += a.end - a.seconds < b.end && b.end - b.seconds < a.end ? 1 : 0;
        }
    }
    EXPECT_GT(overlapping, 0) << "the segments came one after another";
}

// Killed again and again, a recording goes on from the segments it holds:
// the next run fetches none of them again, only those that were on their
// way, and the last makes the same file an unbroken run makes.
TEST(Streams, AKilledRecordingResumesWithoutFetchingAFinishedSegmentAgain)
{
    // Ten one-second segments of 125 kB each (constant bit rate), served
    // slowly enough at "/" for the kill to come while some are on their way;
    // the same files at "/fast/" for the unbroken run.
    TempDir www;
    std::vector<std::string> sources = Sources("320x240", 10);
    sources.insert(sources.end(), {"-b:v", "1M", "-minrate", "1M", "-maxrate", "1M", "-bufsize", "500k", "-x264-params",
                                   "nal-hrd=cbr:force-cfr=1"});
    Ffmpeg(sources, {"-f", "hls", "-hls_time", "1", "-hls_playlist_type", "vod", "-hls_segment_filename",
                     www.File("s%03d.ts"), www.File("index.m3u8")});
    ASSERT_FALSE(HasFatalFailure());
    TempDir logs;
    test::Nginx nginx(www.Path(), "access_log " + logs.File("access.log") + "; location / { limit_rate 50k; } " +
                                      "location /fast/ { alias " + www.Path() + "/; }");
    TempDir out;
    const std::string url = nginx.Url("/index.m3u8");
    std::string output;
    ASSERT_EQ(RunCommand({DROMO_FETCH, "--quiet", nginx.Url("/fast/index.m3u8"), out.File("whole.mp4")}, &output), 0)
        << output;

    const std::string target = out.File("video.mp4");
    constexpr int kConnections = 2;
    constexpr int kKills = 3;
    // Killed three times, each once a few more segments are held.
    for (int held = 2; held <= 2 * kKills; held += 2) {
        test::ChildProcess run({DROMO_FETCH, "--quiet", "--connections", std::to_string(kConnections), url, target});
        for (std::string line;;) {
            line = run.ReadLine(30000);
            ASSERT_FALSE(line.empty()) << "the recording ended or stalled";
            const std::size_t at = line.find("Segment ");
            if (at != std::string::npos && std::atoi(line.c_str() + at + 8) >= held) {
                break;
            }
        }
        run.Signal(SIGKILL, 5000);
    }
    ASSERT_TRUE(test::Exists(target + "+++"));
    ASSERT_EQ(RunCommand({DROMO_FETCH, "--quiet", "--connections", "2", url, target}, &output), 0) << output;
    EXPECT_NE(output.find("segments already here"), std::string::npos) << output;
    EXPECT_TRUE(ReadFile(target) == ReadFile(out.File("whole.mp4"))) << "not the file an unbroken run makes";

    std::map<std::string, int> fetched;
    std::istringstream log(ReadFile(logs.File("access.log")));
    for (std::string line; std::getline(log, line);) {
        const std::size_t get = line.find("\"GET /s");
        if (get != std::string::npos) {
            ++fetched[line.substr(get + 5, line.find(' ', get + 5) - get - 5)];
        }
    }
    EXPECT_EQ(fetched.size(), 10u);
    // Each kill may cost the segments on their way then, no more.
    int again = 0;
    for (const auto& [segment, times] : fetched) {
        EXPECT_LE(times, 1 + kKills) << segment;
        again += times - 1;
    }
    EXPECT_LE(again, kConnections * kKills) << "segments fetched again beyond those on their way";
}

// The highest segment count the engine has said a live recording holds,
// and a wait for it to reach a number.
class LiveCount {
public:
    explicit LiveCount(test::RecordingSink& sink)
    {
        sink.onEvent = [this](const test::Event& e) {
            const std::size_t at = e.text.find("Recording live: ");
            if (at == std::string::npos) {
                return;
            }
            std::lock_guard lock(m_mutex);
            m_held = std::max(m_held, std::atoi(e.text.c_str() + at + 16));
            m_changed.notify_all();
        };
    }
    // False when the recording stays short of `count` for a minute: stalled.
    bool WaitFor(int count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::minutes(1), [&] { return m_held >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_held = 0;
};

// A live playlist (no EXT-X-ENDLIST) grows while it is recorded: each new
// segment is published once the recorder holds all before it, so only its
// reading the playlist again can find it. Stopped by the user, the
// recording is finished, not failed: one file under its own name that
// plays and holds every segment published.
TEST(Streams, AStoppedLiveRecordingBecomesAFileOfEverySegmentPublished)
{
    TempDir www;
    Ffmpeg(Sources("320x240", 6), {"-f", "hls", "-hls_time", "1", "-hls_playlist_type", "vod", "-hls_segment_filename",
                                   www.File("s%03d.ts"), www.File("vod.m3u8")});
    ASSERT_FALSE(HasFatalFailure());
    std::vector<std::string> entries;  // "#EXTINF:...\nsNNN.ts\n" each
    std::istringstream vod(ReadFile(www.File("vod.m3u8")));
    for (std::string line, extinf; std::getline(vod, line);) {
        if (line.rfind("#EXTINF:", 0) == 0) {
            extinf = line;
        } else if (!line.empty() && line[0] != '#') {
            entries.push_back(extinf + "\n" + line + "\n");
        }
    }
    ASSERT_EQ(entries.size(), 6u);
    const auto publish = [&](std::size_t count) {
        std::string playlist = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:1\n#EXT-X-MEDIA-SEQUENCE:0\n";
        for (std::size_t i = 0; i < count; ++i) {
            playlist += entries[i];
        }
        // Whole or not at all, as a server's playlist changes.
        WriteFile(www.File("live.tmp"), playlist);
        fs::rename(www.File("live.tmp"), www.File("live.m3u8"));
    };
    constexpr std::size_t kFirst = 2;
    constexpr std::size_t kPublished = 5;  // one segment of the six is never published
    publish(kFirst);
    TempDir logs;
    test::Nginx nginx(www.Path(), "access_log " + logs.File("access.log") + ";");
    TempDir out;
    test::Fetcher f;
    f.engine.SetConnections(2);
    LiveCount held(f.sink);
    bool ok = false;
    std::thread recording([&] { ok = f.Get(nginx.Url("/live.m3u8"), out.File("live.mp4")); });
    bool reached = held.WaitFor(static_cast<int>(kFirst));
    for (std::size_t count = kFirst + 1; reached && count <= kPublished; ++count) {
        publish(count);
        reached = held.WaitFor(static_cast<int>(count));
    }
    f.engine.Abort();  // the user's Stop
    recording.join();
    ASSERT_TRUE(reached) << "the recording did not take up the segments published";
    ASSERT_TRUE(ok) << f.Error();
    EXPECT_EQ(f.engine.FoundStream(), "HLS");
    const std::string file = out.File("live.mp4");
    EXPECT_FALSE(test::Exists(file + "+++")) << "the partial file stays behind";
    EXPECT_EQ(DecodeErrors(file), "");
    const Probe p = ProbeFile(file);
    EXPECT_NEAR(p.seconds, static_cast<double>(kPublished), 1.0);
    EXPECT_EQ(p.videoStreams, 1);
    EXPECT_EQ(p.audioStreams, 1);

    std::map<std::string, int> fetched;
    std::istringstream log(ReadFile(logs.File("access.log")));
    for (std::string line; std::getline(log, line);) {
        const std::size_t get = line.find("\"GET /");
        if (get != std::string::npos) {
            ++fetched[line.substr(get + 5, line.find(' ', get + 5) - get - 5)];
        }
    }
    EXPECT_GT(fetched["/live.m3u8"], static_cast<int>(kPublished - kFirst)) << "read again for each new segment";
    EXPECT_EQ(fetched.count("/s005.ts"), 0u) << "a segment never published was fetched";
    for (std::size_t i = 0; i < kPublished; ++i) {
        EXPECT_EQ(fetched["/s00" + std::to_string(i) + ".ts"], 1) << i;
    }
}

}  // namespace
}  // namespace dromo
