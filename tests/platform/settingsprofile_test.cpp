#include "platform/settingsprofile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "base/commands/taskadder.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "tests/base/fakes/fakes.h"

namespace dromo {
namespace {

QString ReadAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

void WriteAll(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

TEST(SettingsProfile, LivesUnderXdgConfigHome)
{
    SettingsProfile profile;
    EXPECT_EQ(profile.FileName(), QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Tarnwick Software/Dromo.ini");
    profile.WriteInt("Settings", "Max Thread Number", 3);
    ASSERT_TRUE(profile.Flush());
    EXPECT_TRUE(QFile::exists(profile.FileName()));
}

TEST(SettingsProfile, ValueNamesKeepTheirBackslashAndIntsStayNumbers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    {
        SettingsProfile profile(path);
        profile.WriteString("URL", "URL0\\Target", "http://h/a b,c.zip");
        profile.WriteInt("URL", "URL0\\Status", 16);
        profile.WriteInt("Settings", "Max Speed Value", -1);
        profile.WriteString("Settings", "User Agent", "Dromo/1.03 [en]; \"quoted\" ü");
        ASSERT_TRUE(profile.Flush());
    }
    const QString text = ReadAll(path);
    EXPECT_TRUE(text.contains("[URL]"));
    EXPECT_TRUE(text.contains("URL0\\Target="));
    EXPECT_TRUE(text.contains("URL0\\Status=16"));
    EXPECT_TRUE(text.contains("Max%20Speed%20Value=-1"));

    SettingsProfile again(path);
    EXPECT_EQ(again.GetString("URL", "URL0\\Target", ""), "http://h/a b,c.zip");
    EXPECT_EQ(again.GetInt("URL", "URL0\\Status", 2), 16);
    EXPECT_EQ(again.GetInt("Settings", "Max Speed Value", 0), -1);
    EXPECT_EQ(again.GetString("Settings", "User Agent", ""), "Dromo/1.03 [en]; \"quoted\" ü");
    auto names = again.ValueNames("URL");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"URL0\\Status", "URL0\\Target"}));
    EXPECT_TRUE(again.ValueNames("Nothing").empty());
}

TEST(SettingsProfile, HandEditedGarbageReadsAsDefaults)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    WriteAll(path,
             "[Settings]\n"
             "Max%20Thread%20Number=many\n"
             "Max%20Error%20Count= 12 \n"
             "Duration=0x10\n"
             "Refresh%20Rate=99999999999\n"
             "User%20Agent=a, b, c\n"
             "no equals sign here\n"
             "[URL]\n"
             "URL0\\Status=\n");
    SettingsProfile profile(path);
    const struct {
        const char* section;
        const char* name;
        int expected;
    } cases[] = {
        {"Settings", "Max Thread Number", 1}, {"Settings", "Max Error Count", 12}, {"Settings", "Duration", 30},
        {"Settings", "Refresh Rate", 200},    {"URL", "URL0\\Status", 2},          {"Settings", "Missing", 7},
    };
    for (const auto& c : cases) {
        const int fallback = std::string(c.name) == "Max Error Count" ? 6 : c.expected;
        EXPECT_EQ(profile.GetInt(c.section, c.name, fallback), c.expected) << c.name;
    }
    EXPECT_EQ(profile.GetString("Settings", "User Agent", ""), "a, b, c");
}

TEST(SettingsProfile, DeleteSectionRemovesEveryValueOfIt)
{
    QTemporaryDir dir;
    SettingsProfile profile(dir.filePath("Dromo.ini"));
    profile.WriteString("Proxy", "Proxy0\\Host", "p");
    profile.WriteInt("Proxy", "Proxy0\\Port", 8080);
    profile.WriteInt("Settings", "Proxy Num", 1);
    profile.DeleteSection("Proxy");
    EXPECT_TRUE(profile.ValueNames("Proxy").empty());
    EXPECT_EQ(profile.GetInt("Settings", "Proxy Num", 0), 1);
}

TEST(SettingsProfile, AnUnwritableProfileFailsTheFlush)
{
    QTemporaryDir dir;
    // A folder where the file should be: no write can succeed, not even as root.
    const QString path = dir.filePath("Dromo.ini");
    ASSERT_TRUE(QDir().mkpath(path));
    SettingsProfile profile(path);
    profile.WriteInt("Settings", "MRU Num", 0);
    EXPECT_FALSE(profile.Flush());
}

// The whole store through the real INI file: what one run saves, the next
// run loads.
TEST(SettingsProfile, SaveThenLoadRoundTrip)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    const PlatformDefaults platform{"/dl/", "/share/"};
    test::FakeWorkerStarter pool;
    test::RecordingObserver observer;
    test::FakeNetwork network;

    ViewSettings saved;
    saved.options = GlobalOptions::Defaults(platform);
    saved.options.password = "top secret";
    saved.options.captureFileTypes = "iso";  // not written by a save
    saved.options.requireFtpTls = 1;         // off at first
    saved.categories = {{"Archives", "zip", "/dl/zip/"}};
    saved.sites = {{"ftp.example:2121", "u", "p:w"}};
    saved.proxies = {{"127.0.0.1", 3128, "", ""}};
    TaskTable table;
    for (auto [url, file] : {std::pair{"http://h/a.zip", "/dl/a.zip"}, {"ftp://h/b.iso", "/dl/b.iso"}}) {
        TaskRecord r;
        r.saveAs = file;
        r.SetState(TaskState::Done);  // finished: "100%" means done to every reader
        TaskRow row;
        row.texts[kColTarget] = url;
        row.texts[kColProgress] = "100%";
        table.Append(r, row);
    }
    {
        SettingsProfile profile(path);
        SettingsStore store(profile, platform);
        ASSERT_TRUE(store.Save(saved, table));
    }

    SettingsProfile profile(path);
    SettingsStore store(profile, platform);
    ViewSettings loaded;
    TaskTable loadedTable;
    test::FakeMessages messages;
    test::FakeSound sound;
    TaskAdder adder(loadedTable, loaded, pool, observer, messages, sound);
    store.Load(loaded, adder, network);
    EXPECT_EQ(loaded.options.password, "top secret");
    EXPECT_EQ(loaded.options.captureFileTypes, "exe zip");
    EXPECT_EQ(loaded.options.requireFtpTls, 1);
    EXPECT_TRUE(ReadAll(path).contains("\nRequire%20TLS%20for%20FTP=1\n"));
    EXPECT_EQ(loaded.categories, saved.categories);
    EXPECT_EQ(loaded.sites, saved.sites);
    EXPECT_EQ(loaded.proxies, saved.proxies);
    ASSERT_EQ(loadedTable.Count(), 2);
    EXPECT_EQ(loadedTable.CopyOut(1)->saveAs, "/dl/b.iso");
    EXPECT_EQ(loadedTable.CopyOut(1)->State(), TaskState::Done);
    EXPECT_EQ(loadedTable.CopyOut(1)->protocol, kProtocolFtp);
}

// A value with a line break in it goes into the file escaped and comes back
// whole: it never becomes a line of its own (a key, or a section) at the
// next load, as it did in the list file.
TEST(SettingsProfile, ALineBreakInAValueComesBackWholeAndAddsNoKey)
{
    QTemporaryDir dir;
    const PlatformDefaults platform{"/dl/", "/share/"};
    const std::string breaks[] = {"\nSaveTo=/elsewhere/.bashrc", "\r\n[URL]\r\nURL0\\SaveTo=/elsewhere/.bashrc",
                                  "\r[Settings]\rSave to=/elsewhere/", "\\\n\"\n;"};
    // The names each section holds after a save of plain values.
    auto namesAfterSave = [&](const QString& path, const std::string& b, ViewSettings& settings) {
        TaskTable table;
        TaskRecord r;
        r.saveAs = "/dl/a.zip" + b;
        r.user = "u" + b;
        r.password = "p" + b;
        r.referrer = "http://h/page" + b;
        r.userAgent = "agent" + b;
        r.checksum = "sha-256=" + b;
        TaskRow row;
        row.texts[kColTarget] = "http://h/a.zip";
        row.texts[kColSize] = "12" + b;
        table.Append(r, row);
        settings.options = GlobalOptions::Defaults(platform);
        settings.options.userAgent = "Dromo" + b;
        settings.options.saveTo = "/dl/" + b;
        settings.sites = {{"ftp.example", "u" + b, "p" + b}};
        SettingsProfile profile(path);
        SettingsStore store(profile, platform);
        EXPECT_TRUE(store.Save(settings, table));
        std::vector<std::vector<std::string>> names;
        for (const char* section : {"Settings", "URL", "Site"}) {
            names.push_back(profile.ValueNames(section));
        }
        return names;
    };
    ViewSettings plain;
    const auto plainNames = namesAfterSave(dir.filePath("plain.ini"), "", plain);
    for (const std::string& b : breaks) {
        SCOPED_TRACE(b);
        const QString path = dir.filePath("broken.ini");
        QFile::remove(path);
        ViewSettings saved;
        namesAfterSave(path, b, saved);
        SettingsProfile back(path);
        EXPECT_EQ(back.GetString("URL", "URL0\\SaveTo", ""), "/dl/a.zip" + b);
        EXPECT_EQ(back.GetString("URL", "URL0\\Username", ""), "u" + b);
        EXPECT_EQ(back.GetString("URL", "URL0\\Referrer", ""), "http://h/page" + b);
        EXPECT_EQ(back.GetString("URL", "URL0\\User Agent", ""), "agent" + b);
        EXPECT_EQ(back.GetString("URL", "URL0\\Size", ""), "12" + b);
        EXPECT_EQ(back.GetString("Settings", "User Agent", ""), "Dromo" + b);
        EXPECT_EQ(back.GetString("Settings", "Save to", ""), "/dl/" + b);
        std::vector<std::vector<std::string>> names;
        for (const char* section : {"Settings", "URL", "Site"}) {
            names.push_back(back.ValueNames(section));
        }
        EXPECT_EQ(names, plainNames);
        EXPECT_EQ(ReadAll(path).split(QLatin1Char('\n')).count(QStringLiteral("[URL]")), 1);
    }
}

// The window's thread changes the profile while the writer makes a file of
// it, as the one-second saves of a long list with a task retrying do: each
// fill, once it runs, waits until the window has handed the list over anew
// (or deleted it) and posted another save. The write begun still ends, with
// the profile as it stood when it began (the list and the count beside it);
// the file after the last flush holds the newest.
TEST(SettingsProfile, AWriteEndsWithTheProfileAsItBeganHoweverOftenTheListChangesMeanwhile)
{
    constexpr int kLastRound = 20;
    struct Meanwhile {
        const char* what;
        bool handAnew;  // else the list is deleted, once
    };
    const Meanwhile cases[] = {{"handed anew", true}, {"deleted", false}};
    for (const Meanwhile& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath("Dromo.ini");
        std::mutex mutex;
        std::condition_variable changed;
        int running = 0;  // the round whose fill waits to go on
        int going = 0;    // the fills up to this round may go on
        bool heard = false;
        QString heardText;
        auto fill = [&](int round) {
            return [&, round](Profile& out) {
                {
                    std::unique_lock lock(mutex);
                    running = round;
                    changed.notify_all();
                    changed.wait(lock, [&] { return going >= round; });
                }
                out.WriteString("URL", "Round", std::to_string(round));
            };
        };
        SettingsProfile profile(path);
        profile.WriteInt("Settings", "Kept", 1);
        profile.WriteInt("Settings", "Rounds", 1);
        profile.ReplaceSection("URL", fill(1));
        profile.FlushThen([&](const Status& written) {
            EXPECT_TRUE(written);
            const QString text = ReadAll(path);
            std::lock_guard lock(mutex);
            heard = true;
            heardText = text;
            changed.notify_all();
        });
        int handed = 1;
        bool deleted = false;
        std::unique_lock lock(mutex);
        while (!heard) {
            changed.wait(lock, [&] { return heard || running > going; });
            if (heard) {
                break;
            }
            const int round = running;
            lock.unlock();
            if (c.handAnew && handed < kLastRound) {
                ++handed;
                profile.WriteInt("Settings", "Rounds", handed);
                profile.ReplaceSection("URL", fill(handed));
                static_cast<void>(profile.FlushSoon());
            } else if (!c.handAnew && !deleted) {
                deleted = true;
                profile.WriteInt("Settings", "Rounds", 0);
                profile.DeleteSection("URL");
                static_cast<void>(profile.FlushSoon());
            }
            lock.lock();
            going = round;
            changed.notify_all();
        }
        going = kLastRound;  // a fill the next write began goes on
        changed.notify_all();
        lock.unlock();
        EXPECT_EQ(heardText.toStdString(), "[Settings]\nKept=1\nRounds=1\n\n[URL]\nRound=1\n");
        ASSERT_TRUE(profile.Flush());
        const std::string rounds = c.handAnew ? std::to_string(handed) : "0";
        const std::string list = c.handAnew ? "\n[URL]\nRound=" + rounds + "\n" : "";
        EXPECT_EQ(ReadAll(path).toStdString(), "[Settings]\nKept=1\nRounds=" + rounds + "\n" + list);
    }
}

}  // namespace
}  // namespace dromo
