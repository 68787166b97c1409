// The task sheet's fields: where they come from, where they go, and the
// "Save as" the URL page derives.

#include <gtest/gtest.h>

#include "base/forms/saveasderivation.h"
#include "base/forms/taskpagevalues.h"
#include "base/values/globaloptions.h"
#include "base/values/taskrecord.h"

namespace dromo {
namespace {

TEST(ComposeUrl, PortShownOnlyWhenNotTheProtocolsOwn)
{
    struct Case {
        std::int32_t protocol;
        std::uint16_t port;
        const char* url;
    } cases[] = {
        {kProtocolFtp, 2121, "ftp://h.example:2121/pub/a.zip"}, {kProtocolFtp, 21, "ftp://h.example/pub/a.zip"},
        {kProtocolHttp, 80, "http://h.example/pub/a.zip"},      {kProtocolHttp, 21, "http://h.example:21/pub/a.zip"},
        {kProtocolHttps, 443, "https://h.example/pub/a.zip"},   {kProtocolHttps, 80, "https://h.example:80/pub/a.zip"},
    };
    for (const Case& c : cases) {
        TaskRecord r;
        r.protocol = c.protocol;
        r.host = "h.example";
        r.port = c.port;
        r.remotePath = "/pub/a.zip";
        EXPECT_EQ(ComposeUrl(r), c.url);
    }
}

TEST(TaskPageValues, RecordRoundTripKeepsEveryField)
{
    TaskRecord r;
    r.protocol = kProtocolHttp;
    r.host = "h";
    r.port = 80;
    r.remotePath = "/f.zip";
    r.saveAs = "/dl/f.zip";
    r.useLogin = 1;
    r.user = "u";
    r.password = "p";
    r.idleTime = 45;
    r.speedLimit = 300;
    r.errorCount = 9;
    r.retryInterval = 7;
    r.useProxy = 1;
    r.proxyIndex = 3;
    r.pasvMode = 1;
    r.httpVersion = "1.0";
    r.userAgent = "odd agent";
    r.scheduled = 1;
    r.startAt = "7:5";
    r.untilFinished = 0;
    r.duration = 90;
    r.autoSave = "128";
    r.refresh = 250;
    r.variant = "1280x720";
    GlobalOptions o;
    o.saveTo = "/opts/";
    const TaskPageValues v = TaskPageValues::FromRecord(r, o);
    EXPECT_EQ(v.url, "http://h/f.zip");
    EXPECT_EQ(v.targetFolder, "/opts/");
    EXPECT_EQ(v.refreshTenths, 2);
    TaskRecord back = r;
    v.ApplyTo(back);
    EXPECT_EQ(back.refresh, 200) << "250 ms shows 2 and comes back as 200";
    back.refresh = r.refresh;
    EXPECT_EQ(back.saveAs, r.saveAs);
    EXPECT_EQ(back.speedLimit, 300);
    EXPECT_EQ(back.proxyIndex, 3);
    EXPECT_EQ(back.userAgent, "odd agent");
    EXPECT_EQ(back.startAt, "7:5");
    EXPECT_EQ(back.duration, 90);
    EXPECT_EQ(back.password, "p");
    EXPECT_EQ(back.variant, "1280x720");
    TaskPageValues typed = v;
    typed.variant = "720";  // as a person types it: stored as the sheet shows it next time
    typed.ApplyTo(back);
    EXPECT_EQ(back.variant, "720p");
}

TEST(TaskPageValues, NewTaskFromOptions)
{
    GlobalOptions o;
    o.saveTo = "/dl/";
    o.maxSpeedValue = -1;
    o.refreshRate = 250;
    o.enableProxy = 1;
    o.scheduleStartAt = "22:00";
    TaskPageValues v = TaskPageValues::FromOptions(o, "http://h/a");
    EXPECT_EQ(v.saveAs, "/dl/");
    EXPECT_EQ(v.targetFolder, "/dl/");
    EXPECT_TRUE(v.speed.unlimited);
    EXPECT_EQ(v.speed.limit, 1024) << "unticking Unlimited starts the slider at 1024";
    EXPECT_EQ(v.proxyChoice, -1);
    EXPECT_EQ(v.useLogin, 0);
    TaskRecord r;
    v.ApplyTo(r);
    EXPECT_EQ(r.speedLimit, -1);
    EXPECT_EQ(r.refresh, 200);
    EXPECT_EQ(r.useProxy, 1);
    EXPECT_EQ(r.startAt, "22:00");
    v.speed.unlimited = false;
    v.ApplyTo(r);
    EXPECT_EQ(r.speedLimit, 1024);
}

TEST(SaveAsDerivation, CategoriesNamesAndForbiddenCharacters)
{
    SaveAsDerivation plain("/dl/", nullptr);
    struct Case {
        const char* url;
        const char* saveAs;
    } cases[] = {
        {"http://h/pub/setup.zip", "/dl/setup.zip"},
        {"http://h/get?id=3", "/dl/get"},
        {"http://h/a/b?f=x/y", "/dl/b"},
        {"http://h/cgi?x:1", "/dl/cgi"},
        {"http://h/my%20file%20(1).pdf#page=2", "/dl/my file (1).pdf"},
        {"ftp://h/pub/", "/dl/"},
        {"", "/dl/"},
        {"http://h", "/dl/"},
        {"http://h?x=/a.zip", "/dl/"},
        {"http://h/pub/?x=a.zip", "/dl/"},
        {"setup.zip", "/dl/setup.zip"},
        {"http://h/..", "/dl/index.html"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plain.Derive(c.url), c.saveAs) << c.url;
    }

    const CategoryList categories{{"Music", "mp3", "/music/"}, {"Archives", "ZIP", "/zips/"}};
    SaveAsDerivation withCategories("/dl/", &categories);
    EXPECT_EQ(withCategories.Derive("http://h/pub/setup.zip"), "/zips/setup.zip");
    EXPECT_EQ(withCategories.Derive("http://h/pub/notes.txt"), "/zips/notes.txt") << "the category folder stays";
    EXPECT_EQ(withCategories.Derive("http://h/pub/song.MP3"), "/music/song.MP3");
    EXPECT_EQ(withCategories.Derive(".zip"), "/music/_zip") << "a leading dot is no extension";
    EXPECT_EQ(withCategories.Derive("http://h/x.zip?token=abc"), "/zips/x.zip") << "the query hides no extension";

    SaveAsDerivation noSlash("/home/u/Downloads", nullptr);
    EXPECT_EQ(noSlash.Derive("http://h/setup.zip"), "/home/u/Downloads/setup.zip");
    EXPECT_FALSE(SaveAsDerivation::DeriveOnShow("/home/u/Downloads"));
    EXPECT_TRUE(SaveAsDerivation::DeriveOnShow("/dl/"));
    EXPECT_TRUE(SaveAsDerivation::DeriveOnShow(""));
    EXPECT_FALSE(SaveAsDerivation::DeriveOnShow("/dl/a.zip"));
}

}  // namespace
}  // namespace dromo
