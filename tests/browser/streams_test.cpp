// A video stream a page plays, from the browser to a file that plays: the
// page (on nginx; the stream is for its viewers only, by the cookie it sets
// and the referrer) plays an HLS stream that ffmpeg made for the test,
// through the browser's own <video> where it plays HLS and through hls.js
// where it does not, or always through hls.js. Tessarin lists the stream once
// (a master playlist and its variant's playlist are one stream), "Download
// video with Dromo" hands it to the real Dromo with the page's cookie, and
// Dromo's file has the stream's length and decodes without an error.

#include <gtest/gtest.h>

#include <QDBusConnection>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/settingsprofile.h"
#include "tests/browser/browsers.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

namespace fs = std::filesystem;

using test::ReadFile;
using test::WriteFile;

constexpr double kSeconds = 4;
constexpr double kSegmentSeconds = 1;
// The page's title, and the file Dromo saves the stream as: the title made
// a plain file name.
const std::string kTitle = "Test card: four seconds";
const std::string kFileName = "Test card_ four seconds.mp4";

const char kPage[] = R"(<!doctype html>
<html><head><meta charset="utf-8"><title>TITLE</title><script src="hls.min.js"></script></head>
<body><video id="v" muted autoplay preload="auto" width="320" height="240"></video>
<script>
  window.segments = 0;
  const video = document.getElementById("v");
  const source = "hls/master.m3u8";
  if (!ALWAYS_HLSJS && video.canPlayType("application/vnd.apple.mpegurl")) {
    window.player = "the browser";
    video.addEventListener("progress", () => { window.segments += 1; });
    video.src = source;
  } else {
    window.player = "hls.js";
    const hls = new Hls();
    hls.on(Hls.Events.FRAG_LOADED, () => { window.segments += 1; });
    hls.loadSource(source);
    hls.attachMedia(video);
  }
</script></body></html>
)";

class BrowserStreams : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* package : {"playwright-core", "hls.js"}) {
            if (!fs::exists(test::kDriverDir + "/node_modules/" + package)) {
                GTEST_SKIP() << "needs `npm ci --prefix tests/browser`";
            }
        }
        MakeStream();
        for (const char* name : {"video", "hlsjs"}) {
            std::string page = kPage;
            page.replace(page.find("TITLE"), 5, kTitle);
            page.replace(page.find("ALWAYS_HLSJS"), 12, name == std::string("hlsjs") ? "true" : "false");
            WriteFile(m_www.File(std::string(name) + ".html"), page);
        }
        WriteFile(m_www.File("other.html"), "<!doctype html><title>Other</title><p>no video</p>\n");
        fs::copy_file(test::kDriverDir + "/node_modules/hls.js/dist/hls.min.js", m_www.File("hls.min.js"));
        m_nginx = std::make_unique<test::Nginx>(
            m_www.Path(),
            "types { text/html html; text/javascript js; application/vnd.apple.mpegurl m3u8; video/mp2t ts; } "
            "location ~ ^/(video|hlsjs)\\.html$ { add_header Set-Cookie \"viewer=k3y; Path=/\"; } "
            "location /hls/ { if ($cookie_viewer != \"k3y\") { return 403; } "
            "  if ($http_referer !~ \"^http://127\\.0\\.0\\.1:[0-9]+/(video|hlsjs)\\.html$\") { return 403; } }");

        m_daemon = std::make_unique<test::PrivateSessionBus>();
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(m_daemon->Address()), "browser-streams"));
        ASSERT_TRUE(m_bus->isConnected());
        SettingsProfile profile;
        profile.WriteInt("Settings", "Start with Browser", 0);
        profile.WriteString("Settings", "Save to", m_saveTo.Path() + "/");
        ASSERT_TRUE(profile.Flush());
        m_dromo = test::StartDromo(*m_bus, {"DROMO_TRACE=1"}, m_dir.File("trace.log"));
        ASSERT_TRUE(m_dromo) << "Dromo did not take its bus name\n" << ReadFile(m_dir.File("trace.log"));
    }

    void TearDown() override
    {
        if (m_dromo) {
            EXPECT_EQ(m_dromo->Terminate(10000), 0);
        }
        m_dromo.reset();
        m_bus.reset();
        QDBusConnection::disconnectFromBus("browser-streams");
        m_daemon.reset();
    }

    // A master playlist with one variant of 1-s TS segments.
    void MakeStream()
    {
        const std::string folder = m_www.File("hls");
        fs::create_directories(folder);
        std::string words;
        ASSERT_EQ(test::RunCommand({"ffmpeg",
                                    "-v",
                                    "error",
                                    "-y",
                                    "-f",
                                    "lavfi",
                                    "-i",
                                    "testsrc=size=320x240:rate=25",
                                    "-f",
                                    "lavfi",
                                    "-i",
                                    "sine=f=440",
                                    "-t",
                                    std::to_string(kSeconds),
                                    "-c:v",
                                    "libx264",
                                    "-pix_fmt",
                                    "yuv420p",
                                    "-g",
                                    "25",
                                    "-c:a",
                                    "aac",
                                    "-f",
                                    "hls",
                                    "-hls_time",
                                    std::to_string(kSegmentSeconds),
                                    "-hls_playlist_type",
                                    "vod",
                                    "-master_pl_name",
                                    "master.m3u8",
                                    "-hls_segment_filename",
                                    folder + "/s%03d.ts",
                                    folder + "/index.m3u8"},
                                   &words),
                  0)
            << words;
    }

    std::string Origin() const { return "http://127.0.0.1:" + std::to_string(m_nginx->Port()); }

    // What the driver saw (the page played a segment through `player`, ""
    // for either), and the file Dromo made of the stream: the stream's
    // length within a segment, decoded without a word from ffmpeg.
    void Check(const std::string& output, const std::string& player)
    {
        EXPECT_NE(output.find("played by " + player), std::string::npos) << output;
        const std::string trace = "\nDromo's trace:\n" + ReadFile(m_dir.File("trace.log"));
        EXPECT_NE(output.find("streams listed: 1, badge: \"1\""), std::string::npos) << output;
        EXPECT_NE(output.find("after another page: 0, badge: \"\""), std::string::npos) << output;
        const std::string file = m_saveTo.File(kFileName);
        ASSERT_TRUE(fs::exists(file)) << output << trace;
        std::string probed;
        ASSERT_EQ(test::RunCommand(
                      {"ffprobe", "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", file}, &probed),
                  0)
            << probed;
        EXPECT_NEAR(std::atof(probed.c_str()), kSeconds, kSegmentSeconds) << probed;
        std::string decoded;
        EXPECT_EQ(test::RunCommand({"ffmpeg", "-v", "error", "-i", file, "-f", "null", "-"}, &decoded), 0);
        EXPECT_EQ(decoded, "");
    }

    // The page (video.html or hlsjs.html) played in Chromium, the stream
    // handed over by the menu item or (`by` "popup") the popup; the driver's
    // account in `output`.
    void RunChromium(const std::string& page, const std::string& player, const std::string& by = "menu",
                     std::string* output = nullptr)
    {
        if (!fs::exists(test::kChromium)) {
            GTEST_SKIP() << "needs Debian's chromium";
        }
        // The page plays without a click.
        test::Chromium chromium(m_downloads.Path(), {"--autoplay-policy=no-user-gesture-required"});
        const std::string said = Drive({"node", test::kDriverDir + "/drive.mjs", chromium.cdp, Origin(), "",
                                        m_downloads.Path(), "stream", m_saveTo.Path(), page, by});
        chromium.process->Terminate(10000);
        Check(said, player);
        if (output) {
            *output = said;
        }
    }

    std::string Drive(const std::vector<std::string>& argv)
    {
        std::string output;
        EXPECT_EQ(test::RunCommand(argv, &output), 0) << output;
        return output;
    }

    test::TempDir m_dir;
    test::TempDir m_www;
    test::TempDir m_saveTo;
    test::TempDir m_downloads;
    std::unique_ptr<test::Nginx> m_nginx;
    std::unique_ptr<test::PrivateSessionBus> m_daemon;
    std::unique_ptr<QDBusConnection> m_bus;
    std::unique_ptr<test::ChildProcess> m_dromo;
};

TEST_F(BrowserStreams, Chromium)
{
    // Its own player where it plays HLS, else hls.js.
    RunChromium("video.html", "");
}

// The popup names the stream by its playlist, with the length its
// variant's playlist tells and the best quality its master offers.
TEST_F(BrowserStreams, ChromiumPopup)
{
    std::string output;
    RunChromium("video.html", "", "popup", &output);
    EXPECT_NE(output.find("popup: master.m3u8 | HLS \u00b7 0:04 \u00b7 240p\n"), std::string::npos) << output;
}

TEST_F(BrowserStreams, ChromiumThroughHlsJs)
{
    RunChromium("hlsjs.html", "hls.js");
}

// Firefox plays HLS through hls.js only.
TEST_F(BrowserStreams, FirefoxEsr)
{
    if (!fs::exists(test::kFirefox)) {
        GTEST_SKIP() << "needs Debian's firefox-esr";
    }
    test::FirefoxEsr firefox(m_downloads.Path(), "user_pref(\"media.autoplay.default\", 0);\n");
    const std::string output =
        Drive(firefox.Driver({Origin(), "", m_downloads.Path(), "stream", m_saveTo.Path(), "video.html"}));
    firefox.process->Terminate(10000);
    Check(output, "hls.js");
}

}  // namespace
}  // namespace dromo
