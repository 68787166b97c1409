// The program itself, offscreen, given Metalink files: by a URL nginx
// serves (fetched first, then expanded) and by a path relative to where
// "dromo" was run. Each file becomes a task that downloads from its most
// wanted mirror under the Metalink's name, is verified against its hash,
// and keeps its mirrors in the profile.

#include <gtest/gtest.h>

#include <QFile>

#include <openssl/evp.h>

#include <chrono>
#include <thread>

#include "platform/settingsprofile.h"
#include "tests/support/hexdigest.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

std::string Meta4(const std::string& name, const std::string& sha256, const std::string& best,
                  const std::string& missing)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<metalink xmlns=\"urn:ietf:params:xml:ns:metalink\">\n"
           "<file name=\"" +
           name + "\">\n<hash type=\"sha-256\">" + sha256 + "</hash>\n<url priority=\"5\" location=\"de\">" + missing +
           "</url>\n<url priority=\"1\">" + best + "</url>\n</file>\n</metalink>\n";
}

// Waits until the file holds the data and the history page names it.
void WaitForVerifiedFile(const std::string& path, const std::string& data)
{
    const std::string history = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")).toStdString() + "/Dromo/history.htm";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (test::ReadFile(path) != data ||
           test::ReadFile(history).find("<b>Save as </b>" + path + "\n") == std::string::npos) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << path << " did not arrive";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

TEST(MetalinkEndToEnd, AMetalinkUrlAndALocalFileBecomeVerifiedTasksWithTheirMirrors)
{
    test::TempDir www;
    test::TempDir downloads;
    test::TempDir here;  // where "dromo b.meta4" is run
    const std::string a = test::RandomBytes(400000, 51);
    const std::string b = test::RandomBytes(70000, 52);
    test::WriteFile(www.File("a-data"), a);
    test::WriteFile(www.File("b-data"), b);
    test::Nginx nginx(www.Path());
    const std::string missing = nginx.Url("/nowhere/a.iso");
    test::WriteFile(www.File("a.meta4"), Meta4("a.iso", test::HexDigest(a), nginx.Url("/a-data"), missing));
    test::WriteFile(here.File("b.meta4"), Meta4("b.iso", test::HexDigest(b), nginx.Url("/b-data"), missing));

    const QString ini = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini";
    QFile::remove(ini);
    {
        SettingsProfile profile(ini);
        profile.WriteInt("Settings", "Max Thread Number", 2);
        profile.WriteString("Settings", "Save to", downloads.Path() + "/");
        ASSERT_TRUE(profile.Flush());
    }
    {
        test::ChildProcess dromo({DROMO_BIN, nginx.Url("/a.meta4")});
        WaitForVerifiedFile(downloads.File("a.iso"), a);
        EXPECT_EQ(dromo.Terminate(10000), 0);
    }
    {
        test::ChildProcess dromo({"/bin/sh", "-c", "cd \"$1\" && exec \"$2\" b.meta4", "sh", here.Path(), DROMO_BIN});
        WaitForVerifiedFile(downloads.File("b.iso"), b);
        EXPECT_EQ(dromo.Terminate(10000), 0);
    }

    SettingsProfile saved(ini);
    ASSERT_EQ(saved.GetInt("Settings", "MRU Num", -1), 2);
    const struct {
        const char* name;
        const std::string& data;
        std::string target;
    } tasks[] = {{"a.iso", a, nginx.Url("/a-data")}, {"b.iso", b, nginx.Url("/b-data")}};
    for (int i = 0; i < 2; ++i) {
        const std::string prefix = "URL" + std::to_string(i) + "\\";
        EXPECT_EQ(saved.GetString("URL", prefix + "Target", ""), tasks[i].target);
        EXPECT_EQ(saved.GetString("URL", prefix + "SaveTo", ""), downloads.File(tasks[i].name));
        EXPECT_EQ(saved.GetString("URL", prefix + "Checksum", ""), "sha-256=" + test::HexDigest(tasks[i].data));
        EXPECT_EQ(saved.GetString("URL", prefix + "Mirrors", ""), "1::" + tasks[i].target + " 5:de:" + missing);
        EXPECT_EQ(saved.GetString("URL", prefix + "Progress", ""), "100%");
    }
    EXPECT_NE(test::ReadFile(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")).toStdString() + "/Dromo/history.htm")
                  .find("Verified SHA-256"),
              std::string::npos);
}

}  // namespace
}  // namespace dromo
